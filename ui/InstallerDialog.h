// The interactive installer window (licence, folder and options), the dialog
// templates built in memory, and the Package Contents window.
#pragma once

#include "foundation/Win.h"
#include "foundation/datavect.h"
#include "ui/InstallerDialogIds.h"

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

// A dialog template built in memory: the DLGTEMPLATE header, the menu, class
// and title fields, and optionally the font.
using DialogTemplate = datavect<BYTE>;

// A header with empty menu, class and title fields (24 bytes). DS_SETFONT is
// taken out of the style: a template gets a font only through SetDialogFont.
DialogTemplate MakeDialogHeader(DWORD style, DWORD extendedStyle, WORD itemCount, short x, short y, short cx, short cy);

// Replaces the title field; the text is in the ANSI code page.
void SetDialogTitle(DialogTemplate& dialogTemplate, const std::string& text);

// Sets the font fields after the title, replacing a font already there.
void SetDialogFont(DialogTemplate& dialogTemplate, WORD pointSize, const std::string& faceName);

// The modeless window that describes what the package installs.
// Creates the window from the in-memory template, owned by the installer
// dialog, which it tells of its end with WM_PACKAGE_WINDOW_GONE. Returns
// null when it cannot be created.
HWND OpenPackageContentsWindow(HWND owner, const DialogTemplate& windowTemplate);
