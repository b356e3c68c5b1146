// Base of the program's own exception classes: a message kept in narrow
// (ANSI code page) or wide form; the wide form is converted once, on the
// first what().
#pragma once

#include <exception>
#include <string>

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
