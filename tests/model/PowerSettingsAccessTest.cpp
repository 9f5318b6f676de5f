#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/SpectrumSettings.h"

namespace {

class PowerAccess : public ::testing::Test {
  protected:
    std::unique_ptr<SpectrumSettings> s = std::make_unique<SpectrumSettings>();
    PowerSettings& p = s->power_setting;
    AccessoryDescription& d = s->accessory;
};

TEST_F(PowerAccess, TimeBaseIsClampedIntoTheList) {
    d.powerTimeBases = {0.001f, 0.01f, 0.1f, 1.0f};
    d.powerRollLimitIndex = 2;
    p.powerTimeBaseIndex = 15;  // default, beyond a four-step list
    EXPECT_EQ(s->clampedTimeBaseIndex(), 3);
    EXPECT_FLOAT_EQ(s->timeBaseNow(), 1.0f);
    EXPECT_FALSE(s->isRolling());
    p.powerTimeBaseIndex = -3;
    EXPECT_FLOAT_EQ(s->timeBaseNow(), 0.001f);
    EXPECT_TRUE(s->isRolling());
    p.powerTimeBaseIndex = 1;
    EXPECT_TRUE(s->isRolling());
    p.powerTimeBaseIndex = 2;
    EXPECT_FALSE(s->isRolling());
}

TEST_F(PowerAccess, SteppingStopsAtBothEnds) {
    d.powerTimeBases = {1.0f, 2.0f, 5.0f};
    p.powerTimeBaseIndex = 1;
    EXPECT_TRUE(s->stepTimeBaseUp());
    EXPECT_EQ(p.powerTimeBaseIndex, 2);
    EXPECT_FALSE(s->stepTimeBaseUp());  // last index: unchanged
    EXPECT_EQ(p.powerTimeBaseIndex, 2);
    EXPECT_TRUE(s->stepTimeBaseDown());
    EXPECT_TRUE(s->stepTimeBaseDown());
    EXPECT_EQ(p.powerTimeBaseIndex, 0);
    EXPECT_FALSE(s->stepTimeBaseDown());
    EXPECT_EQ(p.powerTimeBaseIndex, 0);
}

TEST_F(PowerAccess, EmptyTimeBaseListReadsZeroAndNeverRolls) {
    d.powerTimeBases.clear();
    d.powerRollLimitIndex = 100;
    p.powerTimeBaseIndex = 5;
    EXPECT_EQ(s->timeBaseNow(), 0.0f);
    EXPECT_FALSE(s->isRolling());
    EXPECT_FALSE(s->stepTimeBaseUp());
    EXPECT_FALSE(s->stepTimeBaseDown());
    EXPECT_EQ(p.powerTimeBaseIndex, 5);
}

TEST_F(PowerAccess, AmplitudeFollowsTheSameRules) {
    EXPECT_EQ(s->amplitudeNow(), 0.0f);
    EXPECT_FALSE(s->stepAmplitudeUp());
    d.powerAmplitudes = {1.0f, 2.0f};
    // The default (-1, no choice yet) reads as the first step and steps up onto it.
    EXPECT_FLOAT_EQ(s->amplitudeNow(), 1.0f);
    EXPECT_TRUE(s->stepAmplitudeUp());
    EXPECT_EQ(p.powerAmplitudeIndex, 0);
    EXPECT_TRUE(s->stepAmplitudeUp());
    EXPECT_FALSE(s->stepAmplitudeUp());
    EXPECT_FLOAT_EQ(s->amplitudeNow(), 2.0f);
    p.powerAmplitudeIndex = 40;
    EXPECT_FLOAT_EQ(s->amplitudeNow(), 2.0f);
}

TEST_F(PowerAccess, AmplitudeOffsetNeedsAConnectionAndAValidStep) {
    s->common_settings.externalAttenuation = 10.0f;
    d.internalAttenuations[2] = 8.0f;
    d.internalAttenuationCount = 8;
    s->common_settings.internalAttenuationIndex = 2;
    EXPECT_EQ(s->amplitudeOffset(), 0.0f);  // nothing connected
    s->runtime.deviceConnected = true;
    EXPECT_FLOAT_EQ(s->amplitudeOffset(), 18.0f);

    s->common_settings.internalAttenuationIndex = 8;  // "UNKNOWN": no step added
    EXPECT_FLOAT_EQ(s->amplitudeOffset(), 10.0f);
    s->common_settings.internalAttenuationIndex = -1;
    EXPECT_FLOAT_EQ(s->amplitudeOffset(), 10.0f);

    s->common_settings.internalAttenuationIndex = 2;
    d.internalAttenuationCount = 0;  // accessory without internal attenuator
    EXPECT_FLOAT_EQ(s->amplitudeOffset(), 10.0f);
}

TEST_F(PowerAccess, AttenuationCountBeyondTheStoredStepsIsNotTrusted) {
    s->runtime.deviceConnected = true;
    d.internalAttenuationCount = 1000;
    s->common_settings.internalAttenuationIndex = 20;
    EXPECT_FLOAT_EQ(s->amplitudeOffset(), 0.0f);
}

TEST_F(PowerAccess, DescriptionFixesNegativeIndicesOnlyWhenListsExist) {
    AccessoryDescription incoming;
    incoming.hasSpectrum24 = true;
    p.powerTimeBaseIndex = -1;
    p.powerAmplitudeIndex = -1;
    s->applyDescription(incoming);  // empty lists: nothing to point at
    EXPECT_EQ(p.powerTimeBaseIndex, -1);
    EXPECT_EQ(p.powerAmplitudeIndex, -1);

    incoming.powerTimeBases.assign(18, 1.0f);
    incoming.powerAmplitudes = {1.0f};
    s->applyDescription(incoming);
    EXPECT_EQ(p.powerTimeBaseIndex, 14);
    EXPECT_EQ(p.powerAmplitudeIndex, 0);
    EXPECT_EQ(s->accessory.powerTimeBases.size(), 18u);

    p.powerTimeBaseIndex = 3;
    p.powerAmplitudeIndex = 7;
    s->applyDescription(incoming);
    EXPECT_EQ(p.powerTimeBaseIndex, 3);
    EXPECT_EQ(p.powerAmplitudeIndex, 7);
    EXPECT_FALSE(s->runtime.modeChangedByLink);
}

TEST_F(PowerAccess, DescriptionSwitchesToAModeTheAccessoryHas) {
    AccessoryDescription powerOnly;
    powerOnly.hasPowerMeter = true;
    s->applyDescription(powerOnly);
    EXPECT_FALSE(s->common_settings.spectrumMode);
    EXPECT_TRUE(s->runtime.modeChangedByLink);

    s->runtime.modeChangedByLink = false;
    AccessoryDescription scanOnly;
    scanOnly.hasSsidScan5 = true;  // any of the four spectrum and scan flags allows spectrum mode
    s->applyDescription(scanOnly);
    EXPECT_TRUE(s->common_settings.spectrumMode);
    EXPECT_TRUE(s->runtime.modeChangedByLink);

    s->runtime.modeChangedByLink = false;
    s->applyDescription(scanOnly);  // already right: no change, no flag
    EXPECT_TRUE(s->common_settings.spectrumMode);
    EXPECT_FALSE(s->runtime.modeChangedByLink);

    AccessoryDescription both;
    both.hasPowerMeter = true;
    both.hasSpectrum24 = true;
    s->common_settings.spectrumMode = 0;
    s->applyDescription(both);
    EXPECT_FALSE(s->common_settings.spectrumMode);
    EXPECT_FALSE(s->runtime.modeChangedByLink);
}

class PowerTraces : public PowerAccess {
  protected:
    void addCapture(float level) {
        s->live.history.push_back({level, level});
        s->live.processedHistory.push_back({0.0f, level, 1.0f, level});
        s->live.alpha.push_back(level < -20 ? 0.2f : 0.9f);
    }
};

TEST_F(PowerTraces, GrabbingThreeCapturesKeepsOnlyTheNewest) {
    addCapture(-30.0f);
    addCapture(-20.0f);
    addCapture(-10.0f);
    s->live.rollingHistory = {-1.0f, -2.0f};
    d.powerRollPoints = 1000;
    p.powerTimeBaseIndex = 6;
    p.powerAmplitudeIndex = 0;

    s->grabReference();

    const PowerReferenceSet& r = s->reference;
    ASSERT_EQ(r.history.size(), 1u);
    EXPECT_EQ(r.history[0], (std::vector<float>{-10.0f, -10.0f}));
    ASSERT_EQ(r.processedHistory.size(), 1u);
    EXPECT_EQ(r.processedHistory[0][1], -10.0f);
    EXPECT_EQ(r.alpha, (std::vector<float>{0.9f}));
    EXPECT_EQ(r.rollingHistory, (std::vector<float>{-1.0f, -2.0f}));
    EXPECT_EQ(r.timeScaleIndex, 6);
    EXPECT_EQ(r.amplitudeScaleIndex, 0);
    EXPECT_EQ(r.maxRollPointsNeeded, 1000);
    EXPECT_TRUE(r.isValid);
    // The live trace is copied, not moved.
    EXPECT_EQ(s->live.history.size(), 3u);
}

TEST_F(PowerTraces, GrabbingTwoCapturesKeepsTheNewer) {
    addCapture(-30.0f);
    addCapture(-10.0f);
    s->grabReference();
    ASSERT_EQ(s->reference.history.size(), 1u);
    EXPECT_EQ(s->reference.history[0][0], -10.0f);
    ASSERT_EQ(s->reference.processedHistory.size(), 1u);
    EXPECT_EQ(s->reference.alpha.size(), 1u);
}

TEST_F(PowerTraces, GrabbingOneCaptureKeepsIt) {
    addCapture(-15.0f);
    s->grabReference();
    EXPECT_EQ(s->reference.history.size(), 1u);
    EXPECT_EQ(s->reference.processedHistory.size(), 1u);
    EXPECT_EQ(s->reference.alpha.size(), 1u);
}

TEST_F(PowerTraces, ClearingPowerDataAndReference) {
    addCapture(-15.0f);
    s->live.rollingHistory = {1.0f};
    s->live.processedRollingHistory = {0.0f, 1.0f};
    s->live.pulseMeasurements[4] = 1.5f;
    s->live.powerDataChanged = false;
    s->grabReference();

    s->clearPowerData();
    EXPECT_TRUE(s->live.history.empty());
    EXPECT_TRUE(s->live.processedHistory.empty());
    EXPECT_TRUE(s->live.alpha.empty());
    EXPECT_TRUE(s->live.rollingHistory.empty());
    EXPECT_TRUE(s->live.processedRollingHistory.empty());
    EXPECT_TRUE(s->live.powerDataChanged);
    for (float v : s->live.pulseMeasurements) {
        EXPECT_TRUE(std::isnan(v));
    }
    EXPECT_TRUE(s->reference.isValid);  // the reference is separate

    s->clearReference();
    EXPECT_TRUE(s->reference.history.empty());
    EXPECT_TRUE(s->reference.alpha.empty());
    EXPECT_EQ(s->reference.timeScaleIndex, -1);
    EXPECT_EQ(s->reference.amplitudeScaleIndex, -1);
    EXPECT_EQ(s->reference.maxRollPointsNeeded, 0);
    EXPECT_FALSE(s->reference.isValid);
}

}  // namespace
