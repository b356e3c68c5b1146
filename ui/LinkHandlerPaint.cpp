// Painting of the hyperlink: the text in the state's colour, and the hot
// area that the mouse handling tests against.
#include "ui/LinkHandler.h"

#include "ui/GdiOwners.h"
#include "ui/WindowFont.h"
#include "ui/WindowQueries.h"

#include <algorithm>

namespace {

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
