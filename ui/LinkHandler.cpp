#include "ui/WndHandler.h"

#include "system/SpecialFolders.h"
#include "ui/Drawing.h"
#include "ui/WindowGeometry.h"

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

// Painting: the text in the state's colour, and the hot area that the
// mouse handling tests against.

UINT DrawFormat(LONG_PTR style) {
    LONG_PTR type = style & SS_TYPEMASK;
    bool simple = type == SS_SIMPLE;
    bool noWrap = type == SS_LEFTNOWORDWRAP;
    UINT format = DT_LEFT;
    if (simple)
        format = DT_NOCLIP;
    else if (type == SS_CENTER)
        format = DT_CENTER;
    else if (type == SS_RIGHT)
        format = DT_RIGHT;
    if (style & SS_CENTERIMAGE)
        format |= DT_VCENTER | DT_SINGLELINE;
    else if (!simple && !noWrap)
        format |= DT_WORDBREAK;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

std::string WindowText(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

// The measured text placed in the client area as the format aligns it.
RECT PlaceText(const RECT& measured, const RECT& client, UINT format) {
    LONG width = measured.right - measured.left;
    LONG height = measured.bottom - measured.top;
    LONG left = client.left;
    if (format & DT_RIGHT)
        left = client.right - width;
    else if (format & DT_CENTER)
        left = client.left + (client.right - client.left - width) / 2;
    LONG top = client.top;
    if (format & DT_VCENTER) top = client.top + (client.bottom - client.top - height) / 2;
    RECT placed = {left, top, left + width, top + height};
    IntersectRect(&placed, &placed, &client);
    return placed;
}

// A dotted line: every other pixel set, shifted by one on the next row.
HBITMAP DottedPattern() {
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    return CreateBitmap(8, 8, 1, 1, rows);
}

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH logBrush = {};
    if (brush && GetObjectA(brush, sizeof logBrush, &logBrush) && logBrush.lbStyle == BS_SOLID) return logBrush.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

// Paints between BeginPaint and EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : m_window(window) { BeginPaint(window, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(m_window, &m_paint); }
    HDC dc() const { return m_paint.hdc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
};

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

void LinkHandler::Paint(HWND window) {
    PaintScope paint(window);
    HDC dc = paint.dc();
    RECT client;
    GetClientRect(window, &client);

    auto background = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    if (background)
        FillRect(dc, &client, background);
    else
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    LOGFONTA logFont = GetWindowLogFont(window);
    UniqueFont font(CreateFontIndirectA(&logFont));
    SelectedObject selectedFont(dc, font.get());

    UINT format = DrawFormat(GetWindowLongPtrA(window, GWL_STYLE));
    std::string text = WindowText(window);
    RECT measured = client;
    DrawTextA(dc, text.c_str(), -1, &measured, (format & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);

    DrawLinkText(dc, window, client, format, text);
    m_textRect = PlaceText(measured, client, format);
    if (IsWindowEnabled(window) && m_focused) DrawFocusFrame(dc, client, background);
}

void LinkHandler::DrawLinkText(HDC dc, HWND window, const RECT& client, UINT format, const std::string& text) {
    SetBkMode(dc, TRANSPARENT);
    RECT area = client;
    if (!IsWindowEnabled(window)) {
        // Engraved: a highlight one line's width down and right, the shadow on top.
        int offset = ScaledPixels(dc, 1);
        OffsetRect(&area, offset, offset);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), -1, &area, format);
        area = client;
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, m_hover ? m_hoverColor : m_visited ? m_visitedColor : m_normalColor);
    }
    DrawTextA(dc, text.c_str(), -1, &area, format);
}

void LinkHandler::DrawFocusFrame(HDC dc, const RECT& client, HBRUSH background) const {
    UniqueBitmap pattern(DottedPattern());
    UniqueBrush brush(CreatePatternBrush(pattern.get()));
    if (!brush) return;
    // A monochrome pattern paints its clear bits in the text colour and its
    // set bits in the background colour.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, BrushColor(background));
    RECT frame = {m_textRect.left, client.top, m_textRect.right, client.bottom};
    // As thick as the system's own lines at this DPI, one pixel per ring.
    for (int ring = ScaledPixels(dc, 1); ring > 0 && !IsRectEmpty(&frame); --ring) {
        FrameRect(dc, &frame, brush.get());
        InflateRect(&frame, -1, -1);
    }
}
