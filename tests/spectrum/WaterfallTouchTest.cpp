// Threshold handles and the waterfall's touches, driven through the GL view like real fingers:
// dragging thresholds, handles at the edges, and pinching the time scale with the popover.
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/Texture2D.h"
#include "instrument/Instrument.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/ScalingPopoverLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

namespace {

using namespace spectrumtest;
using Layer = WaterfallThresholdAndTouchLayer;
constexpr float kLayerWidth = 200;
constexpr float kLayerHeight = 160;

// The layer covers 200 × 160 at the window's origin for -90 … -10 dBm, 2 units per dB. Thresholds
// start at -85 (y = 10) and -37 (y = 106).
class WaterfallTouchTest : public SpectrumLayerTest {
  protected:
    void SetUp() override {
        SpectrumLayerTest::SetUp();
        layer = Layer::createWithModel(model.get());
        ASSERT_NE(layer, nullptr);
        layer->setContentSize(engine::Size(kLayerWidth, kLayerHeight));
        layer->showBand5 = false;
        scene->addChild(layer);
        popover = ScalingPopoverLayer::createWithModel(model.get());
        ASSERT_NE(popover, nullptr);
        popover->setOpacity(0);
        scene->addChild(popover, 100);
        step(1);
    }
    engine::GLView* view() { return engine::Director::getInstance()->getOpenGLView(); }
    // Window coordinates have their origin at the top-left.
    void touches(const char* phase, std::initializer_list<std::pair<float, float>> points) {
        intptr_t ids[2] = {1, 2};
        float xs[2], ys[2];
        int n = 0;
        for (auto [x, y] : points) {
            xs[n] = x;
            ys[n] = kHeight - y;
            ++n;
        }
        const std::string p = phase;
        if (p == "began")
            view()->handleTouchesBegin(n, ids, xs, ys);
        else if (p == "moved")
            view()->handleTouchesMove(n, ids, xs, ys);
        else if (p == "cancelled")
            view()->handleTouchesCancel(n, ids, xs, ys);
        else
            view()->handleTouchesEnd(n, ids, xs, ys);
    }

    Layer* layer = nullptr;
    ScalingPopoverLayer* popover = nullptr;
};

}  // namespace

TEST_F(WaterfallTouchTest, DraggingTheLowHandleAboveTheHighDragsBoth) {
    SpectrumViewSettings& view = model->spectrum_settings;
    model->band24.waterfallDirty = false;
    touches("began", {{195, 10}});
    EXPECT_EQ(layer->getTouchMode(), Layer::kDragLow);
    EXPECT_TRUE(model->runtime.touchActive);
    touches("moved", {{195, 30}});  // +10 dB
    EXPECT_FLOAT_EQ(view.waterfallLevelLow, -75.f);
    EXPECT_FLOAT_EQ(view.waterfallLevelHigh, -37.f);
    EXPECT_TRUE(model->band24.waterfallDirty);
    EXPECT_TRUE(model->band5.waterfallDirty);
    touches("moved", {{195, 130}});  // +50 dB: past the high threshold
    EXPECT_FLOAT_EQ(view.waterfallLevelLow, -25.f);
    EXPECT_FLOAT_EQ(view.waterfallLevelHigh, -25.f);
    step(1);
    EXPECT_FLOAT_EQ(layer->getLabelFade(), 1.f);
    EXPECT_EQ(layer->getLowLabel()->getString(), "-25.00dBm");
    touches("ended", {{195, 130}});
    EXPECT_EQ(layer->getTouchMode(), Layer::kNoTouch);
    EXPECT_FALSE(model->runtime.touchActive);
    // The labels fade out over one second of frames.
    step(30, 1.f / 60.f);
    EXPECT_GT(layer->getLowLabel()->getOpacity(), 0);
    step(40, 1.f / 60.f);
    EXPECT_EQ(layer->getLowLabel()->getOpacity(), 0);
}

