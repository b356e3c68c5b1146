// Makes sure one directory exists, creating first, when asked, every
// missing parent as a step of its own that this step owns. Records
// DelDir for the directory and for each parent it creates; the undo
// removes exactly the directories created, deepest first.
#pragma once

#include "engine/InstallStep.h"

#include <memory>
#include <string>

class DirectoryStep final : public InstallStep {
public:
    // Throws SilentExit 101/102/103 when the directory cannot be made (the
    // parents created so far are removed again as the throw unwinds).
    DirectoryStep(const std::string& path, bool createParents);
    ~DirectoryStep();

    // Also commits the chain of parent steps.
    void Commit() override;

private:
    void CreateMissingParent();
    void RefuseNonDirectory();
    void MakeDirectory();

    std::string m_path;
    std::unique_ptr<DirectoryStep> m_parent;
    bool m_created = false;
};

// The part of path before its last backslash, a trailing backslash set
// aside; double-byte characters of the ANSI code page are stepped over
// whole. Empty when there is none.
std::string ParentDirectoryOf(const std::string& path);
