#include "ui/LinkHandler.h"

#include "system/ShellLibrary.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace {

// TOOLINFOA as version 5 of the common controls knows it; the current,
// larger structure is refused there.
TOOLINFOA ToolInfo(HWND window, const std::string& text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.lpszText = const_cast<char*>(text.c_str());  // the tooltip keeps a copy
    GetClientRect(window, &tool.rect);
    return tool;
}

}  // namespace

LinkHandler::LinkHandler()
    : m_handCursor(LoadCursorA(nullptr, IDC_HAND)), m_arrowCursor(LoadCursorA(nullptr, IDC_ARROW)) {}

void LinkHandler::SetTarget(const std::string& target, bool alsoTooltip) {
    m_target = target;
    if (alsoTooltip) SetTooltipText(target);
}

void LinkHandler::SetTooltipText(const std::string& text) {
    m_tooltipText = text;
    if (m_attached && m_tooltip) {
        TOOLINFOA tool = ToolInfo(m_control, m_tooltipText);
        SendMessageA(m_tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void LinkHandler::OnAttached(HWND window) {
    m_control = window;
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | SS_NOTIFY);
    CreateTooltip(window);
    m_attached = true;
}

void LinkHandler::CreateTooltip(HWND window) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    m_tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    if (!m_tooltip) return;
    SetWindowPos(m_tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOA tool = ToolInfo(window, m_tooltipText);
    SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void LinkHandler::SendToTooltip(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_tooltip) SendMessageA(m_tooltip, message, wParam, lParam);
}

void LinkHandler::HideTooltip() {
    SendToTooltip(TTM_ACTIVATE, FALSE, 0);
}

void LinkHandler::RelayToTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD position = GetMessagePos();
    MSG relayed = {window,
                   message,
                   wParam,
                   lParam,
                   static_cast<DWORD>(GetMessageTime()),
                   {GET_X_LPARAM(position), GET_Y_LPARAM(position)}};
    SendToTooltip(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// Over the text, not merely over the control. Returns whether it changed.
bool LinkHandler::UpdateHover(HWND window, LPARAM point) {
    POINT where = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    bool hover = PtInRect(&m_textRect, where) != FALSE;
    if (hover == m_hover) return false;
    m_hover = hover;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void LinkHandler::OnMouseMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UpdateHover(window, lParam);
    if (!m_hover) {
        HideTooltip();
        m_tooltipShown = false;
        return;
    }
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, HOVER_DEFAULT};
    TrackMouseEvent(&track);
    if (!m_tooltipShown) {
        SendToTooltip(TTM_ACTIVATE, TRUE, 0);
        RelayToTooltip(window, message, wParam, lParam);
        m_tooltipShown = true;
    }
}

void LinkHandler::OnLeftButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RelayToTooltip(window, message, wParam, lParam);
    UpdateHover(window, lParam);
    if (m_hover) {
        m_pressed = true;
        SetCapture(window);
    }
}

void LinkHandler::OnLeftButtonUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RelayToTooltip(window, message, wParam, lParam);
    if (!m_pressed) return;
    ReleaseCapture();
    m_pressed = false;
    if (m_hover) Activate(window);
}

LRESULT LinkHandler::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            m_focused = message == WM_SETFOCUS;
            InvalidateRect(window, nullptr, TRUE);
            break;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_SETCURSOR:
            SetCursor(m_hover && m_handCursor ? m_handCursor : m_arrowCursor);
            return TRUE;
        case WM_GETDLGCODE:
            return KeyboardCode(reinterpret_cast<const MSG*>(lParam));
        case BM_CLICK:
            Activate(window);
            return 0;
        case WM_KEYDOWN:
            HideTooltip();
            if (wParam == VK_SPACE || wParam == VK_RETURN) Activate(window);
            return 0;
        case WM_KEYUP:
            HideTooltip();
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(window, message, wParam, lParam);
            break;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(window, message, wParam, lParam);
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(window, message, wParam, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            RelayToTooltip(window, message, wParam, lParam);
            break;
        case WM_MOUSELEAVE:
            HideTooltip();
            m_tooltipShown = false;
            m_hover = false;
            InvalidateRect(window, nullptr, TRUE);
            break;
    }
    return CallPrevious(window, message, wParam, lParam);
}

// A button to the dialog manager, so that the access key in the link's text
// clicks it (BM_CLICK) rather than moving on to the next control; and Enter
// comes to the focused link instead of choosing the default button.
LRESULT LinkHandler::KeyboardCode(const MSG* message) {
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
    return DLGC_BUTTON;
}

void LinkHandler::Activate(HWND window) {
    if (m_target.empty()) {
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), 0),
                     reinterpret_cast<LPARAM>(window));
    } else {
        if (auto shellExecute = ShellFunction<decltype(&::ShellExecuteA)>("ShellExecuteA"))
            shellExecute(nullptr, "open", m_target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    if (!m_visited) {
        m_visited = true;
        InvalidateRect(window, nullptr, TRUE);
    }
}
