// What a run of the installer shows the outside world: its exit codes and
// the fixed texts of its console lines and message boxes, each declared
// once here and spelled once in InstallerMessages.cpp.
#pragma once

#include <cstdint>
#include <string>

// The process exit codes; SilentExit carries all but Completed and Failure.
namespace InstallerExit {
enum Code : int {
    Completed = 0,
    // A directory step: interactive, creating it failed; unattended, the
    // path exists and is not a directory.
    DirectoryFailed = 101,
    DirectoryCreationFailed = 102,  // unattended: creating it failed
    TargetIsNoDirectory = 103,      // interactive: the path exists and is not a directory
    FileExists = 104,               // overwriting a target file refused
    ShortcutFailed = 105,
    PreviousRemovalFailed = 107,
    AssociationFailed = 112,
    UninstallerRegistrationFailed = 113,
    UnsupportedSystem = 130,
    LicenceNotAccepted = 140,
    Failure = 150,  // an exception reached the flow
    HelpRequested = 200,
    BadCommandLine = 201,
    DialogCancelled = 202,
};
}  // namespace InstallerExit

// The system requirements check: the question (interactive), or the
// warning (-force) or abort line.
extern const char kUnsupportedSystemQuestion[];
extern const char kUnsupportedSystemCaption[];
extern const char kUnsupportedSystemWarningLine[];
extern const char kUnsupportedSystemAbortLine[];

// Recoverable step failures: question and caption (interactive), warning
// line (-force), abort line, cancel reason and exit code.
struct RecoverableFailure;
RecoverableFailure FileExistsFailure(const std::string& path);
RecoverableFailure AssociationFailure(const std::string& extension, const std::string& reason);
RecoverableFailure ShortcutFailure(const std::string& linkPath, const std::string& reason);
RecoverableFailure UninstallerRegistrationFailure(const std::string& reason);
std::string CanceledByUserLine(const std::string& cancelReason);

// Progress lines of the steps.
std::string InstallingLine(const std::string& path);
std::string CreatingShortcutLine(const std::string& linkPath);
std::string RegisteringAssociationLine(const std::string& extension);
std::string ReplacingAssociationLine(const std::string& extension, const std::string& previousOwner);
extern const char kRegisteringUninstallerLine[];

// The target directory step; the text is shown (interactive) or printed.
std::string TargetIsNoDirectoryText(const std::string& path);
std::string DirectoryCreationFailedText(const std::string& path, const std::string& reason);
extern const char kTargetIsNoDirectoryCaption[];
extern const char kDirectoryCreationFailedCaption[];

// Rollback of a file system object, by kind.
struct UndoTexts {
    const char* removing;  // followed by the path
    const char* failed;    // followed by the reason
    const char* caption;
    const char* rebootNote;
    const char* scheduling;
    const char* schedulingFailed;
};
extern const UndoTexts kDirectoryUndoTexts;
extern const UndoTexts kFileUndoTexts;
extern const UndoTexts kShortcutUndoTexts;
std::string UndoFailedText(const std::string& path, const std::string& reason, const UndoTexts& texts);

// Rollback of a file association (restoring the previous owner, or
// removing the mapping).
std::string AssociationUndoLine(const std::string& extension);
std::string AssociationUndoFailedLine(bool restoring, const std::string& reason);
std::string AssociationUndoFailedText(bool restoring, const std::string& extension, const std::string& reason);
const char* AssociationUndoFailedCaption(bool restoring);

// Rollback of the uninstaller registration.
extern const char kUnregisteringUninstallerLine[];
std::string UnregistrationFailedLine(const std::string& reason);
std::string UnregistrationFailedText(const std::string& reason);
extern const char kUnregistrationFailedCaption[];

// Removing the previous installation.
std::string UninstallingPreviousLine(const std::string& version);
std::string UninstallerFailedText(std::uint32_t result);
std::string TemporaryPathFailedText(const std::string& reason);
std::string UninstallerCopyFailedText(const std::string& reason);
extern const char kLostUninstallerResultText[];
std::string LaunchingUninstallerFailedText(const std::string& reason);
std::string RemovalFailureWarningLine(const std::string& message);
std::string RemovalFailureQuestion(const std::string& message);
extern const char kRemovalFailureCaption[];
extern const char kRemovalCanceledLine[];
std::string RemovalFailureAbortLine(const std::string& message);

// The flow: licence, completion and the failures that reach it.
extern const char kLicenceNotAcceptedText[];  // three lines, to standard error
std::string CompletedLine(const std::string& productFullName, const std::string& version);
std::string CompletedText(const std::string& productFullName, const std::string& version);
extern const char kCompletedCaption[];
std::string InstallationErrorText(const std::string& reason);
std::string StandardExceptionText(const std::string& reason);
extern const char kUnknownExceptionText[];
extern const char kInstallationErrorCaption[];
extern const char kExceptionCaption[];
std::string DamagedInstallerText(const std::string& path, std::uint64_t expectedSize, std::uint64_t foundSize);

// Window titles of the interactive run.
std::string InstallerWindowTitle(const std::string& productTitle);
std::string PackageContentsTitle(const std::string& productTitle);
extern const char kBrowseFolderTitle[];
