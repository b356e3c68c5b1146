#include "installer/InstallFlow.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/StructuredException.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "installer/CmdLine.h"
#include "installer/ImageDigest.h"
#include "installer/PreviousInstallation.h"
#include "installer/ProductDefinition.h"
#include "system/SystemInfo.h"
#include "ui/InstallerDialog.h"

#include <algorithm>
#include <string>

namespace {

const unsigned kInstallerParserFlags = CmdLine::BackslashEscapes | CmdLine::QuoteGrouping | CmdLine::SlashOptions;

// What the flow decides for itself; the dialog may change all of it.
struct FlowChoices {
    bool allUsers;
    bool desktopIcon = true;
    bool launchAfterInstall = true;
    std::string actionCaption = "Install";
};

void ChooseInteractively(FlowChoices& choices, const std::string& previousVersion) {
    choices.actionCaption = ActionCaption(previousVersion);
    InstallOptions& options = Options();
    InstallerDialogParams params{&options.acceptEULA,
                                 &options.installDir,
                                 &choices.allUsers,
                                 &choices.desktopIcon,
                                 &choices.launchAfterInstall,
                                 &choices.actionCaption,
                                 ProductFullName + " " + ProductVersion,
                                 ProductWebAddress};
    if (ShowInstallerDialog(params) != 1) throw SilentExit(InstallerExit::DialogCancelled);
    // Every later step and the uninstaller see the full path.
    const std::string full = FullPath(options.installDir);
    if (!full.empty()) options.installDir = full;
}

void RequireLicenceAcceptance() {
    if (Options().acceptEULA) return;
    ErrorText(kLicenceNotAcceptedText);
    throw SilentExit(InstallerExit::LicenceNotAccepted);
}

void PrepareSharedPaths() {
    InstallOptions& options = Options();
    StartUninstallCommands(kSiblingProductName);
    options.uninstallerPath = JoinPath(options.installDir, UninstallerName);
    options.mainExecutablePath = JoinPath(options.installDir, MainExecutableName);
}

void ReportCompletion(bool launchAfterInstall) {
    if (Options().interactive) {
        const std::string text = CompletedText(ProductFullName, ProductVersion);
        MessageBoxA(nullptr, text.c_str(), kCompletedCaption, MB_OK | MB_ICONINFORMATION);
        if (launchAfterInstall) LaunchProduct();
    }
    ConsoleLine(CompletedLine(ProductFullName, ProductVersion));
}

int RunFlow(const std::wstring& commandLine) {
    InstallStructuredExceptionTranslator();
    InstallOutOfMemoryHandler();
    FlowChoices choices{IsUserAdmin(true)};

    InstallOptions& options = Options();
    CmdLine cmdLine(commandLine, kInstallerParserFlags);
    options.interactive = IsInteractiveRun(cmdLine);
    // A damaged file must not decide anything: it is judged before its
    // options are read and before the first window or write.
    VerifyOwnImage();
    if (options.interactive)
        options.installDir = DefaultInstallDirectory();
    else
        ReadUnattendedOptions(cmdLine, choices.allUsers, choices.desktopIcon);

    CheckSystemRequirements();
    const std::string previousVersion = ReadPreviousVersion();
    if (options.interactive)
        ChooseInteractively(choices, previousVersion);
    else
        RequireLicenceAcceptance();

    RemovePreviousInstallation();
    PrepareSharedPaths();
    RunInstallationSteps(choices.allUsers, choices.desktopIcon);
    ReportCompletion(choices.launchAfterInstall);
    return InstallerExit::Completed;
}

// Printed, then shown (interactive) or printed a second time (unattended).
int ReportFailure(const std::string& text, const char* caption) {
    ConsoleLine(text);
    if (Options().interactive)
        MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR);
    else
        ConsoleLine(text);
    return InstallerExit::Failure;
}

}  // namespace

std::string ActionCaption(const std::string& previousVersion) {
    if (previousVersion.empty()) return "Install";
    return previousVersion.compare(ProductVersion) < 0 ? "Upgrade" : "Replace";
}

int RunInstaller(const std::wstring& commandLine) {
    int exitCode = 0;
    try {
        exitCode = RunFlow(commandLine);
    } catch (const SilentExit& exit) {
        exitCode = exit.exitCode();
    } catch (const CmdLine::Err& e) {
        ConsoleLine(e.what());
        ConsoleLine("");
        exitCode = InstallerExit::BadCommandLine;
    } catch (const InstallError& e) {
        exitCode = ReportFailure(InstallationErrorText(e.what()), kInstallationErrorCaption);
    } catch (const std::exception& e) {
        exitCode = ReportFailure(StandardExceptionText(e.what()), kExceptionCaption);
    } catch (...) {
        exitCode = ReportFailure(kUnknownExceptionText, kExceptionCaption);
    }
    if (exitCode == InstallerExit::HelpRequested || exitCode == InstallerExit::BadCommandLine)
        RawConsoleLine(WelcomeText);
    return exitCode;
}

