// Runs another program of the build in the test's own Wine prefix and
// collects its exit code, standard output and standard error separately.
#pragma once

#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <stdexcept>
#include <string>

struct ProcessOutcome {
    DWORD exitCode = 0;
    std::string out;  // bytes exactly as written (no line-break translation)
    std::string err;
};

struct ProcessOptions {
    std::string workingDirectory;  // empty: the caller's
    DWORD timeoutMs = 60000;       // then the program is killed and Wait throws
    DWORD creationFlags = 0;       // e.g. CREATE_NO_WINDOW: a console of its own
};

// Full path of fileName in the directory of the running test executable,
// where the build puts every executable.
std::string SiblingExecutable(const std::string& fileName);

// A started program whose output is being collected. Standard input is the
// NUL device; both output streams are pipes of their own. Destroying a
// process that still runs terminates it.
// A program that did not end within its time-out (it is terminated).
struct ProcessTimedOut : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ChildProcess {
public:
    // commandLineTail is appended to the quoted program path after a blank.
    ChildProcess(const std::string& program, const std::string& commandLineTail, const ProcessOptions& options = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    DWORD Id() const { return m_id; }
    bool HasEnded() const;

    // Waits for the end (collecting output meanwhile) and returns the outcome;
    // throws ProcessTimedOut when the time-out passes first.
    ProcessOutcome Wait();

private:
    void Drain();

    DWORD m_timeoutMs;
    DWORD m_id = 0;
    UniqueHandle m_process;
    UniqueHandle m_outRead;
    UniqueHandle m_errRead;
    ProcessOutcome m_outcome;
};

// Starts the program and waits for it.
ProcessOutcome RunProcess(const std::string& program, const std::string& commandLineTail,
                          const ProcessOptions& options = {});
