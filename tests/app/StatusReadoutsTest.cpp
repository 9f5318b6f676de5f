#include "app/StatusReadouts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/SpectrumSettings.h"

namespace {

// The plotting rectangle of the 960 x 640 window with the 75-point bar.
constexpr float kW = 958.f;
constexpr float kH = 640.f - 75.f - 2.f;
// Positions half a step past a whole number of steps, so that cutting to steps is exact.
constexpr float kQ = kW / 1000.f;
constexpr float steps(float n) {
    return (n + 0.5f) * kQ;
}
constexpr float levelSteps(float n) {
    return (n + 0.5f) * (kH / 800.f);
}

class StatusReadoutsTest : public ::testing::Test {
  protected:
    SpectrumSettings m;
    void powerMode() { m.common_settings.spectrumMode = 0; }
    void withTimeBases() {
        m.accessory.powerTimeBases = {1e-6f, 1e-3f, 0.1f, 1.f};
        m.accessory.powerRollLimitIndex = 1;  // index 0 rolls
        m.power_setting.powerTimeBaseIndex = 1;
    }
    void cursorsAt(float selected, float other) {
        m.cursors.cursorsShown = 1;
        m.cursors.selectedCursor = 0;
        m.cursors.verticalX[0] = selected;
        m.cursors.verticalX[1] = other;
    }
    std::pair<std::string, std::string> position() {
        std::pair<std::string, std::string> texts;
        StatusReadouts::positionTexts(m, kW, texts.first, texts.second);
        return texts;
    }
};

TEST_F(StatusReadoutsTest, AmplitudeLabelPerViewAndUnit) {
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:10.00dB/div");  // -90..-10 dBm over 8
    // Watts change the readouts, not the axis: it stays logarithmic, 10 dB a division.
    m.common_settings.powerUnitsWatts = 1;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:10.00dB/div");
    m.common_settings.powerUnitsWatts = 0;
}

TEST_F(StatusReadoutsTest, WaterfallLabelIsTheTimeOfOneGridDivision) {
    // 500 sweeps fill the eight divisions at factor 1: 62.5 sweeps a division of 0.2 s each.
    m.spectrum_settings.viewMode = 1;
    m.accessory.spectrumInterval24 = 0.2f;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:12.50 s/div");
    // Factor 2: 250 sweeps fill the height, 31.25 a division of 0.25 s.
    m.accessory.spectrumInterval24 = 0.25f;
    m.spectrum_settings.waterfallTimeScaleIndex = 1;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:7.81 s/div");
    // Band 5, option byte 2 (two intervals a sweep), factor 5: 12.5 sweeps of 2.5 s.
    m.spectrum_settings.band = 1;
    m.accessory.optionBytes[2] = 2;
    m.accessory.spectrumInterval5 = 1.25f;
    m.spectrum_settings.waterfallTimeScaleIndex = 2;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:31.25 s/div");

    // Power: the accessory's axis range; a generation without a power axis has NaN.
    powerMode();
    m.accessory.powerAxisMin = -60.f;
    m.accessory.powerAxisMax = 20.f;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:10.00dB/div");
    m.accessory.powerAxisMin = NAN;
    EXPECT_EQ(StatusReadouts::amplitudeText(m), "A:--dB/div");
}

TEST_F(StatusReadoutsTest, DivisionLabelPerBandAndTimeBase) {
    EXPECT_EQ(StatusReadouts::divisionText(m), "Hz:10.00 MHz/div");
    m.spectrum_settings.band = 1;
    EXPECT_EQ(StatusReadouts::divisionText(m), "Hz:71.50 MHz/div");
    powerMode();
    EXPECT_EQ(StatusReadouts::divisionText(m), "T:--sec/div");  // no time-base list yet
    withTimeBases();
    EXPECT_EQ(StatusReadouts::divisionText(m), "T:1 msec/div");
}

TEST_F(StatusReadoutsTest, TriggerLabelByStatus) {
    powerMode();
    withTimeBases();
    m.runtime.triggerStatus = 0;
    EXPECT_EQ(StatusReadouts::triggerText(m), "TRIG");
    m.runtime.triggerStatus = 1;
    m.power_setting.triggerAuto = 1;
    EXPECT_EQ(StatusReadouts::triggerText(m), "AUTO");
    m.power_setting.triggerAuto = 0;
    EXPECT_EQ(StatusReadouts::triggerText(m), "TRIG?");
    m.runtime.triggerStatus = 2;
    EXPECT_EQ(StatusReadouts::triggerText(m), "TRIG?");
    m.power_setting.powerTimeBaseIndex = 0;  // rolling
    EXPECT_EQ(StatusReadouts::triggerText(m), "");
}

TEST_F(StatusReadoutsTest, SpectrumFrequencyReadouts) {
    // Mid-width is 2450 MHz; the cursors are cut to steps of W / 1000 first.
    cursorsAt(steps(500), steps(500) - steps(250));
    auto [at, delta] = position();
    EXPECT_EQ(at, "@Hz: 2450 MHz");
    EXPECT_EQ(delta, "ΔHz: 25.0 MHz");
    // A position between two steps falls back to the lower one.
    cursorsAt(479.9f, 479.f);
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@Hz: 2450 MHz");
    EXPECT_EQ(delta, "ΔHz: 0 Hz");
    m.spectrum_settings.band = 1;
    cursorsAt(0.f, steps(1000));
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@Hz: 5145 MHz");
    EXPECT_EQ(delta, "ΔHz: 715 MHz");
}

TEST_F(StatusReadoutsTest, PowerTimeReadoutsAndTheirFrequencies) {
    powerMode();
    withTimeBases();  // 1 ms/div: 10 ms across the width, trigger in the middle
    cursorsAt(479.f, 479.f + steps(200));
    auto [at, delta] = position();
    EXPECT_EQ(at, "@t: 0 s");
    EXPECT_EQ(delta, "Δt: 2.00 ms");
    m.cursors.positionReference = 1;
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@t: 0 Hz");  // 1 / 0 shows 0
    EXPECT_EQ(delta, "Δt: 500 Hz");
    cursorsAt(300.f, 300.f);
    std::tie(at, delta) = position();
    EXPECT_EQ(delta, "Δt: ∞Hz");
    // Trigger delay moves the zero: 1 ms later puts it a tenth of the width right, where the
    // accessory's pre-trigger count puts the trigger.
    m.cursors.positionReference = 0;
    m.power_setting.triggerDelay = 0.001f;
    cursorsAt(479.f + 95.8f + steps(100), 479.f);
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@t: 1.00 ms");
    // Without a time base there is no time.
    m.accessory.powerTimeBases.clear();
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@t: --s");
}

TEST_F(StatusReadoutsTest, DegreeAndPercentReadouts) {
    // Three quarters of the width: +180 degrees, +50 percent; a quarter of it apart.
    cursorsAt(steps(750), steps(750) - steps(250));
    m.cursors.positionUnit = 1;
    auto [at, delta] = position();
    EXPECT_EQ(at, "@Hz:180 °");
    EXPECT_EQ(delta, "ΔHz:180 °");
    m.cursors.positionUnit = 2;
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@Hz:50.0 %");
    EXPECT_EQ(delta, "ΔHz:50.0 %");
    // Against a reference period from the fourth position pair.
    m.cursors.positionUnit = 1;
    m.cursors.positionReference = 1;
    const float r0 = 95.8f;
    m.cursors.positionReferencePair[0] = r0;
    m.cursors.positionReferencePair[1] = r0 + steps(200);
    cursorsAt(r0 + steps(100), r0 + steps(100) + steps(100));
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@Hz:180 °");
    EXPECT_EQ(delta, "ΔHz:180 °");
    m.cursors.positionReferencePair[1] = r0;  // empty period
    std::tie(at, delta) = position();
    EXPECT_EQ(at, "@Hz:--°");
    EXPECT_EQ(delta, "ΔHz:--°");
}

TEST_F(StatusReadoutsTest, LevelReadoutPairsFollowTheTraceSlots) {
    m.cursors.cursorsShown = 1;
    m.spectrum_settings.traceModes[0] = SpectrumSettings::kTraceRaw;
    m.spectrum_settings.traceModes[1] = SpectrumSettings::kTraceHeatMap;  // no readout
    m.spectrum_settings.traceModes[2] = SpectrumSettings::kTraceMaxHold;
    m.cursorReadouts.level[CursorReadouts::kRaw][0] = -50.f;
    m.cursorReadouts.level[CursorReadouts::kRaw][1] = -60.f;
    m.cursorReadouts.level[CursorReadouts::kMaximum][0] = -40.f;
    m.cursorReadouts.level[CursorReadouts::kMaximum][1] = -45.5f;
    StatusTexts t = StatusReadouts::compute(m, kW, kH);
    ASSERT_TRUE(t.pairs[0].used);
    ASSERT_TRUE(t.pairs[1].used);
    EXPECT_FALSE(t.pairs[2].used);
    EXPECT_EQ(t.pairs[0].at, "@dBm:-50.00dBm");
    EXPECT_EQ(t.pairs[0].delta, "ΔdBm:10.00dB");
    EXPECT_EQ(t.pairs[1].at, "@dBm:-40.00dBm");
    EXPECT_EQ(t.pairs[1].delta, "ΔdBm:5.50dB");
    EXPECT_EQ(t.pairs[1].colour[0], m.spectrum_settings.traceColors[3][0]);
    EXPECT_EQ(t.pairs[1].colour[1], m.spectrum_settings.traceColors[3][1]);

    // The selected cursor leads; an attached accessory's attenuation is added.
    m.cursors.selectedCursor = 1;
    m.runtime.deviceConnected = true;
    m.common_settings.externalAttenuation = 10.f;
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@dBm:-50.00dBm");
    EXPECT_EQ(t.pairs[0].delta, "ΔdBm:10.00dB");

    m.common_settings.powerUnitsWatts = 1;
    m.common_settings.externalAttenuation = 0.f;
    m.cursorReadouts.level[CursorReadouts::kRaw][0] = 10.f;  // 10 mW
    m.cursorReadouts.level[CursorReadouts::kRaw][1] = 0.f;   // 1 mW
    m.cursors.selectedCursor = 0;
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@W:10.00 mW");
    EXPECT_EQ(t.pairs[0].delta, "ΔW:9.00 mW");
    m.cursorReadouts.level[CursorReadouts::kRaw][0] = -20.2f;  // 9.55 µW
    m.cursorReadouts.level[CursorReadouts::kRaw][1] = -30.f;   // 1 µW
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@W:9.55 µW");
    EXPECT_EQ(t.pairs[0].delta, "ΔW:8.55 µW");

    // A missing readout reads "--".
    m.common_settings.powerUnitsWatts = 0;
    m.cursorReadouts.level[CursorReadouts::kRaw][0] = NAN;
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@dBm:--dBm");
}

TEST_F(StatusReadoutsTest, PowerModeReadsTheSelectedTraceInItsColour) {
    powerMode();
    withTimeBases();
    m.cursors.cursorsShown = 1;
    m.power_setting.selectedTrace = 1;
    m.cursorReadouts.level[CursorReadouts::kRaw][0] = -20.f;
    m.cursorReadouts.level[CursorReadouts::kRaw][1] = -20.f;
    StatusTexts t = StatusReadouts::compute(m, kW, kH);
    ASSERT_TRUE(t.pairs[0].used);
    EXPECT_FALSE(t.pairs[1].used);
    EXPECT_EQ(t.pairs[0].at, "@dBm:-20.00dBm");
    EXPECT_EQ(t.pairs[0].colour[0], m.reference_channel.color[0]);
    EXPECT_EQ(t.pairs[0].colour[2], m.reference_channel.color[2]);
}

TEST_F(StatusReadoutsTest, PercentLevelsAndNoReadouts) {
    m.cursors.cursorsShown = 1;
    m.spectrum_settings.traceModes[0] = SpectrumSettings::kTraceRaw;
    m.cursors.levelUnit = 2;
    m.cursors.horizontalY[0] = levelSteps(400);
    m.cursors.horizontalY[1] = levelSteps(400) - levelSteps(200);
    StatusTexts t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@dBm:50.0 %");
    EXPECT_EQ(t.pairs[0].delta, "ΔdBm:25.0 %");
    m.cursors.levelReference = 1;
    m.cursors.levelReferencePair[0] = m.cursors.levelReferencePair[1];
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_EQ(t.pairs[0].at, "@dBm:--%");
    m.cursors.levelUnit = 1;  // neither absolute nor percent
    t = StatusReadouts::compute(m, kW, kH);
    EXPECT_FALSE(t.pairs[0].used);
}

}  // namespace

namespace {

// A damaged stored selection above 1 reads as cursor 1, as the cursor layer draws it.
TEST_F(StatusReadoutsTest, SelectionAboveOneReadsTheSecondCursor) {
    cursorsAt(steps(100), steps(600));
    const auto first = position();
    m.cursors.selectedCursor = 1;
    const auto second = position();
    m.cursors.selectedCursor = 7;
    EXPECT_EQ(position(), second);
    EXPECT_NE(position().first, first.first);
}

}  // namespace
