// The program's exceptions (the TException family, those built from a failed
// call result, the failure of an installation step), the words for numeric
// errors, and the internal consistency check.
#pragma once

#include "foundation/CallResult.h"

#include <cstdint>
#include <exception>
#include <string>

// Base of the program's own exception classes: a message kept in narrow
// (ANSI code page) or wide form; the wide form is converted once, on the
// first what().
class TException : public std::exception {
public:
    explicit TException(std::string text);
    explicit TException(std::wstring text);

    const char* what() const noexcept override;

private:
    bool m_wide;
    std::wstring m_wideText;
    mutable std::string m_narrowText;
};

// Failures of the previous-installation code and of the library loader.
class AException : public TException {
public:
    using TException::TException;
};

// Composes "<operation>() failed: Windows error N: text" from a Win32 code.
// Built to obtain the text; the program puts the text into other exceptions.
class SystemError : public TException {
public:
    explicit SystemError(unsigned long code);
    SystemError(const std::string& operation, unsigned long code);
    SystemError(const std::wstring& operation, unsigned long code);

    unsigned long code() const { return m_code; }

private:
    unsigned long m_code;
};

namespace Norlib {

// Exceptions built from a failed call result: the text is the result's
// failure text; operation, code and description stay inspectable.
class BaseException : public TException {
public:
    using TException::TException;
};

template <typename Code>
class BaseExceptionEx : public BaseException {
public:
    explicit BaseExceptionEx(const CallResult& failed)
        : BaseException(failed.ResultText()), m_operation(failed.OperationName()),
          m_code(static_cast<Code>(failed.Code())), m_description(failed.CodeDescription()) {}

    const std::wstring& OperationName() const { return m_operation; }
    Code ErrorCode() const { return m_code; }
    const std::wstring& CodeDescription() const { return m_description; }

private:
    std::wstring m_operation;
    Code m_code;
    std::wstring m_description;
};

class ComException : public BaseExceptionEx<long> {
public:
    using BaseExceptionEx<long>::BaseExceptionEx;
};

class RegException : public BaseExceptionEx<unsigned long> {
public:
    using BaseExceptionEx<unsigned long>::BaseExceptionEx;
};

}  // namespace Norlib

// The failure of an installation step.
class InstallError : public std::exception {
public:
    explicit InstallError(std::string text) : m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

// Ends the run with an exit code after everything has been reported.
// Deliberately not a std::exception: handlers of std::exception must not
// swallow it.
class SilentExit {
public:
    explicit SilentExit(int exitCode) : m_exitCode(exitCode) {}
    int exitCode() const { return m_exitCode; }

private:
    int m_exitCode;
};

// Throws InstallError("<call> failed: Windows error N: text") for the
// thread's last error, or for the code the caller saved. Read the error right
// after the failing call: anything in between may change it.
[[noreturn]] void ThrowCallFailure(const std::string& call);
[[noreturn]] void ThrowCallFailure(const std::string& call, unsigned long code);

// Words for numeric errors: Win32/Winsock codes and HRESULTs.
// The system's text for a Win32 or Winsock code without trailing line
// breaks; a built-in English table when the system has none; otherwise
// "Error errorCode N received.".
std::string WindowsErrorText(unsigned long code);

// "Windows error N: text" (codes above 99999 as 0x%08lx).
std::string DescribeWindowsError(unsigned long code);
std::wstring DescribeWindowsErrorW(unsigned long code);

// Text of a known HRESULT; empty for any other code.
std::wstring HresultText(std::int32_t code);

// Internal consistency checks. A failed check is reported in a message box
// naming the executable, process, source file, line and expression, and then
// ends the asserting thread only (exit code 0x8805).
[[noreturn]] void AssertFailed(const char* expression, const char* file, unsigned line);

// The report shows the expression as written in the check.
#define VELL_ASSERT(expression, file, line) \
    ((expression) ? static_cast<void>(0) : AssertFailed(#expression, file, line))
