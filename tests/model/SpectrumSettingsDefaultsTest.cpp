#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "model/SpectrumSettings.h"

namespace {

using S = SpectrumSettings;

TEST(SpectrumSettingsDefaults, FreshModelReadsTheDocumentedChoices) {
    auto s = std::make_unique<S>();
    EXPECT_STREQ(S::graticuleLabel(s->graticule), "GRATICULE");
    EXPECT_STREQ(S::alertsLabel(s->alerts), "ALERTS");
    EXPECT_EQ(s->spectrum_settings.traceModes[0], 6);
    EXPECT_EQ(s->spectrum_settings.traceModes[1], 0);
    EXPECT_EQ(s->spectrum_settings.traceModes[2], 0);
    EXPECT_STREQ(S::traceModeLabel(s->spectrum_settings.traceModes[0]), "HEAT MAP");
    EXPECT_STREQ(S::traceModeLabel(s->spectrum_settings.traceModes[1]), "NONE");
    EXPECT_STREQ(S::channelGuideLabel(s->spectrum_settings.channelGuide24), "802.11n - 20MHz");
    EXPECT_EQ(S::refreshIntervalText(s->spectrum_settings.refreshInterval), "30s");
    EXPECT_EQ(s->spectrum_settings.ssidSortCriterion, S::kSortRssi);
    EXPECT_TRUE(s->spectrum_settings.ssidSortDescending);
    EXPECT_EQ(s->spectrum_settings.utilizationSortCriterion, 11);
    EXPECT_TRUE(s->spectrum_settings.utilizationSortDescending);
    EXPECT_TRUE(s->common_settings.spectrumMode);
    EXPECT_EQ(s->power_setting.powerTimeBaseIndex, 15);
    EXPECT_EQ(s->power_setting.powerAmplitudeIndex, -1);
    EXPECT_FLOAT_EQ(s->power_setting.triggerLevel, -30.56f);
    EXPECT_TRUE(s->power_channel.shown);
    EXPECT_EQ(s->power_channel.color[1], 255);
    EXPECT_FALSE(s->reference_channel.shown);
    EXPECT_EQ(s->reference_channel.color[0], 255);
    EXPECT_EQ(s->reference.timeScaleIndex, -1);
    EXPECT_FALSE(s->reference.isValid);
    EXPECT_EQ(s->band24.pointsPerSweep(), 256);
    EXPECT_EQ(s->band5.pointsPerSweep(), 512);
    EXPECT_EQ(s->band24.sweepLimit, 510);
    EXPECT_EQ(s->band5.sweepPointCount, -1);
    EXPECT_TRUE(s->band24.heatMap.dirty);
    EXPECT_EQ(s->runtime.triggerStatus, 2);
    EXPECT_TRUE(s->runtime.ssidTableChanged);
    EXPECT_TRUE(s->runtime.utilizationChanged);
    EXPECT_FALSE(s->runtime.deviceConnected);
    EXPECT_EQ(s->runtime.screenLog.load(), nullptr);
    EXPECT_STREQ(S::signalTypeLabel(s->demo.signalType), "WIFI");
    EXPECT_EQ(s->demo.hardware, 2);
    EXPECT_EQ(s->cursorReadouts.index[0], -1);
    EXPECT_TRUE(std::isnan(s->cursorReadouts.peakLists[3][4].value));
    EXPECT_TRUE(std::isnan(s->live.pulseMeasurements[22]));
}

TEST(SpectrumSettingsDefaults, InstanceIsOneFixedObject) {
    SpectrumSettings* first = S::getInstance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, S::getInstance());
    EXPECT_STREQ(S::graticuleLabel(first->graticule), "GRATICULE");
}

TEST(SpectrumSettingsDefaults, ResetRestoresSettingsButKeepsDescriptionAndMeasurements) {
    auto s = std::make_unique<S>();
    s->graticule = 4;
    s->alerts = 0;
    s->cursors.cursorsShown = 1;
    s->common_settings.spectrumMode = 0;
    s->spectrum_settings.traceModes[2] = 5;
    s->power_setting.powerTimeBaseIndex = 3;
    s->power_setting.measureSlots[5] = 7;
    s->power_channel.shown = 0;
    s->reference_channel.offset = 3.0f;
    s->demo.signalType = 3;
    s->reference.history.push_back({1.0f});
    s->reference.isValid = true;
    s->accessory.generation = 7;
    s->runtime.displayClass = 3;
    const float sweep[4] = {-50, -60, -70, -80};
    s->band24.appendSweep(sweep, 4);

    s->resetToDefaults();

    EXPECT_EQ(s->graticule, 31u);
    EXPECT_EQ(s->alerts, 3u);
    EXPECT_EQ(s->cursors.cursorsShown, 0);
    EXPECT_TRUE(s->common_settings.spectrumMode);
    EXPECT_EQ(s->spectrum_settings.traceModes[2], 0);
    EXPECT_EQ(s->power_setting.powerTimeBaseIndex, 15);
    EXPECT_EQ(s->power_setting.measureSlots[5], 255);
    EXPECT_TRUE(s->power_channel.shown);
    EXPECT_EQ(s->reference_channel.offset, 0.0f);
    EXPECT_EQ(s->demo.signalType, 1);
    EXPECT_TRUE(s->reference.history.empty());
    EXPECT_FALSE(s->reference.isValid);
    // Not settings: left alone.
    EXPECT_EQ(s->accessory.generation, 7);
    EXPECT_EQ(s->runtime.displayClass, 3);
    EXPECT_EQ(s->band24.sweepCount(), 1);
}

