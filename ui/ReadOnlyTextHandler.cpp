#include "ui/ReadOnlyTextHandler.h"

ReadOnlyTextHandler::ReadOnlyTextHandler()
    : m_arrowCursor(LoadCursorA(nullptr, IDC_ARROW)), m_handCursor(LoadCursorA(nullptr, IDC_HAND)) {}

LRESULT ReadOnlyTextHandler::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The control keeps the keyboard for scrolling but never learns that it
    // has the focus, so it shows no caret.
    if (message == WM_SETFOCUS) return 0;
    // Escape closes the window the text is shown in, as its close box does:
    // the installer dialog cancels, and the modeless package contents window,
    // whose keys no dialog manager sees, goes away.
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(GetParent(window), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    LRESULT result = CallPrevious(window, message, wParam, lParam);
    if (message == WM_SETCURSOR) {
        HCURSOR current = GetCursor();
        if (current != m_arrowCursor && current != m_handCursor) SetCursor(m_arrowCursor);
    }
    return result;
}