namespace {

constexpr std::size_t kCommandLineLimit = 260;

}  // namespace

void LaunchProduct() {
    std::string commandLine = "\"" + JoinPath(Options().installDir, "quillmore.exe") + "\"";
    // CreateProcessA may write into the command line; a longer one is cut.
    char buffer[kCommandLineLimit + 1] = {};
    commandLine.copy(buffer, std::min(commandLine.size(), kCommandLineLimit));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        UniqueHandle process(started.hProcess);
        UniqueHandle thread(started.hThread);
    }
}

namespace {

const VersionTriple minimumWindows95Family{1, 4, 10};
const VersionTriple windowsNt4{2, 4, 0};
const std::int32_t minimumNt4ServicePack = 3;
const VersionTriple minimumInternetExplorer{4, 71, 1712};

bool OperatingSystemMet(const VersionTriple& os, std::int32_t servicePack) {
    if (os.a != 2) return os >= minimumWindows95Family;
    if (os == windowsNt4) return servicePack >= minimumNt4ServicePack;
    return os >= windowsNt4;
}

bool UserAcceptsUnsupportedSystem() {
    return MessageBoxA(nullptr, kUnsupportedSystemQuestion, kUnsupportedSystemCaption,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

bool RequirementsMet(const VersionTriple& os, std::int32_t servicePack, const VersionTriple& internetExplorer) {
    return internetExplorer >= minimumInternetExplorer && OperatingSystemMet(os, servicePack);
}

void CheckSystemRequirements() {
    SystemInfo system;
    if (RequirementsMet(system.OsVersion(), system.ServicePack(), system.InternetExplorerVersion())) return;

    const InstallOptions& options = Options();
    if (options.interactive) {
        if (UserAcceptsUnsupportedSystem()) return;
        throw SilentExit(InstallerExit::UnsupportedSystem);
    }
    if (options.force) {
        ConsoleLine(kUnsupportedSystemWarningLine);
        return;
    }
    ConsoleLine(kUnsupportedSystemAbortLine);
    throw SilentExit(InstallerExit::UnsupportedSystem);
}

namespace {

// Every later step and the uninstaller see the full path; a name the ANSI
// code page cannot hold would land somewhere else and is refused.
std::string InstallDirectoryFromArgument(const std::wstring& directory) {
    const std::wstring full = FullPath(directory);
    std::string text;
    if (full.empty() || !WideToMultiByteExactly(full, text))
        throw CmdLine::Err("The installation directory '" + WideToMultiByte(directory) +
                           "' cannot be used: its name has characters this system's code page cannot hold.");
    return text;
}

}  // namespace

bool IsInteractiveRun(const CmdLine& cmdLine) {
    return cmdLine.positionalCount() <= 1 && cmdLine.firstOption() == nullptr;
}

void ReadUnattendedOptions(CmdLine& cmdLine, bool& allUsers, bool& desktopIcon) {
    if (cmdLine.isHelpRequested()) throw SilentExit(InstallerExit::HelpRequested);

    InstallOptions& options = Options();
    options.force = cmdLine.hasFlag(L"force", true);
    options.noRollback = cmdLine.hasFlag(L"noRollback", true);
    options.acceptEULA = cmdLine.hasFlag(L"acceptEULA", true);

    std::wstring directory;
    if (!cmdLine.getValue(L"installDir", directory, true) || directory.empty())
        throw CmdLine::Err(std::string("Missing '-installDir'") + " parameter.");
    options.installDir = InstallDirectoryFromArgument(directory);

    if (cmdLine.hasFlag(L"installForMeOnly", true)) allUsers = false;
    desktopIcon = !cmdLine.hasFlag(L"noDesktopIcon", true);

    cmdLine.checkAllUsed(false);
}

// Here rather than in CmdLine.cpp: the parser itself stays free of Windows
// calls, so that it can be fuzzed natively.
void CmdLine::checkAllUsed(bool includeProgramName) const {
    const std::wstring report = unusedItemsReport(includeProgramName);
    if (!report.empty()) throw Err(WideToMultiByte(report));
}
