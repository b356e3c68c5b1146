#include "installer/PreviousInstallation.h"

#include "contract/UninstallContract.h"
#include "engine/InstallOptions.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"
#include "installer/ProductDefinition.h"
#include "installer/TemporaryUninstaller.h"
#include "system/SpecialFolders.h"

#include <optional>

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
