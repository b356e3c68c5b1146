#include "foundation/Errors.h"

#include "foundation/Text.h"
#include "foundation/Win.h"

#include <new>

TException::TException(std::string text) : m_wide(false), m_narrowText(std::move(text)) {}

TException::TException(std::wstring text) : m_wide(true), m_wideText(std::move(text)) {}

const char* TException::what() const noexcept {
    if (m_wide && m_narrowText.empty()) {
        try {
            m_narrowText = WideToMultiByte(m_wideText, GetACP());
        } catch (const std::bad_alloc&) {
            // No memory for the text: what() stays empty rather than ending
            // the program from inside an exception handler.
        }
    }
    return m_narrowText.c_str();
}

SystemError::SystemError(unsigned long code) : TException(DescribeWindowsError(code)), m_code(code) {}

SystemError::SystemError(const std::string& operation, unsigned long code)
    : TException(operation + " failed: " + DescribeWindowsError(code)), m_code(code) {}

SystemError::SystemError(const std::wstring& operation, unsigned long code)
    : TException(operation + L" failed: " + DescribeWindowsErrorW(code)), m_code(code) {}

void ThrowCallFailure(const std::string& call) {
    ThrowCallFailure(call, GetLastError());
}

void ThrowCallFailure(const std::string& call, unsigned long code) {
    throw InstallError(call + " failed: " + DescribeWindowsError(code));
}

namespace {

constexpr DWORD kAssertionThreadExitCode = 0x8805;

}  // namespace

void AssertFailed(const char* expression, const char* file, unsigned line) {
    // One byte more than the size passed, zero-filled: older systems leave a
    // truncated path unterminated.
    char module[101] = {};
    GetModuleFileNameA(nullptr, module, 100);

    char text[1024];
    wsprintfA(text,
              "Assertion failed in module '%s', PID %u, source file '%s', line %u:\r\n"
              "%s\r\nThe asserting thread will be terminated.",
              module, static_cast<unsigned>(GetCurrentProcessId()), file, line, expression);
    text[sizeof(text) - 1] = '\0';

    MessageBoxA(nullptr, text, "Assertion failed", MB_ICONERROR);
    ExitThread(kAssertionThreadExitCode);
}
