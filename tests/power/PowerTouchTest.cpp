// The power view's handles, gestures and measurement panel in a real GL context.
#include <SDL2/SDL.h>

#include <functional>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/Scale9Sprite.h"
#include "model/AccessoryControl.h"
#include "model/PulseMeasurement.h"
#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/ScalingPopoverLayer.h"

namespace {

using namespace powertest;
using Layer = PowerUIAndTouchLayer;

class CountingControl : public AccessoryControl {
  public:
    void requestHalt() override {}
    void requestReconfigure(bool clearData) override { ++(clearData ? clearingCommits : commits); }
    void resumeStreaming() override {}
    void requestSingleSweep() override {}
    void restartPlayback() override {}
    bool identified() const override { return true; }
    bool connected() const override { return true; }

    int commits = 0;
    int clearingCommits = 0;
};

// View (10, 10) 400 x 200, 1 ms/div at step 15, -40 ... 0 dBm.
class PowerTouchTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        AccessoryDescription& a = model->accessory;
        for (int i = 0; i < 20; ++i) {
            a.powerTimeBases.push_back(1e-3f * static_cast<float>(i + 1) / 16.0f);
        }
        a.powerAmplitudes = {1, 2, 5, 10, 20};
        a.powerRollLimitIndex = 10;
        model->power_setting.powerTimeBaseIndex = 15;
        model->power_setting.powerAmplitudeIndex = 2;
        model->runtime.deviceConnected = true;
    }

    Layer* addLayer(float width = 400) {
        Layer* layer = Layer::createWithModel(model.get(), &control);
        EXPECT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(width, 200));
        scene->addChild(layer);
        step(1);
        return layer;
    }

    void drag(float x0, float y0, float x1, float y1) {
        touchBegan(0, x0, y0);
        touchMoved(0, (x0 + x1) / 2, (y0 + y1) / 2);
        touchMoved(0, x1, y1);
        touchEnded(0, x1, y1);
    }

    CountingControl control;
};

}  // namespace

TEST_F(PowerTouchTest, LevelHandleWinsOverAGroundHandleUnderIt) {
    // A narrow view with the trace moved up: the ground handle (left, 176 to 200) lies under the
    // level handle, which is pinned to the top edge (168 to 200, x from 28).
    model->power_channel.offset = 176.0f;
    Layer* layer = addLayer(60);
    touchBegan(0, 39, 195);
    EXPECT_EQ(layer->getTouchMode(), Layer::kLevel);
    EXPECT_TRUE(model->runtime.touchActive);
    touchEnded(0, 39, 195);
    EXPECT_EQ(control.clearingCommits, 1);

    // Without an accessory the level cannot be dragged: the ground handle takes the touch.
    model->runtime.deviceConnected = false;
    touchBegan(0, 39, 195);
    EXPECT_EQ(layer->getTouchMode(), Layer::kGround);
    touchMoved(0, 39, 205);
    touchEnded(0, 39, 205);
    EXPECT_FLOAT_EQ(model->power_channel.offset, 186.0f);
    EXPECT_EQ(control.commits, 0);
    EXPECT_FALSE(model->runtime.touchActive);
}

TEST_F(PowerTouchTest, ATouchOnACursorHandleIsLeftToTheCursors) {
    Layer* layer = addLayer();
    layer->setCursorHandleTest([](const engine::Vec2& p) { return p.x > 100 && p.x < 120; });
    touchBegan(0, 110, 100);
    EXPECT_EQ(layer->getTouchMode(), Layer::kNoTouch);
    touchEnded(0, 110, 100);
    touchBegan(0, 200, 100);
    EXPECT_EQ(layer->getTouchMode(), Layer::kDelay);
    touchCancelled(0, 200, 100);
    EXPECT_EQ(control.commits, 0);  // a cancelled drag commits nothing
}

