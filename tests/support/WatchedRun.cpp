#include "support/WatchedRun.h"

#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <tlhelp32.h>

#include <atomic>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

// Windows are watched two ways: an out-of-context event hook that sees each
// window the moment it is created or shown, and a poll of the visible
// top-level windows that catches what the events may not report.
class WindowWatch {
public:
    WindowWatch() {
        GetDesktopWindow();  // the desktop process starts now, not during the run
        Poll();
        m_baseline = m_visible;
        s_current = this;
        m_hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnEvent, 0, 0,
                                 WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (m_hook == nullptr) throw std::runtime_error("SetWinEventHook failed");
    }
    ~WindowWatch() {
        UnhookWinEvent(m_hook);
        s_current = nullptr;
    }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    // Handles the queued events, then looks at every top-level window.
    void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Poll();
    }

    std::vector<std::string> Seen() const { return std::vector<std::string>(m_seen.begin(), m_seen.end()); }

private:
    static std::string Describe(HWND window) {
        char className[256] = {}, title[256] = {};
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        return std::string(className) + " '" + title + "'";
    }

    static bool IsOtherProcess(HWND window) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process != GetCurrentProcessId();
    }

    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        if (!s_current || object != OBJID_WINDOW || child != CHILDID_SELF || window == nullptr) return;
        if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
        std::string description = Describe(window);
        bool dialog = description.compare(0, 7, "#32770 ") == 0;
        if (dialog || (event == EVENT_OBJECT_SHOW && IsWindowVisible(window))) s_current->m_seen.insert(description);
    }

    static BOOL CALLBACK OnWindow(HWND window, LPARAM watch) {
        WindowWatch& self = *reinterpret_cast<WindowWatch*>(watch);
        if (IsWindowVisible(window) && IsOtherProcess(window)) {
            self.m_visible.insert(window);
            if (!self.m_baseline.count(window)) self.m_seen.insert(Describe(window));
        }
        return TRUE;
    }

    void Poll() { EnumWindows(OnWindow, reinterpret_cast<LPARAM>(this)); }

    static WindowWatch* s_current;
    HWINEVENTHOOK m_hook = nullptr;
    std::set<HWND> m_baseline;
    std::set<HWND> m_visible;
    std::set<std::string> m_seen;
};

WindowWatch* WindowWatch::s_current = nullptr;

// The job of the test process, with a completion port that reports every
// process created in it: everything started from here on belongs to it.
struct TestJob {
    UniqueHandle job;
    UniqueHandle port;
};

const TestJob& Job() {
    static TestJob test = [] {
        TestJob created{UniqueHandle(CreateJobObjectA(nullptr, nullptr)),
                        UniqueHandle(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1))};
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
        association.CompletionPort = created.port.get();
        if (!created.job || !created.port ||
            !SetInformationJobObject(created.job.get(), JobObjectAssociateCompletionPortInformation, &association,
                                     sizeof association) ||
            !AssignProcessToJobObject(created.job.get(), GetCurrentProcess()))
            throw std::runtime_error("the test process cannot be put into a job");
        return created;
    }();
    return test;
}

