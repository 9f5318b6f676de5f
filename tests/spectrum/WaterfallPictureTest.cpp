// The waterfall picture kept sweep by sweep must always equal a picture painted from scratch,
// and the painted pixels must follow the per-level colour rule for every kind of level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "views/spectrum/Palette.h"
#include "views/spectrum/WaterfallPicture.h"
#include "views/spectrum/WaterfallPixels.h"

namespace {

constexpr float kLow = -85.f;
constexpr float kHigh = -37.f;

// Levels from a fixed generator: noise across both thresholds.
class Levels {
  public:
    float next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return -100.f + static_cast<float>(seed_ >> 8) * (80.f / 16777216.f);
    }
    void append(BandSweepBuffers& band, int points) {
        std::vector<float> row(static_cast<size_t>(points));
        for (float& v : row)
            v = next();
        band.appendSweep(row.data(), points);
    }

  private:
    uint32_t seed_ = 99;
};

// The picture's rows compared with a from-scratch build of the same history.
void expectSameAsFreshBuild(const WaterfallPicture& picture, const BandSweepBuffers& band,
                            int shown, float low, float high, const Palette& palette) {
    std::vector<uint8_t> fresh(WaterfallPixels::kBufferBytes, 0);
    WaterfallPixels::Region region;
    ASSERT_TRUE(WaterfallPixels::build(band, shown, low, high, palette, fresh.data(), fresh.size(),
                                       region));
    ASSERT_EQ(picture.region().rows, region.rows);
    ASSERT_EQ(picture.region().columns, region.columns);
    const size_t bytes = static_cast<size_t>(region.rows) * region.columns * 4;
    EXPECT_EQ(std::memcmp(picture.data(), fresh.data(), bytes), 0);
}

// The colour rule, one level at a time.
uint32_t expectedPixel(float v, float low, float high, const Palette& palette) {
    if (!(v >= low))
        return 0;
    const PaletteColor& c =
        v >= high ? palette.at(255) : palette.at(WaterfallPixels::paletteIndex(v, low, high));
    const uint8_t bytes[4] = {c.r, c.g, c.b, 255};
    uint32_t pixel;
    std::memcpy(&pixel, bytes, 4);
    return pixel;
}

}  // namespace

TEST(WaterfallPicture, NewSweepsPaintOnlyTheirOwnRowsWhileFillingAndScrolling) {
    BandSweepBuffers band(256);
    const Palette palette = Palette::makeWaterfallRainbowPalette();
    Levels levels;
    WaterfallPicture picture;
    EXPECT_FALSE(picture.refresh(band, 255, kLow, kHigh, palette));
    levels.append(band, 256);
    ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));
    EXPECT_EQ(picture.paintedRows(), 1);
    // Filling: 498 more sweeps, several between some refreshes.
    for (int i = 0; i < 498;) {
        const int burst = 1 + i % 3;
        for (int b = 0; b < burst && i < 498; ++b, ++i)
            levels.append(band, 256);
        ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));
        ASSERT_EQ(picture.paintedRows(), burst) << "after " << i << " sweeps";
    }
    expectSameAsFreshBuild(picture, band, 255, kLow, kHigh, palette);
    // Scrolling: the history holds 510 sweeps, the picture the newest 500.
    for (int i = 0; i < 40; ++i) {
        levels.append(band, 256);
        if (i % 4 == 3)
            levels.append(band, 256);
        ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));
        ASSERT_LE(picture.paintedRows(), 2);
    }
    EXPECT_EQ(picture.region().rows, 500);
    expectSameAsFreshBuild(picture, band, 255, kLow, kHigh, palette);
}

TEST(WaterfallPicture, AnythingThatChangesTheLookRepaintsEveryRow) {
    BandSweepBuffers band(512);
    BandSweepBuffers other(512);
    Levels levels;
    for (int i = 0; i < 30; ++i) {
        levels.append(band, 512);
        levels.append(other, 512);
    }
    const Palette rainbow = Palette::makeWaterfallRainbowPalette();
    const Palette fire = Palette::forWaterfall(Palette::kFire);
    WaterfallPicture picture;
    ASSERT_TRUE(picture.refresh(band, 1000, kLow, kHigh, rainbow));
    EXPECT_EQ(picture.paintedRows(), 30);

    ASSERT_TRUE(picture.refresh(band, 1000, kLow, kHigh, rainbow));
    EXPECT_EQ(picture.paintedRows(), 0) << "nothing changed";

    ASSERT_TRUE(picture.refresh(band, 1000, kLow + 1.f, kHigh, rainbow));
    EXPECT_EQ(picture.paintedRows(), 30) << "new low threshold";
    expectSameAsFreshBuild(picture, band, 1000, kLow + 1.f, kHigh, rainbow);

    ASSERT_TRUE(picture.refresh(band, 1000, kLow + 1.f, kHigh - 2.f, rainbow));
    EXPECT_EQ(picture.paintedRows(), 30) << "new high threshold";

    ASSERT_TRUE(picture.refresh(band, 1000, kLow + 1.f, kHigh - 2.f, fire));
    EXPECT_EQ(picture.paintedRows(), 30) << "new palette";
    expectSameAsFreshBuild(picture, band, 1000, kLow + 1.f, kHigh - 2.f, fire);

    ASSERT_TRUE(picture.refresh(band, 300, kLow + 1.f, kHigh - 2.f, fire));
    EXPECT_EQ(picture.paintedRows(), 30) << "new shown point count";
    expectSameAsFreshBuild(picture, band, 300, kLow + 1.f, kHigh - 2.f, fire);

    ASSERT_TRUE(picture.refresh(other, 300, kLow + 1.f, kHigh - 2.f, fire));
    EXPECT_EQ(picture.paintedRows(), 30) << "the other band";
    expectSameAsFreshBuild(picture, other, 300, kLow + 1.f, kHigh - 2.f, fire);

    levels.append(other, 200);  // fewer points: another picture width
    ASSERT_TRUE(picture.refresh(other, 1000, kLow + 1.f, kHigh - 2.f, fire));
    EXPECT_EQ(picture.region().columns, 200);
    EXPECT_EQ(picture.paintedRows(), 31);
    expectSameAsFreshBuild(picture, other, 1000, kLow + 1.f, kHigh - 2.f, fire);
}

