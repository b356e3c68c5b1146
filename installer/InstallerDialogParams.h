// What the installer dialog reads and may change: the dialog works on the
// flow's own variables through these pointers.
#pragma once

#include <string>

struct InstallerDialogParams {
    bool* acceptEULA;
    std::string* installDir;
    bool* allUsers;
    bool* desktopIcon;
    bool* launchAfterInstall;
    std::string* actionCaption;
};
