#include "foundation/Errors.h"

#include "foundation/Text.h"
#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"

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
