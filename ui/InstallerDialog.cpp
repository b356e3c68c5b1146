#include "ui/InstallerDialog.h"

#include "foundation/DllLoader.h"
#include "foundation/InstallError.h"
#include "foundation/WinErrorMessage.h"
#include "ui/DialogUnits.h"
#include "ui/FolderBrowser.h"
#include "ui/InstallerDialogIds.h"
#include "ui/InstallerDialogState.h"
#include "ui/PackageContentsWindow.h"
#include "ui/UiFailure.h"
#include "ui/WindowQueries.h"

namespace {

constexpr int FolderTextLimit = 260;

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string FolderText(HWND dialog) {
    char folder[FolderTextLimit + 1] = {};
    GetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, folder, sizeof folder);
    return folder;
}

void AcceptChoices(HWND dialog) {
    InstallerDialogParams& params = DialogParams(dialog);
    *params.acceptEULA = IsChecked(dialog, IDC_ACCEPT);
    *params.allUsers = IsChecked(dialog, IDC_ALL_USERS);
    *params.desktopIcon = IsChecked(dialog, IDC_DESKTOP_ICON);
    *params.launchAfterInstall = IsChecked(dialog, IDC_RUN_WHEN_DONE);
    *params.installDir = FolderText(dialog);
    EndDialog(dialog, IDOK);
}

void ShowPackageContents(HWND dialog) {
    InstallerDialogState& state = DialogState();
    if (state.packageWindow)
        SetFocus(state.packageWindow);
    else
        state.packageWindow = OpenPackageContentsWindow(dialog, state.packageTemplate);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK:
            AcceptChoices(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_ACCEPT:
            UpdateAcceptance(dialog);
            break;
        case IDC_FOLDER_LINK:
            BrowseForInstallFolder(dialog, IDC_INSTALL_FOLDER, *DialogParams(dialog).installDir);
            break;
        case IDC_PACKAGE_LINK:
            ShowPackageContents(dialog);
            break;
    }
}

// Keeps the action and cancel buttons centred, 6 dialog units apart; the
// layout handler moves them after this.
void OnSize(HWND dialog, int clientWidth) {
    LayoutHandler* layout = DialogState().layout.get();
    if (!layout) return;
    int margin = clientWidth / 2 + DialogUnitsToPixelsX(dialog, 3);
    layout->Rule(IDOK).right = margin;
    layout->Rule(IDCANCEL).left = margin;
    InvalidateRect(dialog, nullptr, FALSE);
}

void OnGetMinMaxInfo(HWND dialog, MINMAXINFO& info) {
    NONCLIENTMETRICSA metrics = NonClientMetrics();
    info.ptMinTrackSize.x = DialogUnitsToPixelsX(dialog, 240) + 2 * metrics.iBorderWidth + ScaledPixels(dialog, 6);
    info.ptMinTrackSize.y =
        DialogUnitsToPixelsY(dialog, 200) + metrics.iCaptionHeight + 2 * metrics.iBorderWidth + ScaledPixels(dialog, 7);
}

void OnNcDestroy() {
    InstallerDialogState& state = DialogState();
    state.packageTemplate = DialogTemplate();
    state.boldFont.reset();
    state.packageWindow = nullptr;
    state.layout.Reset();
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return InitInstallerDialog(dialog, reinterpret_cast<InstallerDialogParams*>(lParam));
        case WM_COMMAND:
            // Clicks, Enter and Escape only; edit and other notifications pass.
            if (HIWORD(wParam) != 0) return FALSE;
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        case WM_PACKAGE_WINDOW_GONE:
            DialogState().packageWindow = nullptr;
            return TRUE;
        case WM_SIZE:
            OnSize(dialog, LOWORD(lParam));
            return FALSE;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(dialog, *reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_NCDESTROY:
            OnNcDestroy();
            return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK InstallerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedDialogCall(dialog, [&] { return HandleMessage(dialog, message, wParam, lParam); });
}

// Loaded from the system directory, never by bare name: an installer
// started from a downloads folder must not load a DLL planted beside it.
void LoadRichEditLibrary() {
    static DllLoader richEdit;
    if (!richEdit.Module()) richEdit.Load(true, "RICHED20.DLL");
}

}  // namespace

int ShowInstallerDialog(InstallerDialogParams& params) {
    LoadRichEditLibrary();
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INSTALLER), nullptr,
                                     InstallerDialogProc, reinterpret_cast<LPARAM>(&params));
    DWORD error = GetLastError();
    RethrowUiFailure();
    if (result == -1) ThrowCallFailure("DialogBoxParamA()", error);
    return static_cast<int>(result);
}
