// The "-delFile=" and "-delMainFile=" commands, and the uninstaller's own file.
#include "uninstaller/Removal.h"

#include "foundation/WinErrorMessage.h"
#include "foundation/Win.h"
#include "uninstaller/RebootDeletion.h"
#include "uninstaller/SameText.h"

namespace {

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

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
    if (context.unattended && DeleteAtReboot(path)) {
        context.report.Line("Main executable in use, scheduled for deletion on reboot: " + path);
        return;
    }
    context.report.Failure("File deletion failed: " + path + ": " + DescribeWindowsError(code));
}

void RemoveFile(const RemovalContext& context, const std::string& path) {
    const DWORD code = DeleteFileCode(path);
    if (code != 0) context.report.Failure("File deletion failed: " + path + ": " + DescribeWindowsError(code));
}

}  // namespace

void RemoveFiles(const RemovalContext& context, const std::string& exceptFile) {
    for (const UninstallCommand& command : context.info.commands) {
        const bool main = command.kind == UninstallCommand::DelMainFile;
        if (!main && command.kind != UninstallCommand::DelFile) continue;
        if (!exceptFile.empty() && SameText(command.argument, exceptFile)) continue;
        if (context.sibling.ProtectsFile(command.argument)) {
            context.report.Line("Kept " + command.argument + ": " + context.sibling.Name() + " uses it");
        } else if (main) {
            RemoveMainFile(context, command.argument);
        } else {
            RemoveFile(context, command.argument);
        }
    }
}

// The uninstaller that runs in place cannot delete its own file on Windows;
// that file is left for the next reboot.
void RemoveUninstallerFile(const RemovalContext& context, const std::string& path) {
    const DWORD code = DeleteFileCode(path);
    if (code == 0) return;
    if (DeleteAtReboot(path)) {
        context.report.Line("Uninstaller in use, scheduled for deletion on reboot: " + path);
        return;
    }
    context.report.Failure("File deletion failed: " + path + ": " + DescribeWindowsError(code));
}
