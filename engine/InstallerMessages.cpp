// Every text here is printed or shown exactly as written, misspellings
// included: scripts and users match them byte for byte.
#include "engine/InstallerMessages.h"

#include "contract/UninstallContract.h"
#include "engine/InstallStep.h"

namespace {

const char kContinueQuestion[] = "Do you want to continue with the installation anyway?";

}  // namespace

// Both the -force warning and the abort line state them.
#define REQUIREMENTS "Quillmore requires Windows 98 or Windows NT 4.0 SP3 and Internet Explorer 4.0, or higher"

const char kUnsupportedSystemQuestion[] =
    "The minimum requirements for installing Quillmore are:\n"
    "- Windows 98 or Windows NT 4.0 SP3,\n"
    "- Internet Explorer 4.0.\n"
    "\n"
    "Does your system meet Quillmore minimum requirements?";
const char kUnsupportedSystemCaption[] = "Unsupported OS Version Detected";
const char kUnsupportedSystemWarningLine[] = "Warning: " REQUIREMENTS;
const char kUnsupportedSystemAbortLine[] = REQUIREMENTS " (use /Force flag to override version checking); aborting";
#undef REQUIREMENTS

RecoverableFailure FileExistsFailure(const std::string& path) {
    return RecoverableFailure{
        "Warning: '" + path +
            "' already exists.\nDo you want it to be overwritten?\n"
            "Clicking 'Yes' will overwrite the file, clicking 'No' will abort the installation.",
        "Target File Exists",
        "Warning: '" + path + "' already exists, will be overwritten",
        "Target file '" + path + "' already exists, aborting",
        "file already exists",
        InstallerExit::FileExists,
    };
}

RecoverableFailure AssociationFailure(const std::string& extension, const std::string& reason) {
    return RecoverableFailure{
        "Warning: registering file associaton for extension '" + extension + "' failed.\nReason: " + reason + ".\n" +
            kContinueQuestion,
        "Registering File Association Failed",
        "Warning: registering file association for extension '" + extension + "' failed. Reason: " + reason,
        "Registering file association for extension '" + extension + "' failed. Reason: " + reason + ", aborting",
        "registering file association failed",
        InstallerExit::AssociationFailed,
    };
}

RecoverableFailure ShortcutFailure(const std::string& linkPath, const std::string& reason) {
    return RecoverableFailure{
        "Warning: creating shortcut '" + linkPath + "' failed.\nReason: " + reason + ".\n" + kContinueQuestion,
        "Creating Shortcut Failed",
        "Warning: creating shortcut '" + linkPath + "' failed: " + reason,
        "Creating shortcut '" + linkPath + "' failed: " + reason + ", aborting",
        "creating shortcut failed",
        InstallerExit::ShortcutFailed,
    };
}

RecoverableFailure UninstallerRegistrationFailure(const std::string& reason) {
    return RecoverableFailure{
        "Warning: uninstaller registration failed.\nReason: " + reason + "\n" + kContinueQuestion,
        "Uninstaller Registration Failed",
        "Warning: uninstaller registration failed: " + reason,
        "Uninstaller registration failed: " + reason + ", aborting",
        "uninstaller registration failed",
        InstallerExit::UninstallerRegistrationFailed,
    };
}

std::string CanceledByUserLine(const std::string& cancelReason) {
    return "Installation canceled by user (" + cancelReason + ")";
}

std::string InstallingLine(const std::string& path) {
    return "Installing " + path;
}

std::string CreatingShortcutLine(const std::string& linkPath) {
    return "Creating shortcut " + linkPath;
}

std::string RegisteringAssociationLine(const std::string& extension) {
    return "Registering file association for extension '" + extension + "'";
}

std::string ReplacingAssociationLine(const std::string& extension, const std::string& previousOwner) {
    return "Warning: Replacing file association for extension '" + extension + "' currently associated with " +
           previousOwner;
}

const char kRegisteringUninstallerLine[] = "Registering uninstaller";

std::string TargetIsNoDirectoryText(const std::string& path) {
    return "Unable to create target directory '" + path +
           "': The specified target path already exists and is not a directory";
}

std::string DirectoryCreationFailedText(const std::string& path, const std::string& reason) {
    return "Unable to create target directory '" + path + "': " + reason;
}

const char kTargetIsNoDirectoryCaption[] = "Invalid Target Directory";
const char kDirectoryCreationFailedCaption[] = "Directory Creation Failed";

const UndoTexts kDirectoryUndoTexts = {
    "Rollback: removing previously created ",
    "Rollback: error removing directory: ",
    "Directory Deletion Failed",
    "The directory will be scheduled for removal on reboot.",
    "Scheduling removing directory on reboot",
    "Scheduling removing directory failed",
};

const UndoTexts kFileUndoTexts = {
    "Rollback: removing previously created ",
    "File deletion failed: ",
    "File Deletion Failed",
    "The file will be scheduled for deletion on reboot.",
    "Scheduling file deletion on reboot",
    "Scheduling file deletion failed",
};