TEST_F(PowerTouchTest, DelayDragKeepsTheTriggerPointOnScreen) {
    // The accessory keeps (T/2 + delay) x rate samples before the trigger: a drag to the right
    // is a later delay, and the trigger point stops at either edge (5 divisions of 40 units).
    const float perDivision = model->accessory.powerTimeBases[15];
    Layer* layer = addLayer();
    drag(210, 100, 1000, 100);  // far to the right
    EXPECT_FLOAT_EQ(model->power_setting.triggerDelay, 5.0f * perDivision);
    EXPECT_EQ(control.commits, 1);
    step(1);
    EXPECT_FLOAT_EQ(layer->getDelayHandle()->getPosition().x, 400.0f);
    drag(210, 100, 10, 100);  // 200 units left: back to the middle
    EXPECT_NEAR(model->power_setting.triggerDelay, 0.0f, 1e-7);
    drag(210, 100, 250, 100);  // one division right
    EXPECT_NEAR(model->power_setting.triggerDelay, perDivision, 1e-7);
    step(1);
    EXPECT_FLOAT_EQ(layer->getDelayHandle()->getPosition().x, 240.0f);
    drag(400, 100, 10, 100);
    drag(400, 100, 10, 100);
    EXPECT_FLOAT_EQ(model->power_setting.triggerDelay, -5.0f * perDivision);
    step(1);
    EXPECT_FLOAT_EQ(layer->getDelayHandle()->getPosition().x, 0.0f);
}

TEST_F(PowerTouchTest, DelayHandleTurnsSidewaysLeftOfTheView) {
    Layer* layer = addLayer();
    model->power_setting.triggerDelay = 0.0f;
    step(1);
    EXPECT_TRUE(layer->getDelayHandle()->isVisible());
    EXPECT_FLOAT_EQ(layer->getDelayHandle()->getPosition().x, 200.0f);
    // A delay kept from a slower time base can lie off screen: left of it when negative.
    model->power_setting.triggerDelay = -20.0f * model->accessory.powerTimeBases[15];
    step(1);
    EXPECT_FALSE(layer->getDelayHandle()->isVisible());
    EXPECT_TRUE(layer->getDelaySideways()->isVisible());
}

TEST_F(PowerTouchTest, LevelReleaseReArmsACapturedSingleShot) {
    model->runtime.runState = SpectrumSettings::kSingleShotTaken;
    Layer* layer = addLayer();
    const float y = 10 + 5 * (-30.56f + 40);
    touchBegan(0, 400, y);
    ASSERT_EQ(layer->getTouchMode(), Layer::kLevel);
    touchMoved(0, 400, y + 25);  // 25 units of 5 per dB
    touchEnded(0, 400, y + 25);
    EXPECT_NEAR(model->power_setting.triggerLevel, -25.56f, 1e-4);
    EXPECT_EQ(model->runtime.runState, SpectrumSettings::kSingleShotArmed);
    EXPECT_EQ(control.clearingCommits, 1);
}

TEST_F(PowerTouchTest, PinchStepsOneTimeBasePerHundredUnitsWithAnAccessoryOnly) {
    Layer* layer = addLayer();
    auto* popover = ScalingPopoverLayer::createWithModel(model.get());
    ASSERT_NE(popover, nullptr);
    scene->addChild(popover);
    layer->setScalingPopover(popover);
    step(60);  // the popover fades out until a pinch shows it

    touchBegan(1, 180, 100);
    touchBegan(2, 220, 100);
    EXPECT_EQ(layer->getTouchMode(), Layer::kPinch);
    touchMoved(1, 155, 100);
    touchMoved(2, 245, 100);  // 50 units so far
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 15);
    touchMoved(1, 130, 100);  // 75
    touchMoved(2, 270, 100);  // 100: one step up
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 16);
    EXPECT_EQ(model->power_setting.powerAmplitudeIndex, 2);
    EXPECT_EQ(popover->horizontalNew, 16);
    EXPECT_EQ(popover->horizontalOld, 15);
    EXPECT_EQ(popover->horizontalSteps, 20);
    EXPECT_TRUE(popover->touchHeld);
    touchEnded(1, 130, 100);
    EXPECT_FALSE(popover->touchHeld);
    EXPECT_EQ(control.commits, 0);
    touchEnded(2, 270, 100);
    EXPECT_EQ(control.commits, 1);

    // Vertical pinching in steps the amplitude down.
    touchBegan(1, 200, 40);
    touchBegan(2, 200, 160);
    touchMoved(1, 200, 90);
    touchMoved(2, 200, 110);
    EXPECT_EQ(model->power_setting.powerAmplitudeIndex, 1);
    touchEnded(1, 200, 90);
    touchEnded(2, 200, 110);

    model->runtime.deviceConnected = false;
    touchBegan(1, 180, 100);
    touchBegan(2, 220, 100);
    EXPECT_NE(layer->getTouchMode(), Layer::kPinch);
    touchMoved(1, 80, 100);
    touchMoved(2, 320, 100);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 16);
    touchEnded(1, 80, 100);
    touchEnded(2, 320, 100);
}

