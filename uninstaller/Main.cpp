// The product's uninstaller: removes what the installer recorded in the
// product's Uninstall key.
//
//   uninst <key name> [-unat] [-result=HHHHHHHH -done=HHHHHHHH]
//
// Exit codes: 0 removed; 12 the uninstallation information cannot be loaded
// (or the command line is wrong); 13 the removal failed partly or completely;
// 2 the user declined. 1: a copy of the program carries on and, when a
// channel was given, reports through it. Without a channel the original ends
// with 0 once its copy runs.
#include "foundation/WinErrorMessage.h"
#include "foundation/Win.h"
#include "uninstaller/Arguments.h"
#include "uninstaller/Dialogs.h"
#include "foundation/DllSearchPath.h"
#include "uninstaller/RebootDeletion.h"
#include "uninstaller/Removal.h"
#include "uninstaller/ResultChannel.h"
#include "uninstaller/SameText.h"
#include "uninstaller/SelfCopy.h"

#include <cstdint>

namespace {

enum ExitCode : std::uint32_t { Removed = 0, HandedOver = 1, Declined = 2, LoadFailed = 12, RemovalFailed = 13 };

std::uint32_t Finish(const Arguments& args, std::uint32_t result, Report& report) {
    if (args.HasChannel() && !DeliverResult(args, result))
        report.Line("Reporting the result to the installer failed: " + DescribeWindowsError(GetLastError()));
    return result;
}

bool ListDeletesFile(const UninstallInfo& info, const std::string& path) {
    for (const UninstallCommand& command : info.commands)
        if ((command.kind == UninstallCommand::DelFile || command.kind == UninstallCommand::DelMainFile) &&
            SameText(command.argument, path))
            return true;
    return false;
}

// Never hold a folder that is to be removed as the current directory (the
// Start Menu link starts the uninstaller in the installation directory).
void LeaveCurrentDirectory() {
    char directory[MAX_PATH + 1];
    const UINT length = GetSystemDirectoryA(directory, sizeof directory);
    if (length > 0 && length < sizeof directory) SetCurrentDirectoryA(directory);
}

std::uint32_t Remove(const Arguments& args, const UninstallInfo& info, const std::string& uninstallerFile,
                     Report& report) {
    const SiblingProtection sibling = SiblingProtection::Load(info.commands);
    RemoveInstallation(RemovalContext{info, sibling, report, args.unattended}, uninstallerFile);
    if (report.HasFailures()) {
        report.Line(args.keyName + " uninstallation failed partly or completely");
        if (!args.unattended) ShowFailed(args.keyName, report.Failures());
        return RemovalFailed;
    }
    report.Line(args.keyName + " uninstallation completed");
    if (!args.unattended) ShowCompleted(args.keyName);
    return Removed;
}

std::uint32_t Run() {
    Report report;
    const std::string tail = CommandLineTail(GetCommandLineA());
    Arguments args;
    try {
        args = ParseArguments(tail);
    } catch (const ArgumentError& e) {
        report.Line(std::string("Invalid command line: ") + e.what());
        report.Line("Usage: uninst <product key name> [-unat]");
        return LoadFailed;
    }
    LeaveCurrentDirectory();
    const std::string ownPath = OwnPath();
    if (args.IsCopy()) {
        WaitForOriginal(args);
        if (!DeleteAtReboot(ownPath)) report.Line("Scheduling deletion on reboot failed: " + ownPath);
    }

    UninstallInfo info;
    try {
        info = LoadUninstallInfo(args.keyName);
    } catch (const LoadError& e) {
        report.Line(std::string("Loading uninstallation information failed: ") + e.what());
        if (!args.unattended) ShowLoadFailed(args.keyName, e.what());
        return Finish(args, LoadFailed, report);
    }

    if (args.IsCopy()) return Finish(args, Remove(args, info, args.parentPath, report), report);
    if (!args.unattended && !ConfirmUninstallation(args.keyName)) return Finish(args, Declined, report);
    if (!ListDeletesFile(info, ownPath)) return Finish(args, Remove(args, info, std::string(), report), report);
    if (HandOverToCopy(ownPath, tail, report)) return args.HasChannel() ? HandedOver : Removed;
    return Finish(args, Remove(args, info, ownPath, report), report);
}

}  // namespace

int main() {
    RestrictDllSearchPath();
    return static_cast<int>(Run());
}
