// The waterfall layer in a real GL context: the picture grows down from the top edge, the time
// scale stretches it, and the cursors find the strongest levels along their lines.
#include <vector>

#include "engine/2d/Sprite.h"
#include "engine/renderer/Texture2D.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/WaterfallLayer.h"

namespace {

using namespace spectrumtest;

// Plotting rectangle (10, 10) 160 × 100.
class WaterfallLayerTest : public SpectrumLayerTest {
  protected:
    WaterfallLayer* addLayer() {
        WaterfallLayer* layer = WaterfallLayer::createWithModel(model.get());
        EXPECT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(160, 100));
        layer->showBand5 = false;
        scene->addChild(layer);
        return layer;
    }
    void append(const std::vector<float>& row) {
        model->band24.appendSweep(row.data(), static_cast<int>(row.size()));
        model->band24.waterfallDirty = true;
    }
};

}  // namespace

TEST_F(WaterfallLayerTest, FewSweepsFillOnlyTheTopOldestLowest) {
    model->spectrum_settings.waterfallTimeScaleIndex = 2;  // 100 sweeps fill the height
    model->spectrum_settings.heatMapColorMap = 4;          // grey
    WaterfallLayer* layer = addLayer();
    // 20 sweeps: 19 quiet ones, then the newest at the high threshold.
    for (int i = 0; i < 19; ++i)
        append(std::vector<float>(100, -61.f));
    append(std::vector<float>(100, -37.f));
    step(1);  // the first frame builds the texture, the second places it
    const engine::Image image = renderFrame();
    EXPECT_FALSE(model->band24.waterfallDirty);
    // Newest row at the top edge in the last colour (white), each row one unit high.
    EXPECT_EQ(pixelAt(image, 90, 109), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixelAt(image, 90, 105), (Rgb{127, 127, 127}));
    EXPECT_EQ(pixelAt(image, 90, 92), (Rgb{127, 127, 127}));
    EXPECT_EQ(countLit(image, 10, 10, 170, 88), 0);
    EXPECT_EQ(countLit(image, 0, 110, kWidth, kHeight), 0);
    EXPECT_FLOAT_EQ(layer->getWaterfallSprite()->getTexture()->getMaxT(), 20.f / 512.f);

    // At the slowest time scale the same history is a fifth as tall.
    model->spectrum_settings.waterfallTimeScaleIndex = 0;
    step(1);
    const engine::Image slow = renderFrame();
    EXPECT_EQ(countLit(slow, 10, 10, 170, 104), 0);
    EXPECT_GT(countLit(slow, 10, 106, 170, 110), 0);
}

TEST_F(WaterfallLayerTest, EmptyHistoryShowsNothing) {
    WaterfallLayer* layer = addLayer();
    append(std::vector<float>(100, -40.f));
    step(2);
    EXPECT_TRUE(layer->getWaterfallSprite()->isVisible());
    model->band24.clear();
    model->band24.waterfallDirty = true;
    step(2);
    EXPECT_FALSE(layer->getWaterfallSprite()->isVisible());
    EXPECT_EQ(countLit(renderFrame(), 0, 0, kWidth, kHeight), 0);
}

TEST_F(WaterfallLayerTest, CursorPeaksAlongTimeAndFrequency) {
    model->cursors.cursorsShown = 1;
    model->spectrum_settings.waterfallTimeScaleIndex = 2;
    // Horizontal cursor 0 at age truncate(0.998 × 9.5) = 9; cursor 1 below the oldest of 20.
    model->cursors.horizontalY[0] = 90.5f;
    model->cursors.horizontalY[1] = 10.f;
    model->cursors.verticalX[0] = 40.f;   // column trunc(100 / 160 × 40) = 25
    model->cursors.verticalX[1] = 159.f;  // column 99, beyond the 95 shown points
    WaterfallLayer* layer = addLayer();
    for (int i = 0; i < 20; ++i) {
        std::vector<float> row(100, -90.f);  // below the low threshold: never a peak
        row[25] = -70.f + static_cast<float>(i);
        row[60] = -50.f;
        append(row);
    }
    step(1);
    const CursorReadouts& r = model->cursorReadouts;
    // Horizontal cursor 0 reads the sweep 9 older than the newest: point 60 then point 25.
    EXPECT_EQ(r.peakLists[0][0].index, 60);
    EXPECT_EQ(r.peakLists[0][1].index, 25);
    EXPECT_FLOAT_EQ(r.peakLists[0][1].value, -70.f + 10.f);
    EXPECT_EQ(r.peakLists[0][2].index, -1);
    // Vertical cursor 0 runs down column 25, newest (age 0, loudest) first.
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(r.peakLists[1][static_cast<size_t>(k)].index, k);
    EXPECT_EQ(r.peakLists[2][0].index, -1);  // below the oldest row
    EXPECT_EQ(r.peakLists[3][0].index, -1);  // outside the shown points

    // Two horizontal and five vertical markers are visible; positions follow the lines.
    const auto& markers = layer->getPeakMarkers();
    ASSERT_GE(markers.size(), 7u);
    EXPECT_FLOAT_EQ(markers[0]->getPositionX(), 60.5f * 160.f / 100.f);
    EXPECT_FLOAT_EQ(markers[0]->getPositionY(), 90.5f);
    EXPECT_FLOAT_EQ(markers[2]->getPositionX(), 40.f);
    EXPECT_FLOAT_EQ(markers[3]->getPositionY(), 100.f / (1.f - 100.f) * 1.f + 100.f);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(markers[i]->getOpacity(), 255);

    // Cursors off: the markers fade to nothing but stay pooled.
    model->cursors.cursorsShown = 0;
    step(1);
    for (engine::Sprite* marker : markers)
        EXPECT_EQ(marker->getOpacity(), 0);
}

TEST_F(WaterfallLayerTest, AVerticalCursorJustLeftOfTheEdgeReadsTheFirstColumn) {
    model->cursors.cursorsShown = 1;
    model->cursors.verticalX[0] = -1.f;  // column -0.625 truncates to 0
    model->cursors.verticalX[1] = -2.f;  // column -1.25: outside
    addLayer();
    for (int i = 0; i < 3; ++i) {
        std::vector<float> row(100, -90.f);
        row[0] = -60.f - static_cast<float>(i);
        append(row);
    }
    step(1);
    const CursorReadouts& r = model->cursorReadouts;
    EXPECT_EQ(r.peakLists[1][0].index, 2);  // the oldest sweep is the loudest at point 0
    EXPECT_FLOAT_EQ(r.peakLists[1][0].value, -60.f);
    EXPECT_EQ(r.peakLists[1][2].index, 0);
    EXPECT_EQ(r.peakLists[3][0].index, -1);
}
