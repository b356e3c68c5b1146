// The product's uninstaller: removes what the installer recorded in the
// product's Uninstall key.
//
//   uninst <key name> [-unat] [-result=HHHHHHHH -done=HHHHHHHH]
//
// Exit codes (UninstallContract.h): 0 removed; 12 the uninstallation
// information cannot be loaded, names something outside the installation,
// or the command line is wrong; 13 the removal failed partly or completely;
// 2 the user declined; 1 handed over: a copy of the program carries on and,
// when a channel was given, reports the result through it.
#include "contract/UninstallContract.h"
#include "foundation/DllLoader.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "system/RebootDeletion.h"
#include "uninstaller/Arguments.h"
#include "uninstaller/Containment.h"
#include "uninstaller/Removal.h"
#include "uninstaller/Report.h"
#include "uninstaller/SelfCopy.h"

#include <cstdint>
#include <cstring>

namespace {

// The installer's result channel, a 4-byte section and an event: writes the
// result into the section, then signals the event. False when either handle
// is unusable.
bool DeliverResult(const Arguments& args, std::uint32_t result) {
    {
        const UniqueView view(MapViewOfFile(args.resultSection, FILE_MAP_WRITE, 0, 0, sizeof result));
        if (!view) return false;
        std::memcpy(view.get(), &result, sizeof result);
    }
    return SetEvent(args.doneEvent) != FALSE;
}

std::uint32_t Finish(const Arguments& args, std::uint32_t result, Report& report) {
    if (args.HasChannel() && !DeliverResult(args, result))
        report.Line(ResultNotDeliveredLine(DescribeWindowsError(GetLastError())));
    return result;
}

bool ListDeletesFile(const UninstallInfo& info, const std::string& path) {
    for (const UninstallCommand& command : info.commands)
        if ((command.kind == CommandKeyword::DelFile || command.kind == CommandKeyword::DelMainFile) &&
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

// The list as far as it can be trusted: entries in their full form, all of
// them inside the installation, and the copy's -parentPath= one of its files.
UninstallInfo LoadContainedInfo(const Arguments& args, Containment& containment) {
    UninstallInfo info = LoadUninstallInfo(args.keyName);
    containment = Containment::Of(info);
    containment.Check(info.commands);
    if (args.IsCopy() && !ListDeletesFile(info, PlainFullPath(args.parentPath)))
        throw LoadError("-parentPath=" + args.parentPath + " is no file of the installation");
    return info;
}

std::uint32_t Remove(const Arguments& args, const UninstallInfo& info, const Containment& containment,
                     const std::string& uninstallerFile, Report& report) {
    const SiblingProtection sibling = SiblingProtection::Load(info.commands);
    PathLinks links;
    RemoveInstallation(RemovalContext{info, sibling, containment, links, report, args.unattended}, uninstallerFile);
    if (report.HasFailures()) {
        report.Line(UninstallationFailedLine(args.keyName));
        if (!args.unattended) ShowFailed(args.keyName, report.Failures());
        return UninstallerExit::RemovalFailed;
    }
    report.Line(UninstallationCompletedLine(args.keyName));
    if (!args.unattended) ShowCompleted(args.keyName);
    return UninstallerExit::Removed;
}

std::uint32_t Run() {
    Report report;
    const std::string tail = CommandLineTail(GetCommandLineA());
    Arguments args;
    try {
        args = ParseArguments(tail);
    } catch (const ArgumentError& e) {
        report.Line(InvalidCommandLineLine(e.what()));
        report.Line(kUsageLine);
        return UninstallerExit::LoadFailed;
    }
    LeaveCurrentDirectory();
    const std::string ownPath = OwnPath();
    if (args.IsCopy()) WaitForOriginal(args);

    UninstallInfo info;
    Containment containment;
    try {
        info = LoadContainedInfo(args, containment);
    } catch (const LoadError& e) {
        report.Line(LoadFailedLine(e.what()));
        if (!args.unattended) ShowLoadFailed(args.keyName, e.what());
        return Finish(args, UninstallerExit::LoadFailed, report);
    }

    // Only now that everything is checked: a refused run changes nothing,
    // not even at the next start.
    if (args.IsCopy()) {
        if (!ScheduleDeleteOnReboot(ownPath)) report.Line(SelfDeletionNotScheduledLine(ownPath));
        return Finish(args, Remove(args, info, containment, PlainFullPath(args.parentPath), report), report);
    }
    if (!args.unattended && !ConfirmUninstallation(args.keyName))
        return Finish(args, UninstallerExit::Declined, report);
    const std::string ownFile = FullPath(ownPath);
    if (!ListDeletesFile(info, ownFile))
        return Finish(args, Remove(args, info, containment, std::string(), report), report);
    // Nothing is removed yet: the result comes from the copy.
    if (HandOverToCopy(ownPath, tail, report)) return UninstallerExit::HandedOver;
    return Finish(args, Remove(args, info, containment, ownFile, report), report);
}

}  // namespace

int main() {
    RestrictDllSearchPath();
    return static_cast<int>(Run());
}
