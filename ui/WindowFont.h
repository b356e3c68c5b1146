// The font a window draws with, for deriving fonts of its own.
#pragma once

#include "foundation/Win.h"

// The window's font; else its parent's; else the stock DEFAULT_GUI_FONT.
HFONT GetWindowFont(HWND window);

LOGFONTA GetWindowLogFont(HWND window);
