#include "ui/Colors.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void ExpectNear(COLORREF expected, COLORREF actual) {
    EXPECT_LE(std::abs(GetRValue(expected) - GetRValue(actual)), 1) << std::hex << actual;
    EXPECT_LE(std::abs(GetGValue(expected) - GetGValue(actual)), 1) << std::hex << actual;
    EXPECT_LE(std::abs(GetBValue(expected) - GetBValue(actual)), 1) << std::hex << actual;
}

TEST(Colors, RgbToHslFindsHueSaturationAndLightness) {
    struct Case {
        COLORREF colour;
        HslColor hsl;
    } const cases[] = {
        {RGB(255, 0, 0), {0.0, 1.0, 0.5}},
        {RGB(0, 255, 0), {1.0 / 3, 1.0, 0.5}},
        {RGB(0, 0, 255), {2.0 / 3, 1.0, 0.5}},
        {RGB(255, 0, 255), {5.0 / 6, 1.0, 0.5}},            // hue wraps below 0
        {RGB(128, 128, 128), {0.0, 0.0, 128 / 255.0}},
        {RGB(255, 191, 191), {0.0, 1.0, (255 + 191) / 510.0}},   // lightness above one half
        {RGB(64, 32, 0), {1.0 / 12, 1.0, 32 / 255.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        HslColor hsl = RgbToHsl(c.colour);
        EXPECT_NEAR(c.hsl.hue, hsl.hue, 1e-9);
        EXPECT_NEAR(c.hsl.saturation, hsl.saturation, 1e-9);
        EXPECT_NEAR(c.hsl.lightness, hsl.lightness, 1e-9);
    }
}

TEST(Colors, HslRoundTripGivesTheColourBack) {
    for (COLORREF colour : {RGB(12, 200, 77), RGB(240, 240, 240), RGB(255, 255, 225), RGB(10, 36, 106),
                            RGB(212, 208, 200), RGB(255, 0, 128), RGB(0, 0, 0), RGB(255, 255, 255)}) {
        ExpectNear(colour, HslToRgb(RgbToHsl(colour)));
    }
}

TEST(Colors, SaturationMovesTowardsOneOrZeroByTheAmount) {
    EXPECT_DOUBLE_EQ(0.75, AdjustSaturation(0.5, 0.5));
    EXPECT_DOUBLE_EQ(0.17, AdjustSaturation(0.5, -0.66));
    EXPECT_DOUBLE_EQ(0.0, AdjustSaturation(0.0, -0.66));
    EXPECT_DOUBLE_EQ(1.0, AdjustSaturation(1.0, 0.3));
}

TEST(Colors, SoftenedMixWeighsWindowAndFaceAndTakesTwoThirdsOfTheSaturation) {
    struct Case {
        const char* name;
        COLORREF window;
        COLORREF face;
        COLORREF expected;
    } const cases[] = {
        {"greys stay grey", RGB(255, 255, 255), RGB(240, 240, 240), RGB(249, 249, 249)},
        {"pure red", RGB(255, 0, 0), RGB(255, 0, 0), RGB(171, 84, 84)},
        // mix (153, 102, 204): hue 3/4, lightness 0.6, saturation 0.5 -> 0.17
        {"purple mixed from blue and red", RGB(170, 170, 255), RGB(127, 0, 127), RGB(153, 136, 170)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectNear(c.expected, SoftenedMix(c.window, c.face));
    }
}

} // namespace
