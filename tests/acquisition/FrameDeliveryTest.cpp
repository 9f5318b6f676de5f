// The model's owner applies what the link hands over one frame at a time and in order: a clear
// on acknowledgement takes what came before it and nothing after, a run state that does not want
// measurements drops them, the single shot is taken once, and the settings the link reads are
// published back after every delivery.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "acquisition/FrameDelivery.h"
#include "model/DataLogFile.h"
#include "model/DemoTriggerPresets.h"
#include "model/SpectrumSettings.h"
#include "tests/support/FakeAccessoryControl.h"

namespace {

struct DeliveryRig {
    DeliveryRig() {
        delivery.setAccessoryControl(&control);
        model.accessory.hasSpectrum24 = true;
    }
    size_t deliver(std::vector<LinkFrame> frames) { return delivery.deliver(frames); }

    SpectrumSettings model;
    DataLogFile log{""};
    FakeAccessoryControl control;
    FrameDelivery delivery{model, log};
};

SweepFrame sweep(float level) {
    return SweepFrame{1, std::vector<float>(95, level)};
}

AccessPointFrame scanOf(uint8_t lastBssidByte, uint64_t now) {
    auto list = std::make_shared<AccessPointList>();
    auto ap = std::make_unique<AccessPoint>();
    ap->bssid[5] = lastBssidByte;
    ap->rssi = -60.0f;
    list->push_back(std::move(ap));
    return AccessPointFrame{list, now};
}

std::vector<LinkFrame> frames(std::initializer_list<LinkFrame> list) {
    return std::vector<LinkFrame>(list);
}

}  // namespace

TEST(FrameDelivery, AnAcknowledgementClearsWhatCameBeforeItAndKeepsWhatFollows) {
    DeliveryRig rig;
    EXPECT_EQ(rig.deliver(
                  frames({sweep(-70.f), sweep(-71.f),
                          LinkEvent::make(LinkEvent::kSettingsAcknowledged, true), sweep(-40.f)})),
              3u);
    EXPECT_EQ(rig.model.band24.sweepCount(), 1) << "a sweep of the old settings outlived the clear";
    EXPECT_EQ(rig.model.runtime.triggerStatus.load(), RuntimeState::kNoTriggerFor2s);

    // Without the clear flag the acknowledgement keeps the data.
    rig.deliver(frames({LinkEvent::make(LinkEvent::kSettingsAcknowledged, false), sweep(-41.f)}));
    EXPECT_EQ(rig.model.band24.sweepCount(), 2);
}

TEST(FrameDelivery, TakesTheSingleShotOnceAndDropsWhatFollowsIt) {
    DeliveryRig rig;
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    EXPECT_EQ(rig.deliver(frames({sweep(-70.f), sweep(-60.f), sweep(-50.f)})), 1u);
    EXPECT_EQ(rig.model.band24.sweepCount(), 1);
    EXPECT_EQ(rig.model.runtime.runState.load(), SpectrumSettings::kSingleShotTaken);
    EXPECT_EQ(rig.control.halts, 1);
    ASSERT_FALSE(rig.control.runStates.empty());
    EXPECT_EQ(rig.control.runStates.back(), SpectrumSettings::kSingleShotTaken);

    // Paused: nothing lands, nothing is asked.
    rig.model.runtime.runState = SpectrumSettings::kPaused;
    EXPECT_EQ(rig.deliver(frames({sweep(-30.f)})), 0u);
    EXPECT_EQ(rig.model.band24.sweepCount(), 1);
    EXPECT_EQ(rig.control.halts, 1);
}

TEST(FrameDelivery, TheFirstGenerationsPowerModeSweepDoesNotTakeTheShot) {
    DeliveryRig rig;
    rig.model.common_settings.spectrumMode = CommonSettings::kPowerMode;
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    rig.deliver(frames({sweep(-70.f)}));
    EXPECT_EQ(rig.model.runtime.runState.load(), SpectrumSettings::kSingleShotArmed);
    EXPECT_EQ(rig.control.halts, 0);

    rig.deliver(frames({PowerFrame{false, std::vector<float>(240, -20.f)}}));
    EXPECT_EQ(rig.model.runtime.runState.load(), SpectrumSettings::kSingleShotTaken);
    EXPECT_EQ(rig.model.live.history.size(), 1u);
    EXPECT_EQ(rig.control.halts, 1);
}

