// What windows draw with: owners for GDI objects and device contexts, the
// window's font, shared icons, and colours derived from the system colours.
#pragma once

#include "foundation/Handle.h"
#include "foundation/Win.h"

// Owners for the GDI objects and device contexts the window code creates.
template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static Object Invalid() { return nullptr; }
    static void Close(Object object) { DeleteObject(object); }
};

using UniqueFont = UniqueOwner<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueOwner<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueOwner<GdiObjectTraits<HBITMAP>>;

// A device context from GetWindowDC or GetDC, released on destruction.
class WindowDeviceContext {
public:
    enum Area { WholeWindow, ClientArea };

    WindowDeviceContext(HWND window, Area area)
        : m_window(window), m_dc(area == WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    WindowDeviceContext(const WindowDeviceContext&) = delete;
    WindowDeviceContext& operator=(const WindowDeviceContext&) = delete;
    ~WindowDeviceContext() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Keeps an object selected into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The font a window draws with, for deriving fonts of its own: the
// window's font; else its parent's; else the stock DEFAULT_GUI_FONT.
HFONT GetWindowFont(HWND window);
LOGFONTA GetWindowLogFont(HWND window);

// A shared icon: the system keeps it, nobody destroys it.
HICON LoadIconShared(HINSTANCE instance, LPCSTR resourceName, int width, int height);

// The nearest colour the window's device context can show; the colour
// itself when there is no device context.
COLORREF NearestColor(COLORREF colour, HWND window);

// Colours derived from the system colours, and the HSL arithmetic behind them.
struct HslColor {
    double hue;         // 0 to 1, a full turn
    double saturation;  // 0 to 1
    double lightness;   // 0 to 1
};

HslColor RgbToHsl(COLORREF colour);
COLORREF HslToRgb(const HslColor& colour);

// Moves the saturation towards 1 (amount > 0) or towards 0 (amount < 0) by
// that fraction of the way.
double AdjustSaturation(double saturation, double amount);

// 60 % of the window colour and 40 % of the button face, two thirds less
// saturated: a quiet background for long texts.
COLORREF SoftenedMix(COLORREF windowColour, COLORREF faceColour);
COLORREF SoftBackgroundColor();