TEST_F(PowerTouchTest, WheelNotchesStepTheTimeBaseOrWithShiftTheAmplitude) {
    Layer* layer = addLayer();
    // A wheel turn is a scroll of its own: one notch, one step, no touch, no pinch travel.
    wheel(200, 100, 1);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 16);
    EXPECT_EQ(model->power_setting.powerAmplitudeIndex, 2);
    EXPECT_TRUE(layer->isAnimating() || layer->getTouchMode() == Layer::kNoTouch);
    wheel(200, 100, -3);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 13);
    wheel(200, 100, 1, 0, KMOD_LSHIFT);
    EXPECT_EQ(model->power_setting.powerAmplitudeIndex, 3);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 13);
    // Outside the layer the wheel changes nothing.
    wheel(600, 100, 1);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 13);
    // Sent once the wheel rests, not per notch.
    EXPECT_EQ(control.commits, 0);
    step(60);
    EXPECT_EQ(control.commits, 1);
    // Without an accessory the wheel zooms nothing, as pinching does not.
    model->runtime.deviceConnected = false;
    wheel(200, 100, 1);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 13);
}

TEST_F(PowerTouchTest, HeldCaptureGesturesRescaleTheView) {
    model->runtime.runState = SpectrumSettings::kPaused;
    model->power_setting.triggerDelay = 0.001f;
    addLayer();
    touchBegan(0, 210, 100);
    RuntimeState& run = model->runtime;
    EXPECT_TRUE(run.captureRescale);
    EXPECT_EQ(run.captureTimeBaseIndex, 15);
    EXPECT_FLOAT_EQ(run.captureDelay, 0.001f);
    touchMoved(0, 190, 100);
    EXPECT_LT(run.viewDelay, 0.001f);
    EXPECT_FLOAT_EQ(run.captureDelay, 0.001f);
    touchEnded(0, 190, 100);
}

TEST_F(PowerTouchTest, PanelShowsTheChosenMeasurements) {
    uint8_t* slots = model->power_setting.measureSlots;
    slots[0] = PulseMeasurement::kPeriod;
    slots[1] = 77;  // damaged: no row
    slots[2] = PulseMeasurement::kRiseTime;
    slots[3] = PulseMeasurement::kMean;
    model->live.pulseMeasurements[PulseMeasurement::kPeriod] = 0.00123f;
    model->live.pulseMeasurements[PulseMeasurement::kMean] = -25.0f;
    model->common_settings.externalAttenuation = 10.0f;
    Layer* layer = addLayer();
    ASSERT_NE(layer->getPanel(), nullptr);
    EXPECT_TRUE(layer->getPanel()->isVisible());
    EXPECT_EQ(layer->getPanelName(0)->getString(), "Period:");
    EXPECT_EQ(layer->getPanelValue(0)->getString(), "1.23 ms");
    EXPECT_FALSE(layer->getPanelName(1)->isVisible());
    EXPECT_EQ(layer->getPanelValue(2)->getString(), "--");
    EXPECT_EQ(layer->getPanelValue(3)->getString(), "-15.00dBm");
    // Rows follow each other without the gap of the damaged slot.
    EXPECT_NEAR(layer->getPanelName(0)->getPosition().y - layer->getPanelName(2)->getPosition().y,
                layer->getPanelName(2)->getPosition().y - layer->getPanelName(3)->getPosition().y,
                0.01f);
    EXPECT_EQ(layer->getPanelValue(0)->getTextColor().g, 255);
}

