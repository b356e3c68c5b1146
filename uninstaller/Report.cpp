// Every text here is printed or shown exactly as written: the installer's
// users and scripts read them.
#include "uninstaller/Report.h"

#include "foundation/Console.h"
#include "foundation/Win.h"

namespace {

// The box lists this many failures at most; the console has all of them.
const size_t kShownFailures = 10;

int Show(const std::string& text, const std::string& caption, UINT style) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
}

}  // namespace

void Report::Line(const std::string& text) {
    ConsoleLine(text);
}

void Report::Failure(const std::string& text) {
    Line(text);
    m_failures.push_back(text);
}

bool ConfirmUninstallation(const std::string& product) {
    const std::string text = "Do you want to remove " + product +
                             " and all of its components from this computer?\n"
                             "Files that you created in its folders are kept.";
    return Show(text, "Uninstall " + product, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowCompleted(const std::string& product) {
    Show(product + " was removed from this computer.", "Uninstallation Completed", MB_OK | MB_ICONINFORMATION);
}

void ShowFailed(const std::string& product, const std::vector<std::string>& failures) {
    std::string text = product + " could not be removed completely.\n";
    for (size_t i = 0; i < failures.size() && i < kShownFailures; ++i) text += "\n" + failures[i];
    if (failures.size() > kShownFailures) text += "\n...";
    text += "\n\nClose every program of " + product + " and run the uninstaller again.";
    Show(text, "Uninstallation Failed", MB_OK | MB_ICONERROR);
}

void ShowLoadFailed(const std::string& product, const std::string& reason) {
    Show("The uninstallation information of " + product + " cannot be loaded.\nReason: " + reason,
         "Uninstallation Failed", MB_OK | MB_ICONERROR);
}

const char kUsageLine[] = "Usage: uninst <product key name> [-unat]";

std::string InvalidCommandLineLine(const std::string& reason) {
    return "Invalid command line: " + reason;
}

std::string LoadFailedLine(const std::string& reason) {
    return "Loading uninstallation information failed: " + reason;
}

std::string UninstallationCompletedLine(const std::string& product) {
    return product + " uninstallation completed";
}

std::string UninstallationFailedLine(const std::string& product) {
    return product + " uninstallation failed partly or completely";
}

std::string ResultNotDeliveredLine(const std::string& reason) {
    return "Reporting the result to the installer failed: " + reason;
}

std::string SelfDeletionNotScheduledLine(const std::string& path) {
    return "Scheduling deletion on reboot failed: " + path;
}

std::string TemporaryDirectoryFailedLine(const std::string& reason) {
    return "Getting the temporary directory failed: " + reason;
}

std::string CopyFailedLine(const std::string& target, const std::string& reason) {
    return "Copying the uninstaller to " + target + " failed: " + reason;
}

std::string NoFreeCopyNameLine(const std::string& directory) {
    return "Copying the uninstaller to " + directory + " failed: no free file name";
}

std::string CopyNotStartedLine(const std::string& call, const std::string& reason) {
    return "Starting the uninstaller copy failed: " + call + " failed: " + reason;
}

std::string FileDeletionFailedLine(const std::string& path, const std::string& reason) {
    return "File deletion failed: " + path + ": " + reason;
}

std::string DirectoryRemovalFailedLine(const std::string& path, const std::string& reason) {
    return "Directory removal failed: " + path + ": " + reason;
}

std::string KeyDeletionFailedLine(const std::string& key, const std::string& reason) {
    return "Registry key deletion failed: " + key + ": " + reason;
}

std::string SearchPathUpdateFailedLine(const std::string& key, const std::string& reason) {
    return "Search path update failed: " + key + ": " + reason;
}

std::string MainFileAtRebootLine(const std::string& path) {
    return "Main executable in use, scheduled for deletion on reboot: " + path;
}

std::string UninstallerAtRebootLine(const std::string& path) {
    return "Uninstaller in use, scheduled for deletion on reboot: " + path;
}

std::string UninstallerNotRestoredLine(const std::string& path, const std::string& reason) {
    return "Putting the uninstaller back failed: " + path + ": " + reason;
}

std::string KeptForSiblingLine(const std::string& name, const std::string& sibling) {
    return "Kept " + name + ": " + sibling + " uses it";
}

std::string KeptSharedLine(const std::string& sibling, const std::string& damage) {
    return "Kept what " + sibling + " may share: " + damage;
}

std::string KeptLinkLine(const std::string& name) {
    return "Kept " + name + ": it is a link";
}

std::string KeptBehindFolderLinkLine(const std::string& name) {
    return "Kept " + name + ": a folder on its path links elsewhere";
}

std::string KeptBehindKeyLinkLine(const std::string& key) {
    return "Kept " + key + ": a key on its path links elsewhere";
}

std::string KeptNonEmptyDirectoryLine(const std::string& path) {
    return "Kept directory " + path + ": it is not empty";
}

std::string KeptAssociationLine(const std::string& extension, const std::string& progId) {
    return "Kept file association of extension '" + extension + "': it opens with " + progId;
}

std::string RestoredAssociationLine(const std::string& extension, const std::string& progId) {
    return "Restored file association of extension '" + extension + "' to " + progId;
}

std::string AssociationNotRestoredLine(const std::string& extension, const std::string& reason) {
    return "Restoring file association of extension '" + extension + "' failed: " + reason;
}
