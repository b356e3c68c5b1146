// The DelFile and DelMainFile commands, and the uninstaller's own file.
#include "uninstaller/Removal.h"

#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "system/RebootDeletion.h"
#include "uninstaller/SelfCopy.h"

namespace {

bool IsMissing(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// 0 when the file is gone (or was never there), else the error code.
DWORD DeleteFileCode(const std::string& path) {
    if (DeleteFileA(path.c_str())) return 0;
    DWORD code = GetLastError();
    if (IsMissing(code)) return 0;
    // A read-only attribute set after the installation is no reason to stay.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (DeleteFileA(path.c_str())) return 0;
        code = GetLastError();
        SetFileAttributesA(path.c_str(), attributes);
    }
    return code;
}

// A file that is in use (the product still running) unattended goes at the
// next reboot; interactively the user is told to close it and retry.
void RemoveMainFile(const RemovalContext& context, const std::string& path) {
    const DWORD code = DeleteFileCode(path);
    if (code == 0) return;
    if (context.unattended && ScheduleDeleteOnReboot(path)) {
        context.report.Line(MainFileAtRebootLine(path));
        return;
    }
    context.report.Failure(FileDeletionFailedLine(path, DescribeWindowsError(code)));
}

// The folder and those above it that the removal took away meanwhile.
bool MakeFolders(const std::string& path) {
    if (path.empty() || CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    return GetLastError() == ERROR_PATH_NOT_FOUND && MakeFolders(ParentPath(path)) &&
           CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveFile(const RemovalContext& context, const std::string& path) {
    const DWORD code = DeleteFileCode(path);
    if (code != 0) context.report.Failure(FileDeletionFailedLine(path, DescribeWindowsError(code)));
}

}  // namespace

bool KeptForLink(const RemovalContext& context, const std::string& path, const std::string& what) {
    switch (context.links.Find(path)) {
        case PathLinks::OnTheWay:
            context.report.Line(KeptBehindFolderLinkLine(what + path));
            return true;
        case PathLinks::Itself:
            context.report.Line(KeptLinkLine(what + path));
            return true;
        case PathLinks::Nowhere:
            break;
    }
    return false;
}

void RemoveFiles(const RemovalContext& context, const std::string& exceptFile) {
    for (const UninstallCommand& command : context.info.commands) {
        const bool main = command.kind == CommandKeyword::DelMainFile;
        if (!main && command.kind != CommandKeyword::DelFile) continue;
        if (!exceptFile.empty() && SameText(command.argument, exceptFile)) continue;
        if (KeptForLink(context, command.argument)) continue;
        if (context.sibling.ProtectsFile(command.argument)) {
            context.report.Line(KeptForSiblingLine(command.argument, context.sibling.Name()));
        } else if (main) {
            RemoveMainFile(context, command.argument);
        } else {
            RemoveFile(context, command.argument);
        }
    }
}

// The uninstaller that runs in place cannot delete its own file on Windows;
// that file is left for the next reboot.
bool RemoveUninstallerFile(const RemovalContext& context, const std::string& path) {
    if (KeptForLink(context, path)) return true;
    const DWORD code = DeleteFileCode(path);
    if (code == 0) return true;
    if (ScheduleDeleteOnReboot(path)) {
        context.report.Line(UninstallerAtRebootLine(path));
        return true;
    }
    context.report.Failure(FileDeletionFailedLine(path, DescribeWindowsError(code)));
    return false;
}

void RestoreUninstallerFile(const RemovalContext& context, const std::string& path) {
    if (CancelDeleteOnReboot(path)) return;
    const std::string own = OwnPath();
    if (SameText(own, path) || (MakeFolders(ParentPath(path)) && CopyFileA(own.c_str(), path.c_str(), TRUE))) return;
    context.report.Line(UninstallerNotRestoredLine(path, DescribeWindowsError(GetLastError())));
}
