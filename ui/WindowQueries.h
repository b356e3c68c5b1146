// Small lookups about windows and their display.
#pragma once

#include "foundation/Win.h"

// A shared icon: the system keeps it, nobody destroys it.
HICON LoadIconShared(HINSTANCE instance, LPCSTR resourceName, int width, int height);

// Width and height of the window rectangle; false when it cannot be read.
bool WindowSize(HWND window, SIZE& size);

// The nearest colour the window's device context can show; the colour
// itself when there is no device context.
COLORREF NearestColor(COLORREF colour, HWND window);

// A length of the 96 DPI design in pixels at the DPI the device context
// draws at: lines, offsets and paddings that dialog units do not cover.
int ScaledPixels(HDC dc, int pixels);
int ScaledPixels(HWND window, int pixels);

// Border and caption sizes of the current desktop theme; zeros when the
// system cannot tell.
NONCLIENTMETRICSA NonClientMetrics();
