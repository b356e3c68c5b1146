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
    std::string productTitle;  // full name and version: "Vantrel Quillmore 4.33"
    std::string webAddress;    // the product's web site, behind the dialog's link
};
