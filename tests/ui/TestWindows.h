// Windows for the toolkit tests, created in the test's own thread.
#pragma once

#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <string>
#include <vector>

struct WindowTraits {
    using Value = HWND;
    static HWND Invalid() { return nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};
using TestWindow = UniqueOwner<WindowTraits>;

// What the test dialogs' procedure saw of WM_COMMAND.
struct CommandRecord {
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<CommandRecord>& ReceivedCommands();

// A visible, resizable dialog of cx × cy dialog units with the font
// "MS Shell Dlg" 8, from an in-memory template.
TestWindow CreateTestDialog(short cx, short cy, const std::string& title = "Toolkit test");

TestWindow CreateChild(HWND parent, const char* className, const char* text, DWORD style, RECT rect, int id = 0);

void PumpMessages();

// Loads the rich edit 2.0 library for the whole test process.
void LoadRichEdit();
