// Drives windows the way a user would, from a test thread or another
// process: finds them by class and caption, clicks, types. There is no
// window manager under Xvfb, so windows are activated explicitly.
#pragma once

#include "foundation/Win.h"

#include <string>
#include <vector>

namespace gui_test {

// What found() returns once it is true, polled every 50 ms; a value-initialised
// result after the time-out.
template <typename Found>
auto WaitFor(DWORD timeoutMs, Found found) -> decltype(found()) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (auto result = found()) return result;
        if (GetTickCount() - start >= timeoutMs) return {};
        Sleep(50);
    }
}

// A visible top-level window of any process; null after the time-out.
// With a process id only that process's windows count: tests in the shared
// prefix run side by side, and another test's window may carry the caption.
HWND WaitForWindow(const char* className, const std::string& caption, DWORD timeoutMs = 20000, DWORD processId = 0);
bool WaitForWindowGone(HWND window, DWORD timeoutMs = 20000);

// Visible top-level windows of this class owned by owner.
std::vector<HWND> OwnedWindows(HWND owner, const char* className);
// A visible top-level window of this class owned by owner; null after the time-out.
HWND WaitForOwnedWindow(HWND owner, const char* className, DWORD timeoutMs = 20000);

// Makes the window the active one of its thread and waits until it is.
bool Activate(HWND window);
// The windows with the keyboard focus and the activation in the window's thread.
HWND FocusedWindow(HWND window);
HWND ActiveWindow(HWND window);
// Returns once the window's thread has taken a message again: everything it
// was doing when called is done.
void RoundTrip(HWND window);

std::string Text(HWND window);
void SetText(HWND window, const std::string& text);
bool IsChecked(HWND button);
// All of the rich edit control's characters from first to last are bold.
bool IsBold(HWND richEdit, int first, int last);

// BM_CLICK, sent: returns after the click has been handled.
void Click(HWND button);
// BM_CLICK, posted: for clicks that open a modal window.
void PostClick(HWND button);
// The mouse messages of a left click on the start of a hyperlink's text,
// posted, so that what the click opens may run a modal loop.
void ClickLink(HWND control);

// Types keys (xdotool key names, e.g. "Escape", "Return") into the window
// with this exact caption through the X server. False when xdotool is
// missing or fails.
bool PressKeys(const std::string& windowCaption, const std::string& keys);
bool CanPressKeys();

}  // namespace gui_test
