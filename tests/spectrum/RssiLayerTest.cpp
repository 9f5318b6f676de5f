// The spectrum trace layer in a real GL context: trace colours where the levels say, clipping to
// the plotting rectangle, peak markers, the trace mask, cursor readouts and the heat map.
#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Sprite.h"
#include "engine/renderer/Texture2D.h"
#include "model/TraceProcessing.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/RssiLayer.h"

namespace {

using namespace spectrumtest;

// Plotting rectangle (10, 10) 160 × 100; levels -90 … -10 dBm, so y = 10 + (v + 90) × 1.25.
class RssiLayerTest : public SpectrumLayerTest {
  protected:
    RssiLayer* addLayer(uint8_t mode0, uint8_t mode1 = 0, uint8_t mode2 = 0) {
        model->spectrum_settings.traceModes[0] = mode0;
        model->spectrum_settings.traceModes[1] = mode1;
        model->spectrum_settings.traceModes[2] = mode2;
        RssiLayer* layer = RssiLayer::createWithModel(model.get());
        EXPECT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(160, 100));
        layer->showBand5 = false;
        scene->addChild(layer);
        return layer;
    }
    // A sweep as it arrives, traces and peaks derived; the heat map is left to the tests that
    // set one up themselves.
    void appendSweep(const std::vector<float>& row) {
        model->band24.appendSweep(row.data(), static_cast<int>(row.size()));
        TraceProcessing::processBand(model->band24, TraceProcessing::settingsFor(*model, true));
    }
    void appendFlat(float level, int points = 256) {
        appendSweep(std::vector<float>(static_cast<size_t>(points), level));
    }
};

std::vector<float> ramp() {
    std::vector<float> row(256);
    for (int i = 0; i < 256; ++i)
        row[static_cast<size_t>(i)] = -100.f + static_cast<float>(i) * 0.25f;
    return row;
}

}  // namespace

TEST_F(RssiLayerTest, RawTraceInItsColourAtItsLevel) {
    model->spectrum_settings.traceColors[0][0] = 255;  // raw: (255, 0, 255)
    model->spectrum_settings.traceColors[0][2] = 255;
    model->spectrum_settings.peakCounts[0] = 0;
    addLayer(1);
    appendFlat(-50);  // y = 60
    const engine::Image image = renderFrame();
    EXPECT_EQ(pixelAt(image, 90, 60), (Rgb{255, 0, 255}));
    EXPECT_EQ(pixelAt(image, 90, 59), (Rgb{255, 0, 255}));
    EXPECT_EQ(pixelAt(image, 90, 64), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelAt(image, 90, 55), (Rgb{0, 0, 0}));
    // The first and last points touch the rectangle's edges, nothing beyond.
    EXPECT_EQ(pixelAt(image, 11, 60), (Rgb{255, 0, 255}));
    EXPECT_EQ(pixelAt(image, 168, 60), (Rgb{255, 0, 255}));
    EXPECT_EQ(countLit(image, 0, 0, 10, kHeight), 0);
    EXPECT_EQ(countLit(image, 170, 0, kWidth, kHeight), 0);
}

TEST_F(RssiLayerTest, TracesAboveTheRangeAreClippedToTheRectangle) {
    model->spectrum_settings.peakCounts[0] = 0;
    addLayer(1);
    // A sweep from inside the range to far above it: the line leaves through the top edge.
    std::vector<float> row(256);
    for (int i = 0; i < 256; ++i)
        row[static_cast<size_t>(i)] = -80.f + static_cast<float>(i);
    appendSweep(row);
    const engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, 10, 10, 170, 110), 0);
    EXPECT_EQ(countLit(image, 0, 110, kWidth, kHeight), 0);
}

