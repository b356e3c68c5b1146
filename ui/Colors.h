// Colours derived from the system colours, and the HSL arithmetic behind them.
#pragma once

#include "foundation/Win.h"

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
