// The interactive installer window: licence, folder and options.
#pragma once

#include "ui/InstallerDialogParams.h"

// Loads the rich edit library (once, from the system directory), runs the
// modal dialog and returns 1 when the user chose the action button, 2 when
// the dialog was cancelled or closed. The values behind params change only
// when the action button is chosen (the folder also during a browse).
// Throws when the dialog cannot be shown, and passes on an exception raised
// while it was open.
int ShowInstallerDialog(InstallerDialogParams& params);