TEST_F(RssiLayerTest, DotsInsteadOfLines) {
    model->spectrum_settings.peakCounts[0] = 0;
    model->common_settings.traceDots = 1;
    RssiLayer* layer = addLayer(1);
    appendFlat(-50, 5);  // five dots, 40 units apart
    const engine::Image image = renderFrame();
    EXPECT_EQ(pixelAt(image, 50, 60), (Rgb{0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 30, 60), (Rgb{0, 0, 0}));
    EXPECT_GT(layer->getTraceNode()->getVertexCount(), 0u);
}

TEST_F(RssiLayerTest, ThreeEqualSlotsDrawTheTraceOnce) {
    RssiLayer* layer = addLayer(3, 0, 0);
    appendFlat(-50);
    step(1);
    const size_t once = layer->getTraceNode()->getVertexCount();
    const size_t markers = layer->getPeakMarkers().size();
    ASSERT_GT(once, 0u);
    model->spectrum_settings.traceModes[1] = 3;
    model->spectrum_settings.traceModes[2] = 3;
    step(1);  // the mask change alone redraws
    EXPECT_EQ(layer->getTraceNode()->getVertexCount(), once);
    EXPECT_EQ(layer->getPeakMarkers().size(), markers);
}

TEST_F(RssiLayerTest, PeakMarkersStandOnPeaksOrHangFromTheTop) {
    RssiLayer* layer = addLayer(1);
    std::vector<float> row(256, -80.f);
    row[64] = -60.f;   // y = 37.5 in the layer: the marker stands on it
    row[128] = -12.f;  // within a marker's height of the top: it hangs
    appendSweep(row);
    step(1);
    const auto& markers = layer->getPeakMarkers();
    ASSERT_EQ(markers.size(), 5u);
    const float dx = 160.f / 255.f;
    EXPECT_FLOAT_EQ(markers[0]->getPositionX(), 128 * dx);
    EXPECT_FLOAT_EQ(markers[0]->getPositionY(), 100.f);
    EXPECT_FLOAT_EQ(markers[0]->getAnchorPoint().y, 1.f);
    EXPECT_FLOAT_EQ(markers[1]->getPositionX(), 64 * dx);
    EXPECT_FLOAT_EQ(markers[1]->getPositionY(), 37.5f);
    EXPECT_FLOAT_EQ(markers[1]->getAnchorPoint().y, 0.f);
    EXPECT_EQ(markers[1]->getColor(), engine::Color3B(0, 0, 255));

    // Peaks on top: every marker of the kind hangs from the top edge.
    model->spectrum_settings.peaksOnTop = 1;
    appendSweep(row);
    step(1);
    for (engine::Sprite* marker : markers) {
        EXPECT_FLOAT_EQ(marker->getPositionY(), 100.f);
        EXPECT_FLOAT_EQ(marker->getAnchorPoint().y, 1.f);
    }
}

TEST_F(RssiLayerTest, MarkersContinueAcrossKindsAndShrinkWithThePeakCounts) {
    model->spectrum_settings.peakCounts[0] = 2;
    model->spectrum_settings.peakCounts[3] = 3;
    RssiLayer* layer = addLayer(1, 4);
    appendFlat(-50);
    step(1);
    EXPECT_EQ(layer->getPeakMarkers().size(), 5u);
    model->spectrum_settings.peakCounts[3] = 0;
    appendFlat(-50);
    step(1);
    EXPECT_EQ(layer->getPeakMarkers().size(), 2u);
}

TEST_F(RssiLayerTest, OnePointDrawsNothingAndDropsTheMarkers) {
    RssiLayer* layer = addLayer(1);
    appendFlat(-50);
    step(1);
    ASSERT_FALSE(layer->getPeakMarkers().empty());
    appendFlat(-50, 1);
    step(1);
    EXPECT_EQ(layer->getTraceNode()->getVertexCount(), 0u);
    EXPECT_TRUE(layer->getPeakMarkers().empty());
}

TEST_F(RssiLayerTest, CursorReadoutsInterpolateAndReadTheLastPointAtTheRightEdge) {
    model->cursors.cursorsShown = 1;
    model->cursors.verticalShown = 1;
    model->cursors.verticalX[0] = 160.f;  // right edge
    model->cursors.verticalX[1] = 80.f;   // f = 127.5
    RssiLayer* layer = addLayer(1);
    appendSweep(ramp());
    step(1);
    const CursorReadouts& r = model->cursorReadouts;
    EXPECT_EQ(r.pointCount, 256);
    EXPECT_EQ(r.index[0], 255);
    EXPECT_EQ(r.index[1], 127);
    for (int kind = 0; kind < 5; ++kind) {
        EXPECT_FLOAT_EQ(r.level[kind][0], -36.25f) << kind;
        EXPECT_FLOAT_EQ(r.level[kind][1], -68.125f) << kind;
    }
    EXPECT_FLOAT_EQ(r.screenY[0][1], (-68.125f + 90.f) * 1.25f);

    // Beyond the right edge still reads the last point.
    model->cursors.verticalX[0] = 500.f;
    step(1);
    EXPECT_FLOAT_EQ(model->cursorReadouts.level[0][0], -36.25f);

    // A width for which x × 255 / x rounds to just below 255.
    const float width = 672.898987f;
    layer->setContentSize(engine::Size(width, 100));
    model->cursors.verticalX[0] = width;
    model->band24.tracesReady = true;
    step(1);
    EXPECT_EQ(model->cursorReadouts.index[0], 255);
    EXPECT_EQ(model->cursorReadouts.level[0][0], -36.25f);
}

TEST_F(RssiLayerTest, HeatMapSpritesFollowTheMaskAndTheGrid) {
    RssiLayer* layer = addLayer(6);
    HeatMap& grid = model->band24.heatMap;
    grid.columns = 256;
    grid.rows = 256;
    grid.counts.assign(256 * 256, 0);
    for (int x = 0; x < 256; ++x)
        grid.counts[static_cast<size_t>(128) * 256 + x] = 30;  // fills rows 0 … 128 once summed
    grid.dirty = true;
    appendFlat(-50);
    step(2);
    engine::Sprite* smooth = layer->getHeatMapSpriteSmooth();
    engine::Sprite* crisp = layer->getHeatMapSpriteCrisp();
    ASSERT_NE(smooth, nullptr);
    ASSERT_NE(crisp, nullptr);
    EXPECT_EQ(smooth->getParent(), layer);
    EXPECT_EQ(smooth->getOpacity(), 255);
    EXPECT_EQ(crisp->getOpacity(), 255);
    EXPECT_FLOAT_EQ(smooth->getTexture()->getMaxS(), 0.5f);
    EXPECT_FALSE(grid.dirty);
    // Cell (i, j) is centred at (i × W / 255, j × H / 255): row 128 just above the middle.
    const engine::Image image = renderFrame();
    const int y = static_cast<int>(10 + 128 * 100.f / 255.f);
    EXPECT_NE(pixelAt(image, 90, y - 3), (Rgb{0, 0, 0}));
    EXPECT_NE(pixelAt(image, 90, 12), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelAt(image, 90, y + 6), (Rgb{0, 0, 0}));

    // The second generation's grid shows only the smooth picture.
    model->accessory.generation = 2;
    step(1);
    EXPECT_EQ(crisp->getOpacity(), 0);
    EXPECT_EQ(smooth->getOpacity(), 255);

    // Without the heat-map kind both sprites leave the layer.
    model->spectrum_settings.traceModes[0] = 1;
    step(2);
    EXPECT_EQ(smooth->getParent(), nullptr);
    EXPECT_EQ(crisp->getParent(), nullptr);
}

TEST_F(RssiLayerTest, EmptyGridClearsTheHeatMap) {
    RssiLayer* layer = addLayer(6);
    HeatMap& grid = model->band24.heatMap;
    grid.columns = 4;
    grid.rows = 4;
    grid.counts.assign(16, 25);
    step(1);
    EXPECT_EQ(layer->getHeatMapPixelsSmooth()[3], 85);
    grid.clear();
    grid.dirty = true;
    step(2);
    EXPECT_EQ(layer->getHeatMapPixelsSmooth()[3], 0);
    EXPECT_EQ(layer->getHeatMapSpriteSmooth()->getOpacity(), 0);
}

TEST_F(RssiLayerTest, WaterfallProgramIsCachedAndDrivesTheCrispSprite) {
    RssiLayer* layer = addLayer(6);
    ASSERT_NE(RssiLayer::waterfallProgram(), nullptr)
        << "shaders/WaterfallShader.vsh and .fsh must compile";
    EXPECT_EQ(RssiLayer::waterfallProgram(), RssiLayer::waterfallProgram());
    EXPECT_NE(layer->getHeatMapSpriteCrisp()->getGLProgramState(), nullptr);
}
