#include "engine/UndoReport.h"

#include "engine/InstallOptions.h"
#include "foundation/Console.h"
#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"
#include "system/RebootDeletion.h"

namespace {

struct UndoTexts {
    const char* removing;
    const char* failed;
    const char* caption;
    const char* rebootNote;
    const char* scheduling;
    const char* schedulingFailed;
};

const UndoTexts& TextsFor(UndoneObject kind) {
    static const UndoTexts directory = {
        "Rollback: removing previously created ",
        "Rollback: error removing directory: ",
        "Directory Deletion Failed",
        "The directory will be scheduled for removal on reboot.",
        "Scheduling removing directory on reboot",
        "Scheduling removing directory failed",
    };
    static const UndoTexts file = {
        "Rollback: removing previously created ",
        "File deletion failed: ",
        "File Deletion Failed",
        "The file will be scheduled for deletion on reboot.",
        "Scheduling file deletion on reboot",
        "Scheduling file deletion failed",
    };
    static const UndoTexts shortcut = {
        "Rollback: removing previously created shortcut ",
        "Shortcut deletion failed: ",
        "Shortcut Removal Failed",
        "The shortcut will be scheduled for removal on reboot.",
        "Scheduling remove shortcut on reboot",
        "Scheduling remove shortcut failed",
    };
    switch (kind) {
        case UndoneObject::Directory:
            return directory;
        case UndoneObject::Shortcut:
            return shortcut;
        case UndoneObject::File:
            break;
    }
    return file;
}

bool Remove(UndoneObject kind, const std::string& path) {
    if (kind == UndoneObject::Directory) return RemoveDirectoryA(path.c_str()) != FALSE;
    return DeleteFileA(path.c_str()) != FALSE;
}

void ReportAndRemove(UndoneObject kind, const std::string& path) {
    const UndoTexts& texts = TextsFor(kind);
    ConsoleLine(texts.removing + path);
    if (Remove(kind, path)) return;

    DWORD code = GetLastError();
    std::string reason = DescribeWindowsError(code);
    ConsoleLine(texts.failed + reason);
    if (Options().interactive) {
        std::string text =
            "Unable to remove previously created '" + path + "'.\nReason: " + reason + "\n" + texts.rebootNote;
        MessageBoxA(nullptr, text.c_str(), texts.caption, MB_OK | MB_ICONERROR);
    }
    ConsoleLine(texts.scheduling);
    if (!ScheduleDeleteOnReboot(path)) ConsoleLine(texts.schedulingFailed);
}

}  // namespace

void RemoveWithUndoReport(UndoneObject kind, const std::string& path) {
    try {
        ReportAndRemove(kind, path);
    } catch (...) {
        // An undo runs inside a destructor, possibly while another exception
        // unwinds: nothing may leave it, and the other undos must still run.
    }
}