std::string LowerFileName(std::string path) {
    path = path.substr(path.find_last_of("\\/") + 1);
    CharLowerBuffA(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

// Names the processes the job reports as new, while they live: by the
// process list and by the process itself, whichever answers first.
class ProcessTracker {
public:
    ProcessTracker() : m_thread([this] { Track(); }) {}
    ~ProcessTracker() { Stop(); }
    ProcessTracker(const ProcessTracker&) = delete;
    ProcessTracker& operator=(const ProcessTracker&) = delete;

    // Waits until every process seen has ended or been named (at most 2 s).
    std::vector<std::string> Programs() {
        m_stopping = true;
        Stop();
        std::vector<std::string> programs;
        for (const auto& process : m_processes) programs.push_back(process.second.name);
        return programs;
    }

private:
    struct Process {
        std::string name;
        bool ended = false;
        UniqueHandle handle;
    };

    void Stop() {
        m_stopping = true;
        if (m_thread.joinable()) m_thread.join();
    }

    bool Settled() const {
        for (const auto& process : m_processes)
            if (!process.second.ended && process.second.name.empty()) return false;
        return true;
    }

    void Track() {
        DWORD stopAsked = 0;
        for (;;) {
            DWORD message = 0;
            ULONG_PTR key = 0;
            LPOVERLAPPED data = nullptr;
            while (GetQueuedCompletionStatus(Job().port.get(), &message, &key, &data, 1)) {
                DWORD id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
                if (message == JOB_OBJECT_MSG_NEW_PROCESS && id != GetCurrentProcessId()) Adopt(id);
                if (message == JOB_OBJECT_MSG_EXIT_PROCESS || message == JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS) {
                    auto found = m_processes.find(id);
                    if (found != m_processes.end()) found->second.ended = true;
                }
            }
            NameFromProcessList();
            if (m_stopping) {
                if (!stopAsked) stopAsked = GetTickCount();
                if (Settled() || GetTickCount() - stopAsked > 2000) return;
            }
        }
    }

    // A handle taken as soon as the job reports the process keeps its image
    // name readable after it ends: a short-lived program may be gone before
    // the next look at the process list.
    void Adopt(DWORD id) {
        Process& process = m_processes[id];
        process.handle.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        NameFromHandle(process);
    }

    static void NameFromHandle(Process& process) {
        if (!process.name.empty() || !process.handle) return;
        char image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process.handle.get(), 0, image, &size)) process.name = LowerFileName(image);
    }

    void NameFromProcessList() {
        UniqueFile list(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(list.get(), &entry); more; more = Process32Next(list.get(), &entry)) {
            auto found = m_processes.find(entry.th32ProcessID);
            if (found != m_processes.end() && found->second.name.empty() && entry.szExeFile[0])
                found->second.name = LowerFileName(entry.szExeFile);
        }
        for (auto& process : m_processes) {
            NameFromHandle(process.second);
            if (!process.second.name.empty()) continue;
            UniqueHandle opened(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.first));
            char image[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            if (opened && QueryFullProcessImageNameA(opened.get(), 0, image, &size))
                process.second.name = LowerFileName(image);
        }
    }

    std::map<DWORD, Process> m_processes;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Environment& variables) : m_variables(variables) {
        for (const auto& variable : m_variables)
            SetEnvironmentVariableA(variable.first.c_str(), variable.second.c_str());
    }
    ~ScopedEnvironment() {
        for (const auto& variable : m_variables) SetEnvironmentVariableA(variable.first.c_str(), nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    Environment m_variables;
};

}  // namespace

WatchedOutcome RunWatched(const std::string& program, const std::string& arguments, const Environment& environment,
                          DWORD timeoutMs) {
    WindowWatch watch;
    Job();
    ScopedEnvironment variables(environment);
    ProcessTracker processes;

    WatchedOutcome outcome;
    // The waiting thread collects the output; this one handles the window
    // events, which arrive as messages of the thread that set the hook.
    ChildProcess child(program, arguments, ProcessOptions{"", timeoutMs});
    std::atomic<bool> ended{false};
    std::thread waiter([&] {
        try {
            outcome.process = child.Wait();
        } catch (const std::runtime_error&) {
            outcome.timedOut = true;
        }
        ended = true;
    });
    while (!ended) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        watch.Pump();
    }
    waiter.join();
    watch.Pump();
    outcome.programs = processes.Programs();
    outcome.windows = watch.Seen();
    return outcome;
}

WatchedOutcome RunInstallerWatched(const std::string& arguments, const Environment& environment) {
    return RunWatched(SiblingExecutable("QuillmoreInstaller.exe"), arguments, environment);
}
