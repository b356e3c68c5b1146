#include "ui/TestWindows.h"

#include "foundation/DllLoader.h"
#include "ui/InstallerDialog.h"

namespace {

INT_PTR CALLBACK RecordingDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) ReceivedCommands().push_back({wParam, lParam});
    return message == WM_INITDIALOG;
}

}  // namespace

std::vector<CommandRecord>& ReceivedCommands() {
    static std::vector<CommandRecord> commands;
    return commands;
}

TestWindow CreateTestDialog(short cx, short cy, const std::string& title) {
    DialogTemplate bytes =
        MakeDialogHeader(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0, 10, 10, cx, cy);
    SetDialogTitle(bytes, title);
    SetDialogFont(bytes, 8, "MS Shell Dlg");
    ReceivedCommands().clear();
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                             nullptr, RecordingDialogProc, 0);
    PumpMessages();
    return TestWindow(dialog);
}

TestWindow CreateChild(HWND parent, const char* className, const char* text, DWORD style, RECT rect, int id) {
    return TestWindow(CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                      nullptr));
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void LoadRichEdit() {
    static DllLoader library;
    if (!library.Module()) library.Load(true, "riched20.dll");
}
