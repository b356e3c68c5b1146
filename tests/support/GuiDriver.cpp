#include "support/GuiDriver.h"

#include "support/ProcessRunner.h"

#include <richedit.h>

namespace gui_test {

namespace {

const char XdotoolPath[] = "Z:\\usr\\bin\\xdotool";

struct OwnedSearch {
    HWND owner;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<OwnedSearch*>(lParam);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) == search.owner && IsWindowVisible(window) &&
        lstrcmpiA(className, search.className) == 0) {
        search.found.push_back(window);
    }
    return TRUE;
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

}  // namespace

HWND WaitForWindow(const char* className, const std::string& caption, DWORD timeoutMs, DWORD processId) {
    return WaitFor(timeoutMs, [&]() -> HWND {
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, caption.c_str()));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if ((processId == 0 || owner == processId) && IsWindowVisible(window)) return window;
        }
        return nullptr;
    });
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    return WaitFor(timeoutMs, [&] { return !IsWindow(window); });
}

std::vector<HWND> OwnedWindows(HWND owner, const char* className) {
    OwnedSearch search{owner, className, {}};
    EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForOwnedWindow(HWND owner, const char* className, DWORD timeoutMs) {
    return WaitFor(timeoutMs, [&]() -> HWND {
        std::vector<HWND> windows = OwnedWindows(owner, className);
        return windows.empty() ? nullptr : windows.front();
    });
}

bool Activate(HWND window) {
    SetForegroundWindow(window);
    return WaitFor(5000, [&] { return ActiveWindow(window) == window; });
}

HWND FocusedWindow(HWND window) {
    return ThreadInfo(window).hwndFocus;
}

HWND ActiveWindow(HWND window) {
    return ThreadInfo(window).hwndActive;
}

void RoundTrip(HWND window) {
    SendMessageA(window, WM_NULL, 0, 0);
}

std::string Text(HWND window) {
    char text[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetText(HWND window, const std::string& text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void ClickLink(HWND control) {
    // A user clicks on what is shown: the link learns where its text is by
    // painting it, and posted clicks would overtake a pending paint.
    UpdateWindow(control);
    RECT client;
    GetClientRect(control, &client);
    LPARAM point = MAKELPARAM(2, client.bottom / 2);
    PostMessageA(control, WM_MOUSEMOVE, 0, point);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(control, WM_LBUTTONUP, 0, point);
}

bool CanPressKeys() {
    return GetFileAttributesA(XdotoolPath) != INVALID_FILE_ATTRIBUTES;
}

bool PressKeys(const std::string& windowCaption, const std::string& keys) {
    if (!CanPressKeys()) return false;
    ProcessOutcome outcome =
        RunProcess(XdotoolPath, "search --sync --name \"^" + windowCaption + "$\" windowfocus --sync key " + keys);
    return outcome.exitCode == 0;
}

bool IsBold(HWND richEdit, int first, int last) {
    SendMessageA(richEdit, EM_SETSEL, first, last);
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
}

}  // namespace gui_test
