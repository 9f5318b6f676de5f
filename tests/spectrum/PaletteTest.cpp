// Colour maps of the heat map and the waterfall: the standard HSV conversion and each builder's
// end points.
#include <gtest/gtest.h>

#include "views/spectrum/Palette.h"

namespace {

PaletteColor rgb(int r, int g, int b) {
    return PaletteColor{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

void expectColour(const PaletteColor& actual, const PaletteColor& expected) {
    EXPECT_EQ(int(actual.r), int(expected.r));
    EXPECT_EQ(int(actual.g), int(expected.g));
    EXPECT_EQ(int(actual.b), int(expected.b));
}

}  // namespace

TEST(HsvToRgb, SectorsAndTruncation) {
    expectColour(Palette::hsvToRgb(0, 1, 1), rgb(255, 0, 0));
    expectColour(Palette::hsvToRgb(60, 1, 1), rgb(255, 255, 0));
    expectColour(Palette::hsvToRgb(120, 1, 1), rgb(0, 255, 0));
    expectColour(Palette::hsvToRgb(180, 1, 1), rgb(0, 255, 255));
    expectColour(Palette::hsvToRgb(240, 1, 1), rgb(0, 0, 255));
    expectColour(Palette::hsvToRgb(300, 1, 1), rgb(255, 0, 255));
    // 30°: X = 0.5, truncated: 127.
    expectColour(Palette::hsvToRgb(30, 1, 1), rgb(255, 127, 0));
    // Half value: every channel truncates 127.5 down.
    expectColour(Palette::hsvToRgb(120, 1, 0.5f), rgb(0, 127, 0));
    // Desaturated: m lifts every channel.
    expectColour(Palette::hsvToRgb(0, 0.5f, 1), rgb(255, 127, 127));
    // 360 is taken as 359.99, still red; outside the six sectors only m remains.
    expectColour(Palette::hsvToRgb(360, 1, 1), rgb(255, 0, 0));
    expectColour(Palette::hsvToRgb(-10, 1, 1), rgb(0, 0, 0));
    expectColour(Palette::hsvToRgb(400, 0.5f, 1), rgb(127, 127, 127));
}

TEST(Palettes, EndPointsOfEveryBuilder) {
    const int n = 256;
    struct Case {
        Palette palette;
        PaletteColor first;
        PaletteColor last;
    } cases[] = {
        {Palette::makeRainbowPalette(n), rgb(255, 0, 255), rgb(255, 0, 0)},
        {Palette::makeFirePalette(n), rgb(85, 0, 0), rgb(255, 255, 255)},
        {Palette::makeXrayPalette(n), rgb(86, 93, 84), rgb(174, 246, 235)},
        {Palette::makeGreenPalette(n), rgb(0, 50, 0), rgb(0, 255, 0)},
        {Palette::makeGreyPalette(n), rgb(0, 0, 0), rgb(255, 255, 255)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.palette.count(), n);
        expectColour(c.palette.at(0), c.first);
        expectColour(c.palette.last(), c.last);
    }
}

TEST(Palettes, FireRampsThroughRedYellowWhite) {
    const Palette fire = Palette::makeFirePalette(256);
    // u = 85: the end of the dark-red ramp; u = 170: full yellow; u = 128: half green.
    expectColour(fire.at(85), rgb(255, 0, 0));
    expectColour(fire.at(170), rgb(255, 255, 0));
    expectColour(fire.at(128), rgb(255, 129, 0));
}

TEST(Palettes, ByteRampOfASmallPalette) {
    // n = 3: u = 0, 127, 255.
    const Palette grey = Palette::makeGreyPalette(3);
    ASSERT_EQ(grey.count(), 3);
    expectColour(grey.at(1), rgb(127, 127, 127));
    // A one-entry palette must not divide by zero; it sits at the low end.
    expectColour(Palette::makeGreyPalette(1).at(0), rgb(0, 0, 0));
    EXPECT_EQ(Palette::makeRainbowPalette(0).count(), 0);
}

TEST(Palettes, WaterfallRainbowBendsTheHue) {
    const Palette p = Palette::makeWaterfallRainbowPalette();
    ASSERT_EQ(p.count(), 256);
    // Entry 0: hue just above 255° (blue towards magenta); entry 255: hue 0, red.
    expectColour(p.at(0), rgb(63, 0, 255));
    expectColour(p.last(), rgb(255, 0, 0));
}

TEST(Palettes, ColourMapNumbers) {
    expectColour(Palette::forColorMap(1, 10).last(), rgb(255, 255, 255));
    expectColour(Palette::forColorMap(3, 10).at(0), rgb(0, 50, 0));
    // Unknown numbers are grey, also for the waterfall.
    expectColour(Palette::forColorMap(9, 10).at(0), rgb(0, 0, 0));
    expectColour(Palette::forWaterfall(-1).at(255), rgb(255, 255, 255));
    expectColour(Palette::forWaterfall(0).at(0), rgb(63, 0, 255));
    EXPECT_EQ(Palette::forWaterfall(2).count(), 256);
}
