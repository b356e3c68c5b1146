// Running an uninstaller with its result channel: a 4-byte section for the
// result and an event that says the result is there, both inherited.
#include "installer/UninstallerProcess.h"

#include "contract/UninstallContract.h"
#include "engine/InstallerMessages.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"
#include "system/ProcessJob.h"

#include <cstring>
#include <vector>

namespace {

// How often the wait for the event looks whether any process of the
// uninstaller is left.
const DWORD jobPollMs = 100;

SECURITY_ATTRIBUTES Inheritable() {
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof attributes;
    attributes.bInheritHandle = TRUE;
    return attributes;
}

std::uint32_t StartAndWait(const std::string& commandLine, ProcessJob* job) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    // Suspended while it joins the job, so that nothing it starts escapes.
    const DWORD flags = job != nullptr ? CREATE_SUSPENDED : 0;
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &started))
        ThrowCallFailure("CreateProcess()");
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    if (job != nullptr) {
        job->Adopt(process.get());
        ResumeThread(thread.get());
    }
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode) || exitCode == STILL_ACTIVE) {
        TerminateProcess(process.get(), 0);
        exitCode = STILL_ACTIVE;
    }
    return exitCode;
}

// After exit code 1 the uninstaller (or a copy of it that it started) still
// has to signal the event. A job tells when none of them is left, so that an
// uninstaller that ends without signalling does not stall the installation.
void WaitForResult(HANDLE event, ProcessJob& job) {
    if (!job.Holds()) {
        WaitForSingleObject(event, INFINITE);
        return;
    }
    while (WaitForSingleObject(event, jobPollMs) == WAIT_TIMEOUT) {
        if (job.IsEmpty() && WaitForSingleObject(event, 0) != WAIT_OBJECT_0) throw LostUninstallerResult();
    }
}

}  // namespace

LostUninstallerResult::LostUninstallerResult() : AException(std::string(kLostUninstallerResultText)) {}

std::uint32_t RunProcessAndWait(const std::string& commandLine) {
    return StartAndWait(commandLine, nullptr);
}

std::uint32_t RunUninstaller(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inheritable = Inheritable();
    const UniqueHandle section(
        CreateFileMappingA(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0, sizeof(std::uint32_t), nullptr));
    if (!section) ThrowCallFailure("CreateFileMapping()");
    const UniqueView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, sizeof(std::uint32_t)));
    if (!view) ThrowCallFailure("MapViewOfFile()");
    const UniqueHandle event(CreateEventA(&inheritable, TRUE, FALSE, nullptr));
    if (!event) ThrowCallFailure("CreateEvent()");

    const std::string extended = commandLine + " " + kUnattendedSwitch + " " + kResultSwitch +
                                 HandleValueText(reinterpret_cast<std::uintptr_t>(section.get())) + " " + kDoneSwitch +
                                 HandleValueText(reinterpret_cast<std::uintptr_t>(event.get()));
    ProcessJob job;
    const std::uint32_t exitCode = StartAndWait(extended, &job);
    if (exitCode != UninstallerExit::HandedOver) return exitCode;
    WaitForResult(event.get(), job);
    std::uint32_t result = 0;
    std::memcpy(&result, view.get(), sizeof result);
    return result;
}
