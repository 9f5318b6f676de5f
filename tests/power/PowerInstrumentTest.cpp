// The power view changes settings only through the instrument: what it writes makes the stored
// configuration stale and asks the accessory for the settings again, by mouse and by key alike.
#include <gtest/gtest.h>

#include "instrument/Instrument.h"
#include "tests/power/PowerTestSupport.h"
#include "tests/support/FakeAccessoryControl.h"
#include "views/power/PowerUIAndTouchLayer.h"

namespace {

using namespace powertest;
using Layer = PowerUIAndTouchLayer;

// View (10, 10) 400 x 200, 1 ms/div at step 15, -40 ... 0 dBm, an accessory attached.
class PowerInstrumentTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        AccessoryDescription& a = model->accessory;
        for (int i = 0; i < 20; ++i)
            a.powerTimeBases.push_back(1e-3f * static_cast<float>(i + 1) / 16.0f);
        a.powerAmplitudes = {1, 2, 5, 10, 20};
        a.powerRollLimitIndex = 10;
        a.powerAxisMin = -40.f;
        a.powerAxisMax = 0.f;
        model->power_setting.powerTimeBaseIndex = 15;
        model->power_setting.powerAmplitudeIndex = 2;
        model->runtime.deviceConnected = true;
        layer = Layer::createWithInstrument(&instrument);
        ASSERT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(400, 200));
        scene->addChild(layer);
        step(1);
    }

    FakeAccessoryControl control;
    Instrument instrument{*model, &control};
    Layer* layer = nullptr;
};

TEST_F(PowerInstrumentTest, ADraggedDelayIsStoredAndSentWithoutClearing) {
    touchBegan(0, 210, 100);
    touchMoved(0, 230, 100);
    // Nothing is sent while the finger moves.
    EXPECT_EQ(control.reconfigures, 0);
    touchMoved(0, 250, 100);
    touchEnded(0, 250, 100);
    EXPECT_NEAR(model->power_setting.triggerDelay, model->accessory.powerTimeBases[15], 1e-7);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(control.reconfigureClearData, std::vector<bool>{false});
}

TEST_F(PowerInstrumentTest, AKeyedLevelReArmsATakenShotAndClearsItsCapture) {
    model->runtime.runState = SpectrumSettings::kSingleShotTaken;
    const float before = model->power_setting.triggerLevel;
    ASSERT_TRUE(layer->nudgeTriggerLevel(2));
    EXPECT_FLOAT_EQ(model->power_setting.triggerLevel, before + 2.f);
    EXPECT_EQ(model->runtime.runState.load(), SpectrumSettings::kSingleShotArmed);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(control.reconfigureClearData, std::vector<bool>{true});

    // The delay key keeps the data.
    ASSERT_TRUE(layer->nudgeTriggerDelay(-1));
    EXPECT_FALSE(control.lastClearData());
    EXPECT_EQ(instrument.changeCount(), 2u);
}

TEST_F(PowerInstrumentTest, MovingATraceIsStoredButNotSent) {
    touchBegan(0, 15, 15);  // the live trace's ground handle, bottom left
    ASSERT_EQ(layer->getTouchMode(), Layer::kGround);
    touchMoved(0, 15, 45);
    touchEnded(0, 15, 45);
    EXPECT_FLOAT_EQ(model->power_channel.offset, 30.f);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(control.totalRequests(), 0);

    // Scale steps wait for the gesture's end.
    instrument.storeSaved();
    layer->stepScalesBy(1, -1);
    EXPECT_EQ(model->power_setting.powerTimeBaseIndex, 16);
    EXPECT_EQ(model->power_setting.powerAmplitudeIndex, 1);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(control.totalRequests(), 0);
}

}  // namespace
