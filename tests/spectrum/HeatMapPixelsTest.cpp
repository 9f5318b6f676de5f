// Heat-map pictures from known hit-count grids: the crisp alpha steps, the cumulative column
// sums and their 16-bit wrap, the palette index rule and the empty grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "views/spectrum/HeatMapPixels.h"
#include "views/spectrum/Palette.h"

namespace {

struct Buffers {
    std::vector<uint8_t> smooth = std::vector<uint8_t>(HeatMapPixels::kBufferBytes, 0xAB);
    std::vector<uint8_t> crisp = std::vector<uint8_t>(HeatMapPixels::kBufferBytes, 0xCD);
    std::vector<uint16_t> sums;

    HeatMapPixels::Result build(HeatMap& grid, int colorMap = 4) {
        return HeatMapPixels::build(grid, colorMap, smooth.data(), crisp.data(),
                                    HeatMapPixels::kBufferBytes, sums);
    }
    const uint8_t* smoothAt(const HeatMap& g, int column, int row) const {
        return smooth.data() + (static_cast<size_t>(row) * g.columns + column) * 4;
    }
    const uint8_t* crispAt(const HeatMap& g, int column, int row) const {
        return crisp.data() + (static_cast<size_t>(row) * g.columns + column) * 4;
    }
};

HeatMap grid(int columns, int rows) {
    HeatMap g;
    g.columns = columns;
    g.rows = rows;
    g.counts.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
    return g;
}

uint16_t& cell(HeatMap& g, int column, int row) {
    return g.counts[static_cast<size_t>(row) * g.columns + column];
}

}  // namespace

TEST(HeatMapPixels, CrispAlphaSteps) {
    EXPECT_EQ(HeatMapPixels::crispAlpha(0), 0);
    EXPECT_EQ(HeatMapPixels::crispAlpha(1), 89);  // 35 %
    EXPECT_EQ(HeatMapPixels::crispAlpha(2), 97);
    EXPECT_EQ(HeatMapPixels::crispAlpha(19), 246);
    EXPECT_EQ(HeatMapPixels::crispAlpha(20), 255);
    EXPECT_EQ(HeatMapPixels::crispAlpha(65535), 255);
}

TEST(HeatMapPixels, ColumnsBecomeRunningSumsFromTheTopWithWrap) {
    HeatMap g = grid(2, 3);
    cell(g, 0, 2) = 65535;
    cell(g, 0, 1) = 0;
    cell(g, 0, 0) = 2;
    cell(g, 1, 2) = 1;
    cell(g, 1, 1) = 2;
    cell(g, 1, 0) = 3;
    std::vector<uint16_t> sums(6, 0x5555);
    HeatMapPixels::accumulateColumns(g.counts.data(), 2, 3, sums.data());
    // Index row × columns + column.
    EXPECT_EQ(sums[4], 65535);
    EXPECT_EQ(sums[2], 65535);
    EXPECT_EQ(sums[0], 1);  // 65535 + 2 wraps
    EXPECT_EQ(sums[5], 1);
    EXPECT_EQ(sums[3], 3);
    EXPECT_EQ(sums[1], 6);
}

TEST(HeatMapPixels, KnownGridColoursAndAlphas) {
    // 40 rows: palette of 40 entries, index step (40 - 1) div 19 = 2.
    HeatMap g = grid(3, 40);
    cell(g, 0, 39) = 1;  // one hit at the top: every row below sums to 1
    cell(g, 1, 10) = 5;  // five hits at row 10
    cell(g, 2, 0) = 25;  // saturated
    Buffers b;
    ASSERT_EQ(b.build(g), HeatMapPixels::Result::kBuilt);
    const Palette grey = Palette::makeGreyPalette(40);

    // Column 0: crisp alpha from the raw hits, colours from the sums.
    EXPECT_EQ(b.crispAt(g, 0, 39)[3], 89);
    EXPECT_EQ(b.crispAt(g, 0, 0)[3], 0);
    EXPECT_EQ(b.crispAt(g, 0, 0)[0], grey.at(0).r);
    EXPECT_EQ(b.smoothAt(g, 0, 0)[3], HeatMapPixels::kSmoothAlpha);
    EXPECT_EQ(b.smoothAt(g, 0, 20)[0], grey.at(0).r);

    // Column 1: above row 10 nothing; at and below it the sum 5 gives index 2 × 4 = 8.
    const uint8_t* empty = b.smoothAt(g, 1, 11);
    EXPECT_EQ(empty[0] | empty[1] | empty[2] | empty[3], 0);
    EXPECT_EQ(b.crispAt(g, 1, 11)[0], 0);
    EXPECT_EQ(b.smoothAt(g, 1, 10)[0], grey.at(8).r);
    EXPECT_EQ(b.smoothAt(g, 1, 3)[0], grey.at(8).r);
    EXPECT_EQ(b.crispAt(g, 1, 10)[3], HeatMapPixels::crispAlpha(5));
    EXPECT_EQ(b.crispAt(g, 1, 3)[3], 0);

    // Column 2: 25 hits take the last colour, crisp fully opaque.
    EXPECT_EQ(b.smoothAt(g, 2, 0)[0], grey.last().r);
    EXPECT_EQ(b.crispAt(g, 2, 0)[3], 255);
    EXPECT_EQ(b.smoothAt(g, 2, 0)[3], HeatMapPixels::kSmoothAlpha);

    // The model keeps raw hits: the link adds and removes sweeps in it incrementally.
    EXPECT_EQ(cell(g, 0, 0), 0);
    EXPECT_EQ(cell(g, 1, 0), 0);
    EXPECT_EQ(cell(g, 1, 10), 5);
}

