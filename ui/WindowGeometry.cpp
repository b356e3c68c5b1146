#include "ui/WindowGeometry.h"

#include "ui/Drawing.h"

#include <algorithm>
#include <cstddef>

namespace {

// MapDialogRect rounds each coordinate on its own; a rectangle from the
// origin makes the mapped right and bottom edges the measures themselves.
RECT MapMeasure(HWND dialog, int units) {
    RECT rect = {0, 0, units, units};
    MapDialogRect(dialog, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) {
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

bool OwnerCentre(HWND owner, POINT& centre) {
    RECT rect;
    if (IsZoomed(owner)) {
        if (!GetWindowRect(owner, &rect)) return false;
    } else {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(owner, &placement)) return false;
        rect = placement.rcNormalPosition;
    }
    centre = CentreOf(rect);
    return true;
}

bool CentrePoint(HWND window, int mode, const RECT& workArea, POINT& centre) {
    if (mode >= 2 && mode <= 4) {
        HWND owner = GetParent(window);
        bool ownerUsable = owner && (mode == 2 || (IsWindowVisible(owner) && !IsIconic(owner)));
        if (ownerUsable) return OwnerCentre(owner, centre);
        mode = mode == 4 ? 1 : 0;
    }
    if (mode == 1) return GetCursorPos(&centre) != FALSE;
    centre = CentreOf(workArea);
    return true;
}

// Left of or above the work area is never allowed; beyond its right or
// bottom edge only as far as the other edge permits.
LONG Place(LONG start, LONG size, LONG low, LONG high) {
    start = std::max(start, low);
    if (start + size > high) start = std::max(low, high - size);
    return start;
}

}  // namespace

int DialogUnitsToPixelsX(HWND dialog, int units) {
    return units == 0 ? 0 : MapMeasure(dialog, units).right;
}

int DialogUnitsToPixelsY(HWND dialog, int units) {
    return units == 0 ? 0 : MapMeasure(dialog, units).bottom;
}

int ScaledPixels(HDC dc, int pixels) {
    constexpr int designDpi = 96;
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return dpi > 0 ? MulDiv(pixels, dpi, designDpi) : pixels;
}

int ScaledPixels(HWND window, int pixels) {
    WindowDeviceContext dc(window, WindowDeviceContext::ClientArea);
    return ScaledPixels(dc.get(), pixels);
}

NONCLIENTMETRICSA NonClientMetrics() {
    NONCLIENTMETRICSA metrics = {};
    // The size before Windows Vista added a field; every version accepts it.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        metrics = {};
    }
    return metrics;
}

bool WindowSize(HWND window, SIZE& size) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    size = {rect.right - rect.left, rect.bottom - rect.top};
    return true;
}

bool CenterWindow(HWND window, int mode) {
    RECT workArea;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) return false;
    POINT centre;
    if (!CentrePoint(window, mode, workArea, centre)) return false;
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;

    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    LONG x = Place(centre.x - width / 2, width, workArea.left, workArea.right);
    LONG y = Place(centre.y - height / 2, height, workArea.top, workArea.bottom);
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}
