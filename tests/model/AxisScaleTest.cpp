// The numbers along the plot's edges: each label's value is the value of the grid line it marks,
// whatever the band, scale, attenuation, time base or unit; fewer labels when space is short.
#include "model/AxisScale.h"

#include <gtest/gtest.h>

#include "model/SpectrumSettings.h"

namespace {

TEST(AxisScale, FrequencyLabelsAreTheGridLinesFrequencies) {
    const AxisScale::Axis a24 = AxisScale::spectrumFrequency(0);
    const std::vector<AxisScale::Tick> ticks = AxisScale::ticks(a24, 1);
    ASSERT_EQ(ticks.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(ticks[static_cast<size_t>(i)].division, i);
        EXPECT_FLOAT_EQ(ticks[static_cast<size_t>(i)].value, 2400.0f + 10.0f * i);
    }
    EXPECT_EQ(ticks[5].text, "2450");
    // 5 GHz: 715 MHz over ten divisions, so every other line falls on half a megahertz.
    const std::vector<AxisScale::Tick> t5 = AxisScale::ticks(AxisScale::spectrumFrequency(1), 1);
    EXPECT_EQ(t5.front().text, "5145");
    EXPECT_EQ(t5[1].text, "5216.5");
    EXPECT_EQ(t5[2].text, "5288");
    EXPECT_EQ(t5.back().text, "5860");
    EXPECT_EQ(AxisScale::unit(a24), "MHz");
}

TEST(AxisScale, LevelLabelsFollowTheAxisTheAttenuationAndTheUnit) {
    SpectrumSettings model;
    model.accessory.levelMin24 = -110.0f;
    model.accessory.levelMax24 = -30.0f;
    std::vector<AxisScale::Tick> ticks = AxisScale::ticks(AxisScale::spectrumLevel(model, 0), 2);
    ASSERT_EQ(ticks.size(), 5u);  // every second of 8 divisions
    EXPECT_EQ(ticks[0].text, "-110");
    EXPECT_EQ(ticks[1].text, "-90");
    EXPECT_EQ(ticks[4].text, "-30");

    // A scale change (the pinch) moves the labels with it.
    model.accessory.levelMax24 = -50.0f;  // 7.5 dB per division
    ticks = AxisScale::ticks(AxisScale::spectrumLevel(model, 0), 1);
    EXPECT_EQ(ticks[1].text, "-102.5");
    EXPECT_EQ(ticks[8].text, "-50");

    // With an accessory the readouts include the attenuation; so do the labels.
    model.runtime.deviceConnected = true;
    model.common_settings.externalAttenuation = 20.0f;
    ticks = AxisScale::ticks(AxisScale::spectrumLevel(model, 0), 8);
    EXPECT_EQ(ticks.front().text, "-90");
    EXPECT_EQ(ticks.back().text, "-30");

    // Watts: the axis stays in dB, each line reads its power with a prefix.
    model.common_settings.powerUnitsWatts = 1;
    model.runtime.deviceConnected = false;
    model.accessory.levelMin24 = -30.0f;
    model.accessory.levelMax24 = 10.0f;
    ticks = AxisScale::ticks(AxisScale::spectrumLevel(model, 0), 8);
    EXPECT_EQ(ticks.front().text, "1.0 µW");
    EXPECT_EQ(ticks.back().text, "10.0 mW");
    EXPECT_EQ(AxisScale::unit(AxisScale::spectrumLevel(model, 0)), "");
}

TEST(AxisScale, WaterfallTimeIsTheSweepAgeOverTheFullHeight) {
    SpectrumSettings model;
    model.accessory.optionBytes[1] = 3;
    model.accessory.spectrumInterval24 = 0.1f;
    model.spectrum_settings.waterfallTimeScaleIndex = 0;
    // 500 sweeps of 0.3 s fill the height: 150 s, 18.75 s per division, newest at the top.
    AxisScale::Axis axis = AxisScale::waterfallTime(model, 0);
    EXPECT_FLOAT_EQ(axis.first, -150.0f);
    EXPECT_FLOAT_EQ(axis.last, 0.0f);
    std::vector<AxisScale::Tick> ticks = AxisScale::ticks(axis, 1);
    EXPECT_EQ(ticks.back().text, "0 s");
    EXPECT_FLOAT_EQ(ticks[7].value, -18.75f);
    // Time scale 5 stretches the picture: a fifth of the time over the same height.
    model.spectrum_settings.waterfallTimeScaleIndex = 2;
    axis = AxisScale::waterfallTime(model, 0);
    EXPECT_FLOAT_EQ(axis.first, -30.0f);
    EXPECT_EQ(AxisScale::ticks(axis, 4)[0].text, "-30.0 s");
}

TEST(AxisScale, PowerTimeRunsFromTheTriggerPointOrTheNewestSample) {
    SpectrumSettings model;
    model.accessory.powerTimeBases = {1e-6f, 2e-6f};
    model.power_setting.powerTimeBaseIndex = 0;
    model.power_setting.triggerDelay = 0.0f;
    AxisScale::Axis axis = AxisScale::powerTime(model);
    ASSERT_FALSE(model.isRolling());
    // The trigger in the middle: -5 µs to +5 µs.
    EXPECT_NEAR(axis.first, -5e-6f, 1e-12f);
    EXPECT_NEAR(axis.last, 5e-6f, 1e-12f);
    std::vector<AxisScale::Tick> ticks = AxisScale::ticks(axis, 1);
    EXPECT_EQ(ticks[5].text, "0 s");
    EXPECT_EQ(ticks[6].text, "1.0 µs");
    // The labels measure from wherever the trigger point is drawn.
    model.power_setting.triggerDelay = 2e-6f;
    const float p = AxisScale::triggerFraction(model);
    // A positive delay puts the trigger right of the middle, where the accessory puts it.
    EXPECT_NEAR(p, 0.7f, 1e-5f);
    axis = AxisScale::powerTime(model);
    EXPECT_NEAR(AxisScale::valueAt(axis, 0), -p * 10e-6f, 1e-12f);
    EXPECT_NEAR(axis.last - axis.first, 10e-6f, 1e-12f);
}

TEST(AxisScale, StrideLeavesRoomForEveryLabelAndLabelsSitOnTheGridLines) {
    // 47 px divisions (480 px window) and 45 px labels: every division; 60 px labels: every
    // second; a label wider than the whole axis: none.
    EXPECT_EQ(AxisScale::strideFor(10, 47.0f, 45.0f), 1);
    EXPECT_EQ(AxisScale::strideFor(10, 47.0f, 60.0f), 2);
    EXPECT_EQ(AxisScale::strideFor(10, 47.0f, 100.0f), 5);
    EXPECT_EQ(AxisScale::strideFor(8, 30.0f, 70.0f), 4);
    EXPECT_EQ(AxisScale::strideFor(10, 47.0f, 600.0f), 0);
    EXPECT_EQ(AxisScale::strideFor(10, 0.0f, 1.0f), 0);
    // The grid's own formula: (L - 4) i / n + 2.
    EXPECT_FLOAT_EQ(AxisScale::position(404.0f, 3, 10, 2.0f), 122.0f);
    EXPECT_FLOAT_EQ(AxisScale::position(324.0f, 8, 8, 2.0f), 322.0f);
    // A stride of 2 of 10 keeps both ends.
    const auto ticks = AxisScale::ticks(AxisScale::spectrumFrequency(0), 2);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks.back().division, 10);
    // An axis that is not a number has no labels.
    AxisScale::Axis broken = AxisScale::spectrumFrequency(0);
    broken.last = broken.first;
    EXPECT_TRUE(AxisScale::ticks(broken, 1).empty());
}

}  // namespace
