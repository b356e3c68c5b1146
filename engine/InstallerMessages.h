// What a run of the installer shows the outside world: its exit codes and
// the fixed texts of its console lines and message boxes, each declared
// once here and spelled once in InstallerMessages.cpp.
#pragma once

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