TEST(WaterfallPicture, ClearedOrShortenedHistoriesNeverReuseOldRows) {
    BandSweepBuffers band(256);
    const Palette palette = Palette::makeGreyPalette(256);
    Levels levels;
    for (int i = 0; i < 20; ++i)
        levels.append(band, 256);
    WaterfallPicture picture;
    ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));

    // A smaller limit drops several old sweeps at the next append.
    band.sweepLimit = 8;
    levels.append(band, 256);
    ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));
    EXPECT_EQ(picture.region().rows, 8);
    EXPECT_EQ(picture.paintedRows(), 1);
    expectSameAsFreshBuild(picture, band, 255, kLow, kHigh, palette);

    // After a clear the same number of sweeps must not pass for the old ones.
    band.clear();
    EXPECT_FALSE(picture.refresh(band, 255, kLow, kHigh, palette));
    for (int i = 0; i < 8; ++i)
        levels.append(band, 256);
    ASSERT_TRUE(picture.refresh(band, 255, kLow, kHigh, palette));
    EXPECT_EQ(picture.paintedRows(), 8);
    expectSameAsFreshBuild(picture, band, 255, kLow, kHigh, palette);

    // A band made where an old one was (the allocator usually hands out the same address)
    // numbers its sweeps afresh, so none of the old rows pass for its own.
    WaterfallPicture second;
    auto first = std::make_unique<BandSweepBuffers>(256);
    for (int i = 0; i < 5; ++i)
        levels.append(*first, 256);
    ASSERT_TRUE(second.refresh(*first, 255, kLow, kHigh, palette));
    first.reset();
    auto replacement = std::make_unique<BandSweepBuffers>(256);
    for (int i = 0; i < 5; ++i)
        levels.append(*replacement, 256);
    ASSERT_TRUE(second.refresh(*replacement, 255, kLow, kHigh, palette));
    EXPECT_EQ(second.paintedRows(), 5);
    expectSameAsFreshBuild(second, *replacement, 255, kLow, kHigh, palette);
}

// Restores the kernel the picture chose for this processor.
class RowKernelScope {
  public:
    RowKernelScope() : saved_(WaterfallPixels::rowKernel()) {}
    ~RowKernelScope() { WaterfallPixels::useRowKernel(saved_); }

  private:
    WaterfallPixels::RowKernel saved_;
};

TEST(WaterfallPixels, EveryKernelFollowsTheColourRuleAtEveryRowPosition) {
    // Odd widths put points in each vector body and in the tail; special levels sit everywhere.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> special = {
        kLow, kHigh,  std::nextafter(kLow, -inf), std::nextafter(kHigh, -inf), nan, inf, -inf,
        0.f,  -200.f, (kLow + kHigh) / 2};
    const Palette palette = Palette::makeWaterfallRainbowPalette();
    RowKernelScope restore;
    using Kernel = WaterfallPixels::RowKernel;
    int kernelsRun = 0;
    for (Kernel kernel : {Kernel::Scalar, Kernel::Sse2, Kernel::Avx512}) {
        if (!WaterfallPixels::useRowKernel(kernel))
            continue;  // not on this processor
        ++kernelsRun;
        Levels levels;
        for (int points : {1, 3, 4, 7, 13, 16, 17, 35, 256}) {
            BandSweepBuffers band(256);
            for (int s = 0; s < 6; ++s) {
                std::vector<float> row(static_cast<size_t>(points));
                for (size_t i = 0; i < row.size(); ++i)
                    row[i] = (i + static_cast<size_t>(s)) % 3 == 0
                                 ? special[(i * 7 + static_cast<size_t>(s)) % special.size()]
                                 : levels.next();
                band.appendSweep(row.data(), points);
            }
            for (auto [low, high] : {std::pair{kLow, kHigh}, std::pair{kHigh, kLow}}) {
                std::vector<uint8_t> pixels(WaterfallPixels::kBufferBytes, 0x5A);
                WaterfallPixels::Region region;
                ASSERT_TRUE(WaterfallPixels::build(band, points - 1, low, high, palette,
                                                   pixels.data(), pixels.size(), region));
                for (int r = 0; r < region.rows; ++r) {
                    const float* sweep = band.sweep(r);
                    for (int c = 0; c < region.columns; ++c) {
                        uint32_t pixel;
                        std::memcpy(&pixel, pixels.data() + (size_t(r) * region.columns + c) * 4,
                                    4);
                        ASSERT_EQ(pixel, expectedPixel(sweep[c], low, high, palette))
                            << "kernel " << static_cast<int>(kernel) << ", " << points
                            << " points, row " << r << ", column " << c << ", level " << sweep[c]
                            << ", thresholds " << low << ".." << high;
                    }
                }
            }
        }
    }
    EXPECT_GE(kernelsRun, 1);
}
