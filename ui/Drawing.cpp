#include "ui/Drawing.h"

#include <algorithm>
#include <cmath>

namespace {

HFONT FontOf(HWND window) {
    return window ? reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)) : nullptr;
}

struct Rgb {
    double red, green, blue;
};

Rgb Components(COLORREF colour) {
    return {GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0};
}

BYTE ToByte(double component) {
    return static_cast<BYTE>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
}

double WrapHue(double hue) {
    return hue - std::floor(hue);
}

HslColor HslFromComponents(const Rgb& c) {
    double high = std::max({c.red, c.green, c.blue});
    double low = std::min({c.red, c.green, c.blue});
    double lightness = (high + low) / 2;
    double range = high - low;
    if (range == 0) return {0, 0, lightness};

    double saturation = lightness <= 0.5 ? range / (high + low) : range / (2 - high - low);
    double sixths;
    if (high == c.red)
        sixths = (c.green - c.blue) / range;
    else if (high == c.green)
        sixths = 2 + (c.blue - c.red) / range;
    else
        sixths = 4 + (c.red - c.green) / range;
    return {WrapHue(sixths / 6), saturation, lightness};
}

double HueToComponent(double low, double high, double hue) {
    hue = WrapHue(hue);
    if (hue < 1.0 / 6) return low + (high - low) * 6 * hue;
    if (hue < 1.0 / 2) return high;
    if (hue < 2.0 / 3) return low + (high - low) * (2.0 / 3 - hue) * 6;
    return low;
}

}  // namespace

HFONT GetWindowFont(HWND window) {
    if (HFONT font = FontOf(window)) return font;
    if (HFONT font = FontOf(GetParent(window))) return font;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LOGFONTA GetWindowLogFont(HWND window) {
    LOGFONTA font = {};
    GetObjectA(GetWindowFont(window), sizeof font, &font);
    return font;
}

HICON LoadIconShared(HINSTANCE instance, LPCSTR resourceName, int width, int height) {
    return static_cast<HICON>(LoadImageA(instance, resourceName, IMAGE_ICON, width, height, LR_SHARED));
}

COLORREF NearestColor(COLORREF colour, HWND window) {
    WindowDeviceContext dc(window, WindowDeviceContext::WholeWindow);
    if (!dc.get()) return colour;
    return GetNearestColor(dc.get(), colour);
}

HslColor RgbToHsl(COLORREF colour) {
    return HslFromComponents(Components(colour));
}

COLORREF HslToRgb(const HslColor& colour) {
    double l = colour.lightness;
    double s = colour.saturation;
    if (s == 0) return RGB(ToByte(l), ToByte(l), ToByte(l));
    double high = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    double low = 2 * l - high;
    return RGB(ToByte(HueToComponent(low, high, colour.hue + 1.0 / 3)), ToByte(HueToComponent(low, high, colour.hue)),
               ToByte(HueToComponent(low, high, colour.hue - 1.0 / 3)));
}

double AdjustSaturation(double saturation, double amount) {
    return amount > 0 ? saturation + amount * (1 - saturation) : saturation + amount * saturation;
}

COLORREF SoftenedMix(COLORREF windowColour, COLORREF faceColour) {
    Rgb w = Components(windowColour);
    Rgb f = Components(faceColour);
    Rgb mixed = {0.6 * w.red + 0.4 * f.red, 0.6 * w.green + 0.4 * f.green, 0.6 * w.blue + 0.4 * f.blue};
    HslColor hsl = HslFromComponents(mixed);
    hsl.saturation = AdjustSaturation(hsl.saturation, -0.66);
    return HslToRgb(hsl);
}

COLORREF SoftBackgroundColor() {
    return SoftenedMix(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE));
}