TEST_F(WaterfallTouchTest, DraggingTheHighHandleBelowTheLowPushesItDown) {
    SpectrumViewSettings& view = model->spectrum_settings;
    touches("began", {{195, 106}});
    EXPECT_EQ(layer->getTouchMode(), Layer::kDragHigh);
    touches("moved", {{195, 0}});  // -53 dB
    EXPECT_FLOAT_EQ(view.waterfallLevelHigh, -90.f);
    EXPECT_FLOAT_EQ(view.waterfallLevelLow, -90.f);
    touches("ended", {{195, 0}});
}

TEST_F(WaterfallTouchTest, TouchesAwayFromTheHandlesMoveNothing) {
    touches("began", {{40, 80}});
    EXPECT_EQ(layer->getTouchMode(), Layer::kNoTouch);
    EXPECT_FALSE(model->runtime.touchActive);
    touches("moved", {{40, 120}});
    EXPECT_FLOAT_EQ(model->spectrum_settings.waterfallLevelLow, -85.f);
    touches("ended", {{40, 120}});
}

TEST_F(WaterfallTouchTest, HandlesOutsideTheRangeSitAtTheEdges) {
    model->spectrum_settings.waterfallLevelHigh = 0.f;   // above -10
    model->spectrum_settings.waterfallLevelLow = -95.f;  // below -90
    step(1);
    engine::Sprite* high = layer->getHighHandle();
    engine::Sprite* low = layer->getLowHandle();
    ASSERT_NE(high, nullptr);
    const engine::Size image = high->getTexture()->getContentSize();
    EXPECT_FLOAT_EQ(high->getPositionY(), kLayerHeight);
    EXPECT_FLOAT_EQ(high->getAnchorPoint().y, 1.f);
    EXPECT_FLOAT_EQ(high->getTextureRect().origin.x, 0.f);
    EXPECT_FLOAT_EQ(high->getTextureRect().origin.y, 0.f);
    EXPECT_FLOAT_EQ(low->getPositionY(), 0.f);
    EXPECT_FLOAT_EQ(low->getAnchorPoint().y, 0.f);
    EXPECT_FLOAT_EQ(low->getTextureRect().origin.x, image.width / 2);
    EXPECT_FLOAT_EQ(low->getTextureRect().origin.y, 0.f);
    EXPECT_FLOAT_EQ(low->getPositionX(), kLayerWidth);

    model->spectrum_settings.waterfallLevelLow = -50.f;  // y = 80, inside
    step(1);
    EXPECT_FLOAT_EQ(low->getPositionY(), 80.f);
    EXPECT_FLOAT_EQ(low->getAnchorPoint().y, 0.5f);
    EXPECT_FLOAT_EQ(low->getTextureRect().origin.y, image.height / 2);
}

TEST_F(WaterfallTouchTest, PinchStepsTheTimeScaleAndDrivesThePopover) {
    // Fingers move one at a time, each callback adding both fingers' latest travel: moves of
    // 25 units per finger add 75 on the first move and 100 on every later one.
    int& index = model->spectrum_settings.waterfallTimeScaleIndex;
    touches("began", {{100, 60}, {100, 100}});
    EXPECT_EQ(layer->getTouchMode(), Layer::kPinch);
    EXPECT_TRUE(model->runtime.touchActive);
    touches("moved", {{100, 35}, {100, 125}});
    EXPECT_EQ(index, 0);
    touches("moved", {{100, 10}, {100, 150}});
    EXPECT_EQ(index, 1);
    EXPECT_EQ(popover->verticalSteps, 3);
    EXPECT_EQ(popover->horizontalSteps, 0);
    EXPECT_EQ(popover->verticalNew, 1);
    EXPECT_EQ(popover->verticalOld, 0);
    EXPECT_TRUE(popover->needsLayout);
    EXPECT_TRUE(popover->touchHeld);
    step(2);
    EXPECT_GT(popover->getOpacity(), 0);
    touches("moved", {{100, -15}, {100, 175}});
    EXPECT_EQ(index, 2);
    EXPECT_EQ(popover->verticalNew, 2);
    EXPECT_EQ(popover->verticalOld, 0);  // already showing: the old step stays
    touches("moved", {{100, -40}, {100, 200}});
    EXPECT_EQ(index, 2);  // no step past the slowest scale
    // Pinching together steps back.
    touches("moved", {{100, -15}, {100, 175}});
    EXPECT_EQ(index, 1);
    touches("ended", {{100, -15}, {100, 175}});
    EXPECT_FALSE(popover->touchHeld);
    EXPECT_EQ(layer->getTouchMode(), Layer::kNoTouch);
    EXPECT_FALSE(model->runtime.touchActive);
}

