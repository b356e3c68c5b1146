// Where windows go and how large things are on this display: dialog units,
// lengths of the 96 DPI design, the theme's border and caption sizes, and
// centring a window inside the work area.
#pragma once

#include "foundation/Win.h"

// Conversion of one dialog-unit measure into pixels of a given dialog.
int DialogUnitsToPixelsX(HWND dialog, int units);
int DialogUnitsToPixelsY(HWND dialog, int units);

// A length of the 96 DPI design in pixels at the DPI the device context
// draws at: lines, offsets and paddings that dialog units do not cover.
int ScaledPixels(HDC dc, int pixels);
int ScaledPixels(HWND window, int pixels);

// Border and caption sizes of the current desktop theme; zeros when the
// system cannot tell.
NONCLIENTMETRICSA NonClientMetrics();

// Width and height of the window rectangle; false when it cannot be read.
bool WindowSize(HWND window, SIZE& size);

// Places a window around a centre point inside the desktop work area.
// Centre point by mode:
//   0 the work area's centre;
//   1 the mouse cursor;
//   2 the owner's restored rectangle (its actual one while maximised);
//   3 as 2 while the owner is shown and not minimised, else as 0;
//   4 as 2 while the owner is shown and not minimised, else as 1.
// A window without owner falls back to 0 (mode 4: to 1). The window is kept
// inside the work area, its left and top edges first. Returns false, and
// leaves the window where it is, when a system call fails.
bool CenterWindow(HWND window, int mode);
