// The three rules every file the installation writes goes through.
#pragma once

#include <string>

// DelMainFile when path is the main executable path (ASCII letters
// compared without regard to case), otherwise DelFile.
void RecordFileUninstallCommand(const std::string& path);

// Returns when the existing file may be overwritten; otherwise ends the run
// with SilentExit 104.
void ConfirmOverwrite(const std::string& path);

// Deletes a file the installation created, with the undo report; never
// throws.
void UndoFileCreation(const std::string& path);