TEST_F(WaterfallTouchTest, APinchThatIsCancelledOrTornDownLetsThePopoverFade) {
    auto pinchOneStep = [&] {
        touches("began", {{100, 60}, {100, 100}});
        touches("moved", {{100, 35}, {100, 125}});
        touches("moved", {{100, 10}, {100, 150}});
        ASSERT_TRUE(popover->touchHeld);
    };
    pinchOneStep();
    touches("cancelled", {{100, 10}, {100, 150}});
    EXPECT_FALSE(popover->touchHeld);
    EXPECT_EQ(layer->getTouchMode(), Layer::kNoTouch);
    EXPECT_FALSE(model->runtime.touchActive);
    step(60);
    EXPECT_EQ(popover->getOpacity(), 0);

    // The view is rebuilt while the fingers are still down.
    pinchOneStep();
    layer->retain();
    layer->removeFromParent();
    EXPECT_FALSE(popover->touchHeld);
    EXPECT_FALSE(model->runtime.touchActive);
    layer->release();
    layer = nullptr;
    touches("ended", {{100, 10}, {100, 150}});
}

TEST_F(WaterfallTouchTest, SmallPinchesDoNotStep) {
    touches("began", {{100, 70}, {100, 90}});
    touches("moved", {{100, 60}, {100, 100}});  // 20 units together per callback pair
    EXPECT_EQ(model->spectrum_settings.waterfallTimeScaleIndex, 0);
    touches("ended", {{100, 60}, {100, 100}});
}

TEST_F(WaterfallTouchTest, ThresholdsAndTimeScaleChangeThroughTheInstrument) {
    layer->removeFromParent();
    Instrument instrument(*model);
    layer = Layer::createWithInstrument(&instrument);
    ASSERT_NE(layer, nullptr);
    layer->setContentSize(engine::Size(kLayerWidth, kLayerHeight));
    layer->showBand5 = false;
    layer->setScalingPopover(popover);
    scene->addChild(layer);
    step(1);
    EXPECT_FALSE(instrument.isStoreDirty());

    // Each step of a drag is one change; a step that moves nothing is none and redraws nothing.
    touches("began", {{195, 10}});
    touches("moved", {{195, 30}});
    EXPECT_FLOAT_EQ(model->spectrum_settings.waterfallLevelLow, -75.f);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(instrument.changeCount(), 1u);
    model->band24.waterfallDirty = false;
    layer->moveThreshold(false, 0.f);
    EXPECT_EQ(instrument.changeCount(), 1u);
    EXPECT_FALSE(model->band24.waterfallDirty);
    touches("ended", {{195, 30}});

    layer->stepTimeScale(1);
    EXPECT_EQ(model->spectrum_settings.waterfallTimeScaleIndex, 1);
    EXPECT_EQ(instrument.changeCount(), 2u);
    EXPECT_TRUE(popover->touchHeld);
    popover->touchHeld = false;
    // Against the end of the scale nothing changes and the popover stays down.
    layer->stepTimeScale(-5);
    layer->stepTimeScale(-1);
    EXPECT_EQ(model->spectrum_settings.waterfallTimeScaleIndex, 0);
    EXPECT_EQ(instrument.changeCount(), 3u);
    popover->touchHeld = false;
    layer->stepTimeScale(-1);
    EXPECT_EQ(instrument.changeCount(), 3u);
    EXPECT_FALSE(popover->touchHeld);
}
