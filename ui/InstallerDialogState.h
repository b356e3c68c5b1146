// What the installer dialog keeps while it is open (one per process).
#pragma once

#include "foundation/RefPtr.h"
#include "ui/DialogTemplate.h"
#include "ui/GdiOwners.h"
#include "ui/InstallerDialogParams.h"
#include "ui/LayoutHandler.h"

struct InstallerDialogState {
    UniqueFont boldFont;
    DialogTemplate packageTemplate;  // of the Package Contents window
    HWND packageWindow = nullptr;    // while it is open
    RefPtr<LayoutHandler> layout;    // also held by the dialog's slot
};

InstallerDialogState& DialogState();

// The parameter block kept in the dialog's DWLP_USER slot.
InstallerDialogParams& DialogParams(HWND dialog);

// Called at WM_INITDIALOG.
BOOL InitInstallerDialog(HWND dialog, InstallerDialogParams* params);

// Enables the action button once the agreement is accepted; whichever of
// the two is waiting for the user gets the bold font.
void UpdateAcceptance(HWND dialog);