TEST(SpectrumSettingsLabels, GraticuleWordsForSingleBitsOnly) {
    EXPECT_STREQ(S::graticuleLabel(1), "CROSSHAIRS");
    EXPECT_STREQ(S::graticuleLabel(2), "MAJOR TICS");
    EXPECT_STREQ(S::graticuleLabel(4), "MINOR TICS");
    EXPECT_STREQ(S::graticuleLabel(8), "MAJOR GRID");
    EXPECT_STREQ(S::graticuleLabel(16), "MINOR GRID");
    EXPECT_STREQ(S::graticuleLabel(31), "GRATICULE");
    EXPECT_STREQ(S::graticuleLabel(0), "NONE");
    EXPECT_STREQ(S::graticuleLabel(3), "NONE");
    EXPECT_STREQ(S::graticuleLabel(32), "NONE");
    EXPECT_STREQ(S::graticuleLabel(63), "NONE");
}

TEST(SpectrumSettingsLabels, AlertWords) {
    EXPECT_STREQ(S::alertsLabel(1), "ON STARTUP");
    EXPECT_STREQ(S::alertsLabel(2), "ON DISCONNECT");
    EXPECT_STREQ(S::alertsLabel(3), "ALERTS");
    EXPECT_STREQ(S::alertsLabel(0), "NONE");
    EXPECT_STREQ(S::alertsLabel(4), "NONE");
}

TEST(SpectrumSettingsLabels, EnumerationsAnswerUnknownOutsideTheirRange) {
    EXPECT_STREQ(S::internalAttenuationLabel(0), "0 dB");
    EXPECT_STREQ(S::internalAttenuationLabel(7), "28 dB");
    EXPECT_STREQ(S::internalAttenuationLabel(8), "UNKNOWN");
    EXPECT_STREQ(S::internalAttenuationLabel(-1), "UNKNOWN");

    EXPECT_STREQ(S::traceModeLabel(4), "MAX HOLD");
    EXPECT_STREQ(S::traceModeLabel(5), "MIN HOLD");
    EXPECT_STREQ(S::traceModeLabel(7), "UNKNOWN");
    EXPECT_STREQ(S::traceModeLabel(255), "UNKNOWN");

    EXPECT_STREQ(S::channelGuideLabel(0), "NONE");
    EXPECT_STREQ(S::channelGuideLabel(4), "802.11n - 40MHz BELOW");
    EXPECT_STREQ(S::channelGuideLabel(11), "802.11ac - 160MHz");
    EXPECT_STREQ(S::channelGuideLabel(12), "UNKNOWN");
    EXPECT_STREQ(S::channelGuideLabel(-1), "UNKNOWN");

    EXPECT_STREQ(S::colorMapLabel(2), "X-RAY");
    EXPECT_STREQ(S::colorMapLabel(4), "UNKNOWN");
    EXPECT_STREQ(S::viewModeLabel(1), "WATERFALL");
    EXPECT_STREQ(S::viewModeLabel(2), "UNKNOWN");
    EXPECT_STREQ(S::bandLabel(0), "2.4 GHz");
    EXPECT_STREQ(S::bandLabel(1), "5 GHz");
    EXPECT_STREQ(S::bandLabel(2), "UNKNOWN");

    // The demonstration signal uses its own spelling for an unknown value.
    EXPECT_STREQ(S::signalTypeLabel(0), "NONE");
    EXPECT_STREQ(S::signalTypeLabel(3), "DSS");
    EXPECT_STREQ(S::signalTypeLabel(4), "Unknown");

    EXPECT_STREQ(S::traceStyleLabel(false), "LINES");
    EXPECT_STREQ(S::traceStyleLabel(true), "DOTS");
    EXPECT_STREQ(S::triggerSweepLabel(false), "NORMAL");
    EXPECT_STREQ(S::triggerTypeLabel(false), "DIGITAL");
}

TEST(SpectrumSettingsLabels, RefreshIntervalText) {
    EXPECT_EQ(S::refreshIntervalText(0.0f), "ALWAYS");
    EXPECT_EQ(S::refreshIntervalText(120.0f), "120s");
    EXPECT_EQ(S::refreshIntervalText(20.4f), "20s");
}

}  // namespace
