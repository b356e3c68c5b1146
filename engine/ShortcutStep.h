// Creates one shell link (.lnk) through the shell's link object and records
// DelFile for it; the undo deletes the link again. A link of that name
// that was there before and starts another program is the user's: it is
// replaced but never recorded or undone. A link that cannot
// be made is a recoverable failure: the installation may go on without it.
#pragma once

#include "engine/InstallStep.h"

#include <string>

class ShortcutStep final : public InstallStep {
public:
    // Empty arguments, working directory and description are not set on the
    // link; an empty icon file means the target's own icon. Throws
    // SilentExit 105 when a failure is not to be tolerated.
    ShortcutStep(const std::string& linkPath, const std::string& targetPath, const std::string& arguments,
                 const std::string& workingDirectory, const std::string& description, const std::string& iconFile,
                 int iconIndex);
    ~ShortcutStep();

private:
    std::string m_linkPath;
    bool m_created = false;
    bool m_usersOwn = false;
};

// A COM failure text as the shortcut messages show it: without one final
// full stop, because the interactive question adds its own.
std::string ShortcutFailureReason(const std::string& errorText);
