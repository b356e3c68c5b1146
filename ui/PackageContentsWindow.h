// The modeless window that describes what the package installs.
#pragma once

#include "ui/DialogTemplate.h"

// Creates the window from the in-memory template, owned by the installer
// dialog, which it tells of its end with WM_PACKAGE_WINDOW_GONE. Returns
// null when it cannot be created.
HWND OpenPackageContentsWindow(HWND owner, const DialogTemplate& windowTemplate);
