// Conversion of one dialog-unit measure into pixels of a given dialog.
#pragma once

#include "foundation/Win.h"

int DialogUnitsToPixelsX(HWND dialog, int units);
int DialogUnitsToPixelsY(HWND dialog, int units);
