#include "views/spectrum/GridLayer.h"

#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

// Content 404 x 324 makes the plotting span 400 x 320: minor lines every 8 units and major lines
// every 40, all on whole pixels from (2, 2).
constexpr int kX = 100;
constexpr int kY = 100;
constexpr int kW = 404;
constexpr int kH = 324;

const Rgb kFrame{128, 128, 128};
const Rgb kMajor{38, 38, 38};
const Rgb kMinor{26, 26, 26};
const Rgb kBlack{0, 0, 0};

class GridLayerTest : public AppGlTest {
  protected:
    GridLayer* addGrid(uint32_t mask) {
        GridLayer* grid = GridLayer::create();
        grid->setPosition(kX, kY);
        grid->setContentSize(engine::Size(kW, kH));
        grid->rebuildGrid();
        grid->applyGraticule(mask);
        scene->addChild(grid);
        return grid;
    }
    // Pixel at layer coordinates.
    Rgb at(const engine::Image& image, int x, int y) { return pixelAt(image, kX + x, kY + y); }
};

TEST_F(GridLayerTest, MaskZeroLeavesOnlyTheFrame) {
    addGrid(0);
    engine::Image image = renderFrame();
    // The frame runs through (2, 2) and (W-2, H-2).
    EXPECT_TRUE(at(image, 2, 150).near(kFrame)) << at(image, 2, 150);
    EXPECT_TRUE(at(image, kW - 2, 150).near(kFrame));
    EXPECT_TRUE(at(image, 200, 2).near(kFrame));
    EXPECT_TRUE(at(image, 200, kH - 2).near(kFrame));
    // Nothing inside it, not even the crosshair.
    EXPECT_EQ(countLit(image, kX + 4, kY + 4, kX + kW - 4, kY + kH - 4), 0);
}

TEST_F(GridLayerTest, FullMaskDrawsLinesTicksAndCrosshairInOrder) {
    addGrid(31);
    engine::Image image = renderFrame();
    // Minor lines every 8 units, major lines every 40 drawn over them.
    EXPECT_TRUE(at(image, 2 + 8 * 3, 150).near(kMinor)) << at(image, 26, 150);
    EXPECT_TRUE(at(image, 150, 2 + 8 * 3).near(kMinor));
    EXPECT_TRUE(at(image, 2 + 40 * 3, 150).near(kMajor)) << at(image, 122, 150);
    EXPECT_TRUE(at(image, 150, 2 + 40 * 3).near(kMajor));
    // Crosshair at half the width.
    EXPECT_TRUE(at(image, kW / 2, 150).near(kFrame));
    // Major ticks (4 units) point into the plot from the left edge; minor ticks reach only 2.
    EXPECT_TRUE(at(image, 5, 2 + 40).near(kFrame));
    EXPECT_TRUE(at(image, 5, 2 + 8).near(kMinor)) << at(image, 5, 10);
    EXPECT_TRUE(at(image, 3, 2 + 8).near(kFrame));
    // The middle of the vertical axis carries ticks on both sides.
    EXPECT_TRUE(at(image, kW / 2 - 3, 2 + 40).near(kFrame));
    EXPECT_TRUE(at(image, kW / 2 + 2, 2 + 40).near(kFrame));
    // The middle of the horizontal axis carries none: only the grid line crosses there.
    EXPECT_TRUE(at(image, 2 + 40 * 3, kH / 2 + 3).near(kMajor)) << at(image, 122, kH / 2 + 3);
    // Bottom ticks point up, top ticks point down.
    EXPECT_TRUE(at(image, 2 + 40 * 3, 5).near(kFrame));
    EXPECT_TRUE(at(image, 2 + 40 * 3, kH - 6).near(kFrame));
}

TEST_F(GridLayerTest, CrosshairOnlyDrawsOneVerticalLine) {
    addGrid(1);
    engine::Image image = renderFrame();
    EXPECT_TRUE(at(image, kW / 2, 100).near(kFrame));
    // Everything inside the frame apart from the two crosshair columns is black.
    const int lit = countLit(image, kX + 4, kY + 4, kX + kW - 4, kY + kH - 4);
    EXPECT_EQ(lit, 2 * (kH - 8));
    EXPECT_EQ(at(image, kW / 2 - 3, 100), kBlack);
    EXPECT_TRUE(at(image, kW / 2, kH / 2 + 5).near(kFrame));  // no horizontal centre line
    EXPECT_EQ(at(image, kW / 2 + 20, kH / 2), kBlack);
}

TEST_F(GridLayerTest, ChangedSwitchesRebuildOncePerSwitch) {
    GridLayer* grid = addGrid(31);
    EXPECT_EQ(grid->applyGraticule(31), 0);
    EXPECT_EQ(grid->applyGraticule(31 & ~8u & ~16u), 2);
    EXPECT_FALSE(grid->showMajorGrid);
    EXPECT_FALSE(grid->showMinorGrid);
    EXPECT_TRUE(grid->showCrosshair);
    engine::Image image = renderFrame();
    EXPECT_EQ(at(image, 2 + 40 * 3, 150), kBlack);
}

TEST_F(GridLayerTest, DrawingIsClippedToTheLayerRectangle) {
    GridLayer* grid = addGrid(31);
    // Resizing without a rebuild keeps the old lines, and the clip is the new, smaller rectangle.
    grid->setContentSize(engine::Size(200, 100));
    engine::Image image = renderFrame();
    EXPECT_EQ(countLit(image, kX + 200, kY, kX + kW + 2, kY + kH + 2), 0);
    EXPECT_EQ(countLit(image, kX, kY + 100, kX + 200, kY + kH + 2), 0);
    EXPECT_TRUE(at(image, 2, 50).near(kFrame));
}

}  // namespace
