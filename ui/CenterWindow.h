// Places a window around a centre point inside the desktop work area.
#pragma once

#include "foundation/Win.h"

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
