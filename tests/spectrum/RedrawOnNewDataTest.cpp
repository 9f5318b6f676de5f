// The spectrum layers ask for a frame when their model data changes, and only then: a new sweep
// is drawn in the frame that processes it, and a quiet model costs no frames.
#include <vector>

#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "model/TraceProcessing.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/spectrum/CursorsLayer.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

namespace {

using namespace spectrumtest;

class RedrawOnNewDataTest : public SpectrumLayerTest {
  protected:
    template <typename Layer>
    Layer* place(Layer* layer) {
        EXPECT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(160, 100));
        layer->showBand5 = false;
        scene->addChild(layer);
        return layer;
    }
    unsigned long long drawnIn(int frames) {
        const unsigned long long before = engine::Director::getInstance()->getFramesDrawn();
        step(frames);
        return engine::Director::getInstance()->getFramesDrawn() - before;
    }
    // A sweep as it arrives: history, processed traces, heat-map grid and waterfall flag.
    void deliverSweep(float level, int points = 100) {
        std::vector<float> row(static_cast<size_t>(points), level);
        BandSweepBuffers& band = model->band24;
        band.appendSweep(row.data(), points);
        TraceProcessing::processBand(band, TraceProcessing::settingsFor(*model, true));
        band.heatMap.columns = points;
        band.heatMap.rows = 4;
        band.heatMap.counts.assign(static_cast<size_t>(points) * 4, 0);
        band.heatMap.counts[static_cast<size_t>(points)] = 3;
        band.heatMap.dirty = true;
        band.waterfallDirty = true;
    }
};

}  // namespace

TEST_F(RedrawOnNewDataTest, TracesAndHeatMapDrawOneFramePerSweep) {
    model->spectrum_settings.traceModes[0] = 1;  // raw
    model->spectrum_settings.traceModes[1] = 6;  // heat map
    RssiLayer* layer = place(RssiLayer::createWithModel(model.get()));
    deliverSweep(-50);
    step(3);
    ASSERT_NE(layer->getHeatMapSpriteSmooth()->getParent(), nullptr);
    EXPECT_EQ(drawnIn(5), 0u) << "nothing new";

    for (int sweep = 0; sweep < 4; ++sweep) {
        deliverSweep(-40.f - static_cast<float>(sweep));
        EXPECT_EQ(drawnIn(1), 1u) << "drawn in the frame that processed sweep " << sweep;
        EXPECT_EQ(drawnIn(4), 0u) << "and in no frame after it";
    }

    // A different trace mode is drawn without waiting for a sweep.
    model->spectrum_settings.traceModes[0] = 4;  // maximum
    EXPECT_EQ(drawnIn(3), 1u);
}

TEST_F(RedrawOnNewDataTest, AGrowingWaterfallDrawsOneFramePerSweep) {
    WaterfallLayer* layer = place(WaterfallLayer::createWithModel(model.get()));
    step(2);
    EXPECT_EQ(drawnIn(3), 0u) << "an empty history";
    for (int sweep = 0; sweep < 4; ++sweep) {
        deliverSweep(-40.f - static_cast<float>(sweep));
        EXPECT_EQ(drawnIn(1), 1u) << "sweep " << sweep;
        EXPECT_TRUE(layer->getWaterfallSprite()->isVisible());
        EXPECT_EQ(drawnIn(4), 0u) << "sweep " << sweep;
    }
    // The picture follows the time scale at once.
    model->spectrum_settings.waterfallTimeScaleIndex = 2;
    EXPECT_EQ(drawnIn(3), 1u);
}

TEST_F(RedrawOnNewDataTest, ThresholdsSetFromTheModelAreDrawn) {
    place(WaterfallThresholdAndTouchLayer::createWithModel(model.get()));
    step(2);
    EXPECT_EQ(drawnIn(3), 0u);
    // A menu or a loaded configuration moves a threshold: the handle follows in one frame.
    model->spectrum_settings.waterfallLevelHigh -= 10.f;
    EXPECT_EQ(drawnIn(3), 1u);
    model->spectrum_settings.waterfallLevelLow = NAN;
    EXPECT_EQ(drawnIn(3), 1u) << "a threshold that is not a number is drawn once, then settles";
}

// Cursor and channel-guide edits (a drag, a key, a menu) change only model fields; the layers
// notice them on the next frame and draw it, and draw nothing while the fields stay.
TEST_F(RedrawOnNewDataTest, CursorAndGuideEditsDrawOneFrame) {
    model->cursors.cursorsShown = 1;
    auto* cursors = CursorsLayer::createWithModel(model.get());
    ASSERT_NE(cursors, nullptr);
    cursors->setContentSize(engine::Size(160, 100));
    scene->addChild(cursors);
    auto* guide = ChannelGuideLayer::createWithModel(model.get());
    ASSERT_NE(guide, nullptr);
    guide->setContentSize(engine::Size(160, 100));
    scene->addChild(guide);
    step(3);
    EXPECT_EQ(drawnIn(4), 0u) << "nothing changed";

    model->cursors.verticalX[0] += 7.f;
    EXPECT_EQ(drawnIn(3), 1u) << "a moved cursor";
    model->cursors.cursorsShown = 0;
    EXPECT_EQ(drawnIn(3), 1u) << "cursors switched off";

    model->spectrum_settings.channelGuideState = model->spectrum_settings.channelGuideState ? 0 : 1;
    EXPECT_EQ(drawnIn(3), 1u) << "the guide expanded or collapsed";
    EXPECT_EQ(drawnIn(4), 0u);
}
