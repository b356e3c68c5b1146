// The interactive installer window: licence, folder and options.
#pragma once

#include <string>

// What the installer dialog reads and may change: the dialog works on the
// flow's own variables through these pointers.
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

// Loads the rich edit library (once, from the system directory), runs the
// modal dialog and returns 1 when the user chose the action button, 2 when
// the dialog was cancelled or closed. The values behind params change only
// when the action button is chosen (the folder also during a browse).
// Throws when the dialog cannot be shown, and passes on an exception raised
// while it was open.
int ShowInstallerDialog(InstallerDialogParams& params);
