#include "ui/WindowQueries.h"

#include "ui/GdiOwners.h"

#include <cstddef>

HICON LoadIconShared(HINSTANCE instance, LPCSTR resourceName, int width, int height) {
    return static_cast<HICON>(LoadImageA(instance, resourceName, IMAGE_ICON, width, height, LR_SHARED));
}

bool WindowSize(HWND window, SIZE& size) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    size = {rect.right - rect.left, rect.bottom - rect.top};
    return true;
}

COLORREF NearestColor(COLORREF colour, HWND window) {
    WindowDeviceContext dc(window, WindowDeviceContext::WholeWindow);
    if (!dc.get()) return colour;
    return GetNearestColor(dc.get(), colour);
}

int ScaledPixels(HDC dc, int pixels) {
    constexpr int DesignDpi = 96;
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return dpi > 0 ? MulDiv(pixels, dpi, DesignDpi) : pixels;
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
