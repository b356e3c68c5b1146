// WM_INITDIALOG of the installer dialog: fonts, icons, size and position,
// links, licence text, the caller's values, layout, and the focus.
#include "ui/InstallerDialogState.h"

#include "engine/Resources.h"
#include "foundation/RefPtr.h"
#include "ui/CenterWindow.h"
#include "ui/Colors.h"
#include "ui/DialogUnits.h"
#include "ui/InstallerDialogIds.h"
#include "ui/LinkHandler.h"
#include "ui/ReadOnlyTextHandler.h"
#include "ui/RichEdit.h"
#include "ui/WindowFont.h"
#include "ui/WindowQueries.h"

#include <richedit.h>

namespace {

constexpr int LicenceResource = 129;
constexpr int LargeIconResource = 140;
constexpr int SmallIconResource = 144;

// Margins in dialog units, -1 for a free edge; the buttons' inner margins
// follow the width (see WM_SIZE).
struct Anchor {
    int id;
    int left, top, right, bottom;
    int redraw;
};

constexpr Anchor Anchors[] = {
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
                     reinterpret_cast<LONG_PTR>(LoadIconSized(LargeIconResource, SM_CXICON, SM_CYICON)));
    SetClassLongPtrA(dialog, GCLP_HICONSM,
                     reinterpret_cast<LONG_PTR>(LoadIconSized(SmallIconResource, SM_CXSMICON, SM_CYSMICON)));
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
    SetRichEditText(licence, LoadResourceText(LicenceResource), SF_RTF);
    Attach(licence, new ReadOnlyTextHandler);
}

// The action's first letter is its access key: "Install", "Upgrade" and
// "Replace" begin with letters that no other control of the dialog uses.
std::string WithAccessKey(const std::string& caption) {
    return caption.find('&') == std::string::npos ? "&" + caption : caption;
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
    for (const Anchor& anchor : Anchors) {
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
    constexpr DWORD Style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFOREGROUND;
    DialogTemplate& bytes = DialogState().packageTemplate;
    bytes = MakeDialogHeader(Style, WS_EX_TOOLWINDOW, 0, 0, 0, 190, 190);
    SetDialogTitle(bytes, productTitle + " Package Contents");
    SetDialogFont(bytes, 8, "MS Shell Dlg");
}

}  // namespace

BOOL InitInstallerDialog(HWND dialog, InstallerDialogParams* params) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(params));
    CreateBoldFont(dialog);
    SetIcons(dialog);
    FitHeight(dialog);
    CenterWindow(dialog, 0);
    SetWindowTextA(dialog, (params->productTitle + " Installer").c_str());
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

void UpdateAcceptance(HWND dialog) {
    bool accepted = IsDlgButtonChecked(dialog, IDC_ACCEPT) == BST_CHECKED;
    auto normalFont = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    auto boldFont = reinterpret_cast<WPARAM>(DialogState().boldFont.get());
    HWND action = GetDlgItem(dialog, IDOK);
    EnableWindow(action, accepted);
    SendMessageA(action, WM_SETFONT, accepted ? boldFont : normalFont, TRUE);
    SendMessageA(GetDlgItem(dialog, IDC_ACCEPT), WM_SETFONT, accepted ? normalFont : boldFont, TRUE);
}
