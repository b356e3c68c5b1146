#include "ui/InstallerDialogState.h"

InstallerDialogState& DialogState() {
    static InstallerDialogState state;
    return state;
}

InstallerDialogParams& DialogParams(HWND dialog) {
    return *reinterpret_cast<InstallerDialogParams*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