TEST(FrameDelivery, APausedScanDropsListsAndARunningOneMergesThem) {
    DeliveryRig rig;
    rig.model.runtime.scanPaused = true;
    rig.deliver(frames({scanOf(1, 1000)}));
    EXPECT_TRUE(rig.model.accessPoints.empty());
    EXPECT_EQ(rig.model.runtime.scanCount, 0);

    rig.model.runtime.scanPaused = false;
    rig.deliver(frames({scanOf(1, 2000), scanOf(2, 2100)}));
    EXPECT_EQ(rig.model.accessPoints.size(), 2u);
    EXPECT_EQ(rig.model.runtime.scanCount, 2);
}

TEST(FrameDelivery, EventsChangeTheOwnersStateInOrder) {
    DeliveryRig rig;
    rig.model.common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    auto powerOnly = std::make_shared<AccessoryDescription>();
    powerOnly->generation = 2;
    powerOnly->hasPowerMeter = true;
    powerOnly->powerAmplitudes = {10.0f, 5.0f};
    rig.deliver(frames(
        {LinkEvent::make(LinkEvent::kConnected),
         LinkEvent::make(LinkEvent::kIdentified, false, 0, powerOnly),
         LinkEvent::make(LinkEvent::kSsidAcquiring, true),
         LinkEvent::make(LinkEvent::kTriggerStatus, false, RuntimeState::kNoTriggerFor10s)}));
    EXPECT_TRUE(rig.model.runtime.deviceConnected);
    EXPECT_EQ(rig.model.accessory.generation, 2);
    EXPECT_EQ(rig.model.common_settings.spectrumMode, CommonSettings::kPowerMode)
        << "a mode the accessory cannot do stays chosen";
    EXPECT_TRUE(rig.model.runtime.modeChangedByLink);
    EXPECT_EQ(rig.model.power_setting.powerAmplitudeIndex, 0) << "no amplitude step chosen";
    EXPECT_TRUE(rig.model.runtime.ssidAcquiring);
    EXPECT_EQ(rig.model.runtime.triggerStatus.load(), RuntimeState::kNoTriggerFor10s);
    // What the link reads is the corrected model, published after the events.
    ASSERT_TRUE(rig.control.lastPublished.has_value());
    EXPECT_TRUE(*rig.control.lastPublished == LinkSettings::of(rig.model));
    EXPECT_FALSE(rig.control.lastPublished->spectrumMode());

    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogOn;
    rig.deliver(frames({LinkEvent::make(LinkEvent::kDisconnected)}));
    EXPECT_FALSE(rig.model.runtime.deviceConnected);
    EXPECT_FALSE(rig.model.runtime.ssidAcquiring);
    EXPECT_EQ(rig.model.runtime.dataLogState.load(), SpectrumSettings::kDataLogOff);
}

TEST(FrameDelivery, ADemonstrationPresetKeepsTheUsersOwnTrigger) {
    DeliveryRig rig;
    rig.deliver(frames({LinkEvent::make(LinkEvent::kDemoTriggerPreset, false, 1)}));
    const float preset = rig.model.power_setting.triggerLevel;
    EXPECT_TRUE(DemoTriggerPresets::unchosen(rig.model.power_setting));

    rig.model.power_setting.triggerLevel = -12.5f;  // the user's own
    rig.deliver(frames({LinkEvent::make(LinkEvent::kDemoTriggerPreset, false, 2)}));
    EXPECT_EQ(rig.model.power_setting.triggerLevel, -12.5f);
    EXPECT_NE(preset, -12.5f);
}

TEST(FrameDelivery, SweepsAloneCostOneSettingsCopyAndAnEventItsCorrectedOne) {
    DeliveryRig rig;
    rig.deliver(frames({sweep(-70.f), sweep(-60.f)}));
    EXPECT_EQ(rig.control.publications, 1) << "a frame of sweeps copied the settings twice";
    EXPECT_EQ(rig.model.band24.sweepCount(), 2);
    // A description corrects the settings: what the link reads follows at once.
    auto description = std::make_shared<AccessoryDescription>();
    description->generation = 2;
    description->hasSpectrum24 = true;
    rig.deliver(
        frames({sweep(-50.f), LinkEvent::make(LinkEvent::kIdentified, false, 0, description)}));
    EXPECT_EQ(rig.control.publications, 3);
    ASSERT_TRUE(rig.control.lastPublished.has_value());
    EXPECT_TRUE(*rig.control.lastPublished == LinkSettings::of(rig.model));
}