TEST(HeatMapPixels, PaletteIndexRuleAndColourMap) {
    // 256 rows: step 13; a sum of 19 reaches index 13 × 18 = 234.
    HeatMap g = grid(1, 256);
    cell(g, 0, 255) = 19;
    Buffers b;
    ASSERT_EQ(b.build(g, 1), HeatMapPixels::Result::kBuilt);
    const Palette fire = Palette::makeFirePalette(256);
    const uint8_t* p = b.smoothAt(g, 0, 0);
    EXPECT_EQ(p[0], fire.at(234).r);
    EXPECT_EQ(p[1], fire.at(234).g);
    EXPECT_EQ(p[2], fire.at(234).b);
}

TEST(HeatMapPixels, RebuildingTheSameGridGivesTheSamePicture) {
    // A grid marked dirty again without new hits (a window resize) must not be summed twice,
    // whatever its cumulative flag says.
    HeatMap g = grid(1, 4);
    cell(g, 0, 3) = 2;
    cell(g, 0, 0) = 2;
    Buffers b;
    ASSERT_EQ(b.build(g), HeatMapPixels::Result::kBuilt);
    const std::vector<uint8_t> first(b.smooth.begin(), b.smooth.begin() + 16);
    g.cumulative = true;
    ASSERT_EQ(b.build(g), HeatMapPixels::Result::kBuilt);
    EXPECT_FALSE(g.cumulative);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), b.smooth.begin()));
    // Row 1 has no hits of its own but sits below the top row's two.
    EXPECT_EQ(b.smoothAt(g, 0, 1)[3], HeatMapPixels::kSmoothAlpha);
    EXPECT_EQ(b.crispAt(g, 0, 1)[3], 0);
}

TEST(HeatMapPixels, EmptyGridClearsBothBuffers) {
    HeatMap g = grid(0, 256);
    Buffers b;
    ASSERT_EQ(b.build(g), HeatMapPixels::Result::kCleared);
    for (size_t i = 0; i < HeatMapPixels::kBufferBytes; i += 4099) {
        ASSERT_EQ(b.smooth[i], 0);
        ASSERT_EQ(b.crisp[i], 0);
    }
    EXPECT_EQ(b.smooth.back(), 0);
    EXPECT_EQ(b.crisp.back(), 0);
}

TEST(HeatMapPixels, GridsThatDoNotFitAreIgnored) {
    HeatMap big = grid(513, 256);
    Buffers b;
    EXPECT_EQ(b.build(big), HeatMapPixels::Result::kTooLarge);
    EXPECT_EQ(b.smooth[0], 0xAB);
    EXPECT_EQ(b.crisp[0], 0xCD);
    // Few enough cells for the buffers, but taller than the textures.
    HeatMap tall = grid(256, 300);
    EXPECT_EQ(b.build(tall), HeatMapPixels::Result::kTooLarge);
    EXPECT_EQ(b.smooth[0], 0xAB);
    // A grid whose counts are shorter than its stated size is never read past its end.
    HeatMap lying = grid(4, 4);
    lying.rows = 8;
    EXPECT_EQ(b.build(lying), HeatMapPixels::Result::kTooLarge);
    EXPECT_EQ(b.smooth[0], 0xAB);
}

TEST(HeatMapPixels, BothPicturesAreEmptyAboveTheHighestRowWithHits) {
    HeatMap g = grid(6, 5);
    EXPECT_EQ(HeatMapPixels::highestRowWithHits(g), -1);
    g.counts[static_cast<size_t>(1) * 6 + 2] = 1;
    g.counts[static_cast<size_t>(3) * 6 + 5] = 7;  // the last column of row 3
    EXPECT_EQ(HeatMapPixels::highestRowWithHits(g), 3);
    Buffers b;
    ASSERT_EQ(b.build(g), HeatMapPixels::Result::kBuilt);
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(b.smoothAt(g, column, 4)[3], 0);
        EXPECT_EQ(b.crispAt(g, column, 4)[3], 0);
    }
    EXPECT_GT(b.smoothAt(g, 5, 3)[3], 0);
    // Counts shorter than the stated size are not read.
    g.counts.resize(10);
    EXPECT_EQ(HeatMapPixels::highestRowWithHits(g), -1);
}