TEST_F(PowerTouchTest, PanelShowsStatisticsOverTheCapturesSinceTheReset) {
    using Panel = PowerMeasurementPanel;
    uint8_t* slots = model->power_setting.measureSlots;
    slots[0] = PulseMeasurement::kPeriod;
    slots[1] = PulseMeasurement::kMax;
    PulseMeasurement::Results r = PowerTraceSet::notMeasured();
    for (float period : {20e-6f, 30e-6f, 25e-6f}) {
        r[PulseMeasurement::kPeriod] = period;
        r[PulseMeasurement::kMax] = -20.f - period * 1e5f;  // -22, -23, -22.5 dBm
        model->pulseStatistics.add(r);
    }
    model->live.pulseMeasurements = r;
    Layer* layer = addLayer();
    const Panel& panel = layer->getPanelRows();
    EXPECT_EQ(layer->getPanelValue(0)->getString(), "25.00 µs");
    EXPECT_EQ(panel.statistic(0, Panel::kMean)->getString(), "25.00 µs");
    EXPECT_EQ(panel.statistic(0, Panel::kMin)->getString(), "20.00 µs");
    EXPECT_EQ(panel.statistic(0, Panel::kMax)->getString(), "30.00 µs");
    EXPECT_EQ(panel.statistic(1, Panel::kMin)->getString(), "-23.00dBm");
    EXPECT_EQ(panel.captures()->getString(), "Captures: 3");
    // The statistics share the row of their measurement.
    EXPECT_FLOAT_EQ(panel.statistic(1, Panel::kMax)->getPosition().y,
                    layer->getPanelName(1)->getPosition().y);

    // A capture with a single edge keeps the row on the steady period; the count goes on.
    r[PulseMeasurement::kPeriod] = NAN;
    model->pulseStatistics.add(r);
    model->live.pulseMeasurements = r;
    step(1);
    EXPECT_EQ(layer->getPanelValue(0)->getString(), "25.00 µs");
    EXPECT_EQ(panel.captures()->getString(), "Captures: 4");
    for (uint32_t i = 1; i < PowerMeasurementStatistics::kHeldCaptures; ++i)
        model->pulseStatistics.add(r);
    step(1);
    EXPECT_EQ(layer->getPanelValue(0)->getString(), "Low Freq");  // the signal really changed
    EXPECT_EQ(panel.statistic(0, Panel::kMean)->getString(), "25.00 µs");

    model->resetPulseStatistics();
    step(1);
    EXPECT_EQ(panel.captures()->getString(), "Captures: 0");
    EXPECT_EQ(panel.statistic(0, Panel::kMin)->getString(), "Low Freq");
}

TEST_F(PowerTouchTest, SnapshotOfTheTriggeredView) {
    GridLayer* grid = GridLayer::create();
    grid->setPosition(10, 10);
    grid->setContentSize(engine::Size(400, 200));
    grid->rebuildGrid();
    scene->addChild(grid);
    PowerLayer* trace = PowerLayer::createWithModel(model.get());
    trace->setPosition(10, 10);
    trace->setContentSize(engine::Size(400, 200));
    scene->addChild(trace);
    uint8_t* slots = model->power_setting.measureSlots;
    const uint8_t chosen[] = {0, 1, 3, 5, 13, 21};
    std::copy(std::begin(chosen), std::end(chosen), slots);
    std::vector<float> capture(240);
    for (size_t j = 0; j < capture.size(); ++j) {
        const size_t phase = (j + 10) % 40;
        capture[j] = phase < 18 ? -12.0f : -34.0f;
    }
    model->live.appendCapture(capture.data(), capture.size());
    PulseMeasurement::storeInModel(*model, capture.data(), capture.size(), 1e-4f);
    Layer* layer = addLayer();
    touchBegan(0, 300, 100);
    touchMoved(0, 280, 100);
    step(10);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(layer->getBubbleLabel()->isVisible());
    EXPECT_GT(countLit(image, 10, 10, 410, 210), 1000);
    EXPECT_TRUE(image.saveToFile("power-triggered.png"));
    touchEnded(0, 280, 100);
}
