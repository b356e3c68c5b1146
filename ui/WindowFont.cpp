#include "ui/WindowFont.h"

namespace {

HFONT FontOf(HWND window) {
    return window ? reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)) : nullptr;
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
