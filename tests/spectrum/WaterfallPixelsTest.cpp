// The waterfall picture from known histories: row order, the shown rows, threshold edges and
// points beyond the shown count.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "views/spectrum/Palette.h"
#include "views/spectrum/WaterfallPixels.h"

namespace {

constexpr float kLow = -85.f;
constexpr float kHigh = -37.f;

struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(WaterfallPixels::kBufferBytes, 0x77);
    WaterfallPixels::Region region;
    Palette palette = Palette::makeGreyPalette(256);

    bool build(const BandSweepBuffers& band, int shown = 1000) {
        return WaterfallPixels::build(band, shown, kLow, kHigh, palette, pixels.data(),
                                      pixels.size(), region);
    }
    const uint8_t* at(int column, int row) const {
        return pixels.data() + (static_cast<size_t>(row) * region.columns + column) * 4;
    }
};

void append(BandSweepBuffers& band, float level, int points) {
    std::vector<float> row(static_cast<size_t>(points), level);
    band.appendSweep(row.data(), points);
}

}  // namespace

TEST(WaterfallPixels, EmptyHistoryBuildsNothing) {
    BandSweepBuffers band(256);
    Picture p;
    EXPECT_FALSE(p.build(band));
    EXPECT_EQ(p.pixels[0], 0x77);
}

TEST(WaterfallPixels, FewSweepsFillRowsOldestFirst) {
    BandSweepBuffers band(256);
    append(band, -80, 100);
    append(band, -60, 100);
    append(band, -40, 100);
    Picture p;
    ASSERT_TRUE(p.build(band));
    EXPECT_EQ(p.region.columns, 100);
    EXPECT_EQ(p.region.rows, 3);
    EXPECT_LT(p.at(0, 0)[0], p.at(0, 1)[0]);
    EXPECT_LT(p.at(0, 1)[0], p.at(0, 2)[0]);
    EXPECT_EQ(p.at(0, 0)[0], p.palette.at(WaterfallPixels::paletteIndex(-80, kLow, kHigh)).r);
    EXPECT_EQ(p.at(99, 2)[3], 255);
}

TEST(WaterfallPixels, AtMostFiveHundredNewestRows) {
    BandSweepBuffers band(256);
    for (int i = 0; i < 510; ++i)
        append(band, i < 10 ? -40.f : -84.f, 4);
    Picture p;
    ASSERT_TRUE(p.build(band));
    EXPECT_EQ(p.region.rows, 500);
    // The ten loud sweeps are the oldest kept and fall off the picture.
    EXPECT_EQ(p.at(0, 0)[0], p.palette.at(WaterfallPixels::paletteIndex(-84, kLow, kHigh)).r);
}

TEST(WaterfallPixels, ThresholdEdges) {
    BandSweepBuffers band(256);
    const float below = std::nextafter(kLow, -1000.f);
    std::vector<float> row = {kHigh, kLow, below, -10.f, NAN, (kLow + kHigh) / 2};
    band.appendSweep(row.data(), static_cast<int>(row.size()));
    Picture p;
    p.palette = Palette::makeFirePalette(256);
    ASSERT_TRUE(p.build(band));
    EXPECT_EQ(p.at(0, 0)[0], p.palette.last().r);
    EXPECT_EQ(p.at(0, 0)[2], p.palette.last().b);  // white: the last colour, not a near one
    EXPECT_EQ(p.at(1, 0)[0], p.palette.at(0).r);   // at the low threshold: first colour
    EXPECT_EQ(p.at(1, 0)[3], 255);
    EXPECT_EQ(p.at(2, 0)[3], 0);  // just below: transparent
    EXPECT_EQ(p.at(3, 0)[2], p.palette.last().b);
    EXPECT_EQ(p.at(4, 0)[3], 0);  // not a number
    EXPECT_EQ(WaterfallPixels::paletteIndex((kLow + kHigh) / 2, kLow, kHigh), 127);
}

TEST(WaterfallPixels, PointsBeyondTheShownCountAreTransparent) {
    BandSweepBuffers band(256);
    append(band, -50, 10);
    Picture p;
    ASSERT_TRUE(p.build(band, 5));
    EXPECT_EQ(p.at(5, 0)[3], 255);  // only points above the shown count go
    EXPECT_EQ(p.at(6, 0)[3], 0);
    EXPECT_EQ(p.at(9, 0)[3], 0);
}

TEST(WaterfallPixels, PictureLargerThanTheBufferIsRefused) {
    BandSweepBuffers band(512);
    append(band, -50, 512);
    std::vector<uint8_t> small(512 * 4 - 4, 0x11);
    WaterfallPixels::Region region;
    EXPECT_FALSE(WaterfallPixels::build(band, 1000, kLow, kHigh, Palette::makeGreyPalette(256),
                                        small.data(), small.size(), region));
    EXPECT_EQ(small[0], 0x11);
}

// The sweep history is a ring: after it wrapped, the picture is the one a history holding the
// same sweeps from its first row on paints, pixel for pixel.
TEST(WaterfallPixels, AWrappedHistoryPaintsAsAStraightOne) {
    BandSweepBuffers wrapped(256);
    BandSweepBuffers straight(256);
    std::vector<std::vector<float>> sweeps;
    for (int s = 0; s < 1300; ++s) {
        std::vector<float> row(200);
        for (size_t i = 0; i < row.size(); ++i) {
            row[i] = -95.f + static_cast<float>((static_cast<size_t>(s) * 11 + i * 5) % 67);
        }
        wrapped.appendSweep(row.data(), 200);
        sweeps.push_back(std::move(row));
    }
    for (size_t s = sweeps.size() - static_cast<size_t>(straight.sweepLimit); s < sweeps.size();
         ++s) {
        straight.appendSweep(sweeps[s].data(), 200);
    }
    Picture a;
    Picture b;
    ASSERT_TRUE(a.build(wrapped, 150));
    ASSERT_TRUE(b.build(straight, 150));
    EXPECT_EQ(a.region.rows, WaterfallPixels::kMaxRows);
    EXPECT_EQ(a.region.columns, b.region.columns);
    EXPECT_EQ(a.pixels, b.pixels);
}
