#include "support/MessageBoxDriver.h"

#include "support/GuiDriver.h"

namespace uninstall_test {

namespace {

BOOL CALLBACK LongestStaticText(HWND child, LPARAM found) {
    char className[32], text[4096];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0) return TRUE;
    GetWindowTextA(child, text, sizeof text);
    std::string& longest = *reinterpret_cast<std::string*>(found);
    if (std::string(text).size() > longest.size()) longest = text;
    return TRUE;
}

}  // namespace

HWND WaitForMessageBox(const std::string& caption, DWORD timeoutMs) {
    return gui_test::WaitForWindow("#32770", caption, timeoutMs);
}

std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, LongestStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

int DefaultButton(HWND box) {
    // Asked of the buttons: a message box does not answer DM_GETDEFID here.
    for (const int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        const HWND button = GetDlgItem(box, id);
        if (button != nullptr && (GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
    }
    return 0;
}

void Answer(HWND box, int button) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    gui_test::WaitForWindowGone(box, 5000);
}

}  // namespace uninstall_test
