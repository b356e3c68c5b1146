#include "support/ProcessRunner.h"

#include <stdexcept>
#include <vector>

namespace {

std::runtime_error Failure(const std::string& what) {
    return std::runtime_error(what + " failed with Windows error " + std::to_string(GetLastError()));
}

struct Pipe {
    UniqueHandle read;
    UniqueHandle write;  // inheritable: the child's end
};

Pipe MakePipe() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) throw Failure("CreatePipe");
    Pipe pipe{UniqueHandle(read), UniqueHandle(write)};
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

// Appends what the pipe holds now, without waiting for more.
void ReadAvailable(HANDLE pipe, std::string& into) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        std::vector<char> buffer(available);
        DWORD got = 0;
        if (!ReadFile(pipe, buffer.data(), available, &got, nullptr)) return;
        into.append(buffer.data(), got);
    }
}

}  // namespace

std::string SiblingExecutable(const std::string& fileName) {
    std::vector<char> path(32768);
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::string self(path.data(), length);
    return self.substr(0, self.find_last_of('\\') + 1) + fileName;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& commandLineTail,
                           const ProcessOptions& options)
    : m_timeoutMs(options.timeoutMs) {
    Pipe out = MakePipe();
    Pipe err = MakePipe();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile input(
        CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    if (!input) throw Failure("CreateFile(NUL)");

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = out.write.get();
    startup.hStdError = err.write.get();

    std::string commandLine = "\"" + program + "\"";
    if (!commandLineTail.empty()) commandLine += " " + commandLineTail;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    PROCESS_INFORMATION started{};
    const char* directory = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, options.creationFlags, nullptr, directory,
                        &startup, &started)) {
        throw Failure("CreateProcess(" + commandLine + ")");
    }
    CloseHandle(started.hThread);
    m_process.reset(started.hProcess);
    m_id = started.dwProcessId;
    m_outRead = std::move(out.read);
    m_errRead = std::move(err.read);
}

ChildProcess::~ChildProcess() {
    if (!HasEnded()) {
        TerminateProcess(m_process.get(), 1);
        WaitForSingleObject(m_process.get(), 5000);
    }
}

bool ChildProcess::HasEnded() const {
    return WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0;
}

void ChildProcess::Drain() {
    ReadAvailable(m_outRead.get(), m_outcome.out);
    ReadAvailable(m_errRead.get(), m_outcome.err);
}

ProcessOutcome ChildProcess::Wait() {
    // Polled rather than read to the end: a process that the program leaves
    // behind may hold the pipes open long after the program itself ended.
    DWORD started = GetTickCount();
    while (WaitForSingleObject(m_process.get(), 5) == WAIT_TIMEOUT) {
        Drain();
        if (GetTickCount() - started > m_timeoutMs) {
            TerminateProcess(m_process.get(), 1);
            throw ProcessTimedOut("the program did not end within " + std::to_string(m_timeoutMs) +
                                  " ms; output so far: " + m_outcome.out + m_outcome.err);
        }
    }
    Drain();
    GetExitCodeProcess(m_process.get(), &m_outcome.exitCode);
    return m_outcome;
}

ProcessOutcome RunProcess(const std::string& program, const std::string& commandLineTail,
                          const ProcessOptions& options) {
    return ChildProcess(program, commandLineTail, options).Wait();
}
