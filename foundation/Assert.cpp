#include "foundation/Assert.h"

#include "foundation/Win.h"

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
