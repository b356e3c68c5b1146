// The installer dialog: its state while open, WM_INITDIALOG (fonts, icons,
// size and position, links, licence text, the caller's values, layout and
// focus), the commands of its buttons and links, and its sizing.
#include "ui/InstallerDialog.h"

#include "engine/InstallerMessages.h"
#include "engine/Resources.h"
#include "foundation/DllLoader.h"
#include "foundation/Errors.h"
#include "foundation/RefPtr.h"
#include "system/SpecialFolders.h"
#include "ui/Drawing.h"
#include "ui/RichEdit.h"
#include "ui/WindowGeometry.h"
#include "ui/WndHandler.h"

#include <richedit.h>
#include <shlobj.h>

namespace {

constexpr int kLicenceResource = 129;
constexpr int kLargeIconResource = 140;
constexpr int kSmallIconResource = 144;
constexpr int kFolderTextLimit = 260;

// Margins in dialog units, -1 for a free edge; the buttons' inner margins
// follow the width (see WM_SIZE).
struct Anchor {
    int id;
    int left, top, right, bottom;
    int redraw;
};

constexpr Anchor kAnchors[] = {
    {IDC_WEB_LINK, -1, -1, 7, -1, 0},
    {IDC_TOP_SEPARATOR, 1, -1, 1, -1, 1},
    {IDC_LICENCE_TEXT, 7, 31, 7, 107, -1},
    {IDC_ACCEPT, -1, -1, -1, 92, 0},
    {IDC_MIDDLE_SEPARATOR, 1, -1, 1, 84, 1},
    {IDC_FOLDER_LINK, -1, -1, -1, 67, 0},
    {IDC_INSTALL_FOLDER, 87, -1, 7, 66, -1},
    {IDC_ALL_USERS, -1, -1, -1, 51, 0},
    {IDC_DESKTOP_ICON, -1, -1, -1, 51, 0},
    {IDC_RUN_WHEN_DONE, -1, -1, -1, 36, 0},
    {IDC_BOTTOM_SEPARATOR, 1, -1, 1, 28, 1},
    {IDOK, -1, -1, -1, 7, 0},
    {IDCANCEL, -1, -1, -1, 7, 0},
};

// What the dialog keeps while it is open (one per process).
struct InstallerDialogState {
    UniqueFont boldFont;
    DialogTemplate packageTemplate;  // of the Package Contents window
    HWND packageWindow = nullptr;    // while it is open
    RefPtr<LayoutHandler> layout;    // also held by the dialog's slot
};

InstallerDialogState& DialogState() {
    static InstallerDialogState state;
    return state;
}

// The parameter block kept in the dialog's DWLP_USER slot.
InstallerDialogParams& DialogParams(HWND dialog) {
    return *reinterpret_cast<InstallerDialogParams*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HINSTANCE OwnModule() {
    return GetModuleHandleA(nullptr);
}

void CreateBoldFont(HWND dialog) {
    LOGFONTA font = GetWindowLogFont(dialog);
    font.lfWeight = FW_BOLD;
    DialogState().boldFont.reset(CreateFontIndirectA(&font));
}

// In the sizes the system draws icons at for this display's DPI, so that
// the resources' larger images are chosen instead of a small one stretched.
HICON LoadIconSized(int resource, int widthMetric, int heightMetric) {
    return LoadIconShared(OwnModule(), MAKEINTRESOURCEA(resource), GetSystemMetrics(widthMetric),
                          GetSystemMetrics(heightMetric));
}

void SetIcons(HWND dialog) {
    SetClassLongPtrA(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconSized(kLargeIconResource, SM_CXICON, SM_CYICON)));
    SetClassLongPtrA(dialog, GCLP_HICONSM,
                     reinterpret_cast<LONG_PTR>(LoadIconSized(kSmallIconResource, SM_CXSMICON, SM_CYSMICON)));
}

// 40 dialog units taller for the licence, but at most 7/9 of the work
// area's height, and never smaller than the template unless the template is
// taller than the work area (a high DPI on a small screen): then the licence
// gives up the difference, so that the buttons stay on the screen.
void FitHeight(HWND dialog) {
    SIZE size;
    RECT workArea;
    if (!WindowSize(dialog, size) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) return;
    LONG workHeight = workArea.bottom - workArea.top;
    LONG limit = workHeight * 7 / 9;
    LONG height = size.cy + DialogUnitsToPixelsY(dialog, 40);
    if (height >= limit) height = limit;
    if (height < size.cy) height = size.cy < workHeight ? size.cy : workHeight;
    if (height != size.cy) {
        SetWindowPos(dialog, nullptr, 0, 0, size.cx, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void AttachLink(HWND dialog, int id, const std::string& target) {
    RefPtr<LinkHandler> link(new LinkHandler);
    if (!target.empty()) link->SetTarget(target, true);
    Attach(GetDlgItem(dialog, id), link.get());
}

void ShowLicence(HWND dialog) {
    HWND licence = GetDlgItem(dialog, IDC_LICENCE_TEXT);
    SetRichEditBackground(licence, NearestColor(SoftBackgroundColor(), dialog));
    SetRichEditText(licence, LoadResourceText(kLicenceResource), SF_RTF);
    Attach(licence, new ReadOnlyTextHandler);
}

// The action's first letter is its access key: "Install", "Upgrade" and
// "Replace" begin with letters that no other control of the dialog uses.
std::string WithAccessKey(const std::string& caption) {
    return caption.find('&') == std::string::npos ? "&" + caption : caption;
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int ToPixelsX(HWND dialog, int units) {
    return units < 0 ? -1 : DialogUnitsToPixelsX(dialog, units);
}

int ToPixelsY(HWND dialog, int units) {
    return units < 0 ? -1 : DialogUnitsToPixelsY(dialog, units);
}

void CreateLayout(HWND dialog) {
    RefPtr<LayoutHandler> layout(new LayoutHandler);
    for (const Anchor& anchor : kAnchors) {
        LayoutRule& rule = layout->Rule(anchor.id);
        rule.left = ToPixelsX(dialog, anchor.left);
        rule.top = ToPixelsY(dialog, anchor.top);
        rule.right = ToPixelsX(dialog, anchor.right);
        rule.bottom = ToPixelsY(dialog, anchor.bottom);
        rule.redraw = anchor.redraw;
    }
    layout->Layout(dialog);
    DialogState().layout = layout;
    Attach(dialog, layout.get());
}

void BuildPackageTemplate(const std::string& productTitle) {
    constexpr DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFOREGROUND;
    DialogTemplate& bytes = DialogState().packageTemplate;
    bytes = MakeDialogHeader(style, WS_EX_TOOLWINDOW, 0, 0, 0, 190, 190);
    SetDialogTitle(bytes, PackageContentsTitle(productTitle));
    SetDialogFont(bytes, 8, "MS Shell Dlg");
}

// Enables the action button once the agreement is accepted; whichever of
// the two is waiting for the user gets the bold font.
void UpdateAcceptance(HWND dialog) {
    bool accepted = IsChecked(dialog, IDC_ACCEPT);
    auto normalFont = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    auto boldFont = reinterpret_cast<WPARAM>(DialogState().boldFont.get());
    HWND action = GetDlgItem(dialog, IDOK);
    EnableWindow(action, accepted);
    SendMessageA(action, WM_SETFONT, accepted ? boldFont : normalFont, TRUE);
    SendMessageA(GetDlgItem(dialog, IDC_ACCEPT), WM_SETFONT, accepted ? normalFont : boldFont, TRUE);
}

BOOL OnInitDialog(HWND dialog, InstallerDialogParams* params) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(params));
    CreateBoldFont(dialog);
    SetIcons(dialog);
    FitHeight(dialog);
    CenterWindow(dialog, 0);
    SetWindowTextA(dialog, InstallerWindowTitle(params->productTitle).c_str());
    AttachLink(dialog, IDC_PACKAGE_LINK, "");
    AttachLink(dialog, IDC_WEB_LINK, params->webAddress);
    ShowLicence(dialog);
    Check(dialog, IDC_ACCEPT, *params->acceptEULA);
    AttachLink(dialog, IDC_FOLDER_LINK, "");
    SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, params->installDir->c_str());
    Check(dialog, IDC_ALL_USERS, *params->allUsers);
    Check(dialog, IDC_DESKTOP_ICON, *params->desktopIcon);
    Check(dialog, IDC_RUN_WHEN_DONE, *params->launchAfterInstall);
    SetDlgItemTextA(dialog, IDOK, WithAccessKey(*params->actionCaption).c_str());
    CreateLayout(dialog);
    BuildPackageTemplate(params->productTitle);
    UpdateAcceptance(dialog);
    SetFocus(GetDlgItem(dialog, *params->acceptEULA ? IDC_INSTALL_FOLDER : IDC_LICENCE_TEXT));
    return FALSE;  // the focus is set
}

// An item list from the shell, freed with the COM task allocator, which is
// the shell's allocator.
class ItemList {
public:
    explicit ItemList(PIDLIST_ABSOLUTE items) : m_items(items) {}
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    ~ItemList() { CoTaskMemFree(m_items); }

    PIDLIST_ABSOLUTE get() const { return m_items; }

private:
    PIDLIST_ABSOLUTE m_items;
};

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM path) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, path);
    return 0;
}

// The shell's folder browser, started at the folder typed into the edit
// control (which also becomes installDir); a chosen folder replaces both.
// Cancelling, or a folder without a file system path, leaves the text as it
// was.
void BrowseForInstallFolder(HWND dialog, int editId, std::string& installDir) {
    const auto browseForFolder = ShellFunction<decltype(&::SHBrowseForFolderA)>("SHBrowseForFolderA");
    const auto pathFromItemList = ShellFunction<decltype(&::SHGetPathFromIDListA)>("SHGetPathFromIDListA");
    if (!browseForFolder || !pathFromItemList) return;

    char path[kFolderTextLimit + 1] = {};
    GetDlgItemTextA(dialog, editId, path, kFolderTextLimit + 1);
    installDir = path;

    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = path;
    browse.lpszTitle = kBrowseFolderTitle;
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(installDir.c_str());

    ItemList chosen(browseForFolder(&browse));
    if (chosen.get() && pathFromItemList(chosen.get(), path)) {
        installDir = path;
        SetDlgItemTextA(dialog, editId, path);
    }
}

std::string FolderText(HWND dialog) {
    char folder[kFolderTextLimit + 1] = {};
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
            return OnInitDialog(dialog, reinterpret_cast<InstallerDialogParams*>(lParam));
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
