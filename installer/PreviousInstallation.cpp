#include "installer/PreviousInstallation.h"

#include "contract/UninstallContract.h"
#include "engine/InstallOptions.h"
#include "engine/InstallerMessages.h"
#include "engine/Resources.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"
#include "installer/ProductDefinition.h"
#include "system/FileSystemQueries.h"
#include "system/ProcessJob.h"
#include "system/RebootDeletion.h"
#include "system/SpecialFolders.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <cryptopp/osrng.h>
#include <cryptopp/randpool.h>

namespace {

// Installations older than this carry no uninstaller that speaks the result
// channel; a fresh copy of the embedded one removes them.
const char kChannelVersion[] = "4.07";

std::optional<std::string> ReadUninstallValue(const char* valueName) {
    try {
        return RegKey(HKEY_LOCAL_MACHINE, ProductUninstallKey).ReadString(valueName, true);
    } catch (const Norlib::RegException&) {
        return std::nullopt;
    }
}

std::uint32_t RunUninstallerBetweenEmptyLines(const std::string& commandLine) {
    RawConsoleLine("");
    try {
        const std::uint32_t result = RunUninstaller(commandLine);
        RawConsoleLine("");
        return result;
    } catch (const LostUninstallerResult&) {
        // The uninstaller ran (and may have printed): its part still ends.
        RawConsoleLine("");
        throw;
    }
}

std::uint32_t RunPreviousUninstaller(const std::string& version, const std::string& uninstallString) {
    if (version.compare(kChannelVersion) >= 0) return RunUninstallerBetweenEmptyLines(uninstallString);
    const std::string copy = WriteTemporaryUninstaller();
    return RunUninstallerBetweenEmptyLines("\"" + copy + "\" " + ProductShortName);
}

void DecideOnRemovalFailure(std::string message) {
    if (!message.empty() && message.back() == '.') message.pop_back();
    const InstallOptions& options = Options();
    if (options.interactive) {
        RawConsoleLine(RemovalFailureWarningLine(message));
        const std::string question = RemovalFailureQuestion(message);
        if (MessageBoxA(nullptr, question.c_str(), kRemovalFailureCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
            IDYES)
            return;
        RawConsoleLine(kRemovalCanceledLine);
        throw SilentExit(InstallerExit::PreviousRemovalFailed);
    }
    if (options.force) {
        RawConsoleLine(RemovalFailureWarningLine(message));
        return;
    }
    RawConsoleLine(RemovalFailureAbortLine(message));
    throw SilentExit(InstallerExit::PreviousRemovalFailed);
}

}  // namespace

void RemovePreviousInstallation() {
    const std::string version = ReadPreviousVersion();
    const std::string uninstallString = ReadPreviousUninstallString();
    if (version.empty() || uninstallString.empty()) return;
    RawConsoleLine(UninstallingPreviousLine(version));

    std::string failure;
    std::uint32_t result = 0;
    try {
        result = RunPreviousUninstaller(version, uninstallString);
    } catch (const InstallError& e) {
        failure = LaunchingUninstallerFailedText(e.what());
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (failure.empty() && result == 0) return;
    DecideOnRemovalFailure(failure.empty() ? UninstallerFailedText(result) : failure);
}

std::string ReadPreviousUninstallString() {
    return ReadUninstallValue("UninstallString").value_or(std::string());
}

std::string ReadPreviousVersion() {
    return ReadUninstallValue(kVersionValue).value_or(std::string());
}

std::string DefaultInstallDirectory() {
    if (auto directory = ReadUninstallValue(kInstallDirValue)) return *directory;
    return JoinPath(ProgramFilesFolder(), ProductFullName);
}

namespace {

const int uninstallerResourceId = 149;
const int maximumRetries = 10;

std::string FallbackName(CryptoPP::RandomPool& pool) {
    char name[16];
    std::snprintf(name, sizeof name, "uninst%04u.exe", static_cast<unsigned>(pool.GenerateWord32() % 9999));
    return name;
}

}  // namespace

std::string WriteTemporaryUninstaller() {
    const std::string directory = GetTempDirectory();
    if (directory.empty()) throw AException(TemporaryPathFailedText(DescribeWindowsError(GetLastError())));
    std::string target = JoinPath(directory, "uninst.exe");

    CryptoPP::RandomPool pool;
    CryptoPP::byte seed[32];
    CryptoPP::OS_GenerateRandomBlock(false, seed, sizeof seed);
    pool.IncorporateEntropy(seed, sizeof seed);

    for (int retries = 0;; ++retries) {
        try {
            ExtractResourceToFile(target, uninstallerResourceId);
            ScheduleDeleteOnReboot(target);
            return target;
        } catch (const std::exception& e) {
            if (retries == maximumRetries) throw AException(UninstallerCopyFailedText(e.what()));
        }
        target = JoinPath(directory, FallbackName(pool));
    }
}

// Running an uninstaller with its result channel: a 4-byte section for the
// result and an event that says the result is there, both inherited.
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
