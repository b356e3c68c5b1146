// The files an installation writes: the step that writes one from a
// zlib-compressed resource (the uninstaller), and the three rules every
// file goes through, the payload's as well. A file that existed before is
// overwritten only when allowed and is never deleted by the rollback.
#pragma once

#include "engine/InstallStep.h"

#include <string>

class FileStep final : public InstallStep {
public:
    // An empty path stands for Options().uninstallerPath.
    FileStep(int resourceId, const std::string& path);
    ~FileStep();

private:
    void Extract(int resourceId, bool existedBefore);

    std::string m_path;
};

// DelMainFile when path is the main executable path (ASCII letters
// compared without regard to case), otherwise DelFile.
void RecordFileUninstallCommand(const std::string& path);

// Returns when the existing file may be overwritten; otherwise ends the run
// with SilentExit 104.
void ConfirmOverwrite(const std::string& path);

// Deletes a file the installation created, with the undo report; never
// throws.
void UndoFileCreation(const std::string& path);
