// The failure of an installation step, and the quiet end of a run.
#pragma once

#include <exception>
#include <string>

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