const UndoTexts kShortcutUndoTexts = {
    "Rollback: removing previously created shortcut ",
    "Shortcut deletion failed: ",
    "Shortcut Removal Failed",
    "The shortcut will be scheduled for removal on reboot.",
    "Scheduling remove shortcut on reboot",
    "Scheduling remove shortcut failed",
};

std::string UndoFailedText(const std::string& path, const std::string& reason, const UndoTexts& texts) {
    return "Unable to remove previously created '" + path + "'.\nReason: " + reason + "\n" + texts.rebootNote;
}

std::string AssociationUndoLine(const std::string& extension) {
    return "Rollback: removing previously created file association for extension " + extension;
}

std::string AssociationUndoFailedLine(bool restoring, const std::string& reason) {
    return (restoring ? "Restoring" : "Removing") + std::string(" file association failed: ") + reason;
}

std::string AssociationUndoFailedText(bool restoring, const std::string& extension, const std::string& reason) {
    return std::string("Unable to ") + (restoring ? "restore" : "remove previoisly created") +
           " file association for extenstion '" + extension + "'.\nReason: " + reason;
}

const char* AssociationUndoFailedCaption(bool restoring) {
    return restoring ? "Restoring File Association Failed" : "Removing File Association Failed";
}

const char kUnregisteringUninstallerLine[] = "Rollback: unregistering uninstaller";

std::string UnregistrationFailedLine(const std::string& reason) {
    return "Uninstaller unregistration failed: " + reason;
}

std::string UnregistrationFailedText(const std::string& reason) {
    return "Unable to unregister previously registered uninstaller.\nReason: " + reason;
}

const char kUnregistrationFailedCaption[] = "Uninstaller Unregistration Failed";

std::string UninstallingPreviousLine(const std::string& version) {
    return "Uninstalling the existing Quillmore " + version + " installation";
}

std::string UninstallerFailedText(std::uint32_t result) {
    std::string message = "Uninstaller failed with error code " + std::to_string(result);
    if (result == UninstallerExit::LoadFailed) message += ": Loading uninstallation information failed";
    if (result == UninstallerExit::RemovalFailed) message += ": Uninstallation failed partally or completely";
    return message;
}

std::string TemporaryPathFailedText(const std::string& reason) {
    return "Getting temporary path failed: GetTemporaryPath() failed: " + reason;
}

std::string UninstallerCopyFailedText(const std::string& reason) {
    return "Copying uninstaller to temporary path failed: " + reason;
}

const char kLostUninstallerResultText[] = "Uninstaller ended without reporting its result";

std::string LaunchingUninstallerFailedText(const std::string& reason) {
    return "Launching uninstaller failed: " + reason;
}

std::string RemovalFailureWarningLine(const std::string& message) {
    return "Warning: " + message;
}

std::string RemovalFailureQuestion(const std::string& message) {
    return message + ".\n" + kContinueQuestion;
}

const char kRemovalFailureCaption[] = "Uninstallation failure";
const char kRemovalCanceledLine[] = "Installation canceled by user (uninstallation failure)";

std::string RemovalFailureAbortLine(const std::string& message) {
    return message + " (use /Force flag to override uninstallation failure); aborting";
}

const char kLicenceNotAcceptedText[] =
    "Missing -acceptEULA parameter to indicate your acceptance of the Quillmore\n"
    "End-User License Agreement. Please run this installer without parameters to\n"
    "read the EULA, then supply -acceptEULA for unattended installation.\n";

std::string CompletedLine(const std::string& productFullName, const std::string& version) {
    return productFullName + " " + version + " installation completed";
}

std::string CompletedText(const std::string& productFullName, const std::string& version) {
    return CompletedLine(productFullName, version) + ".\n";
}

const char kCompletedCaption[] = "Installation Completed";

std::string InstallationErrorText(const std::string& reason) {
    return "Installation error: " + reason;
}

std::string StandardExceptionText(const std::string& reason) {
    return "std::exception caught: " + reason;
}

const char kUnknownExceptionText[] = "Unrecognized exception caught";
const char kInstallationErrorCaption[] = "Installation Error";
const char kExceptionCaption[] = "Exception";

std::string DamagedInstallerText(const std::string& path, std::uint64_t expectedSize, std::uint64_t foundSize) {
    std::string sizes;
    if (expectedSize != foundSize)
        sizes = " (expected " + std::to_string(expectedSize) + " bytes, found " + std::to_string(foundSize) + " bytes)";
    return "The installer file " + path + " is damaged" + sizes + ". Please obtain it again.";
}

std::string InstallerWindowTitle(const std::string& productTitle) {
    return productTitle + " Installer";
}

std::string PackageContentsTitle(const std::string& productTitle) {
    return productTitle + " Package Contents";
}

const char kBrowseFolderTitle[] = "Please Select Quillmore Install Directory";
