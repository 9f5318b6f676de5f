// The controller against the simulated firmware of every generation, through the real link on the
// fake USB bus, with time stepped by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/controller/ControllerTestSupport.h"
#include "tests/sim/SimTestSupport.h"

namespace {

using Phase = AccessoryCommunicationDelegate::Phase;

struct Sent {
    std::vector<std::vector<uint8_t>> packets;
};

// The newest complete sweep of `band` the accessory sent, as dBm from its own calibration.
std::vector<float> lastSentSweep(SimEndpoints& endpoints, SimBand band) {
    const GenerationProfile& profile = endpoints.profile();
    const PacketLayout& layout = band == SimBand::Band5 ? profile.spectrum5 : profile.spectrum24;
    const LevelCalibration& cal =
        band == SimBand::Band5 ? profile.spectrumCal5 : profile.spectrumCal24;
    std::vector<std::vector<uint8_t>> sweepPackets;
    for (auto& p : splitPackets(profile, endpoints.sent())) {
        if (p.size() == layout.length && (p[1] >> 5) == 5) {
            sweepPackets.push_back(p);
        }
    }
    const size_t n = layout.segments;
    if (sweepPackets.size() < n) {
        return {};
    }
    std::vector<float> sweep(static_cast<size_t>(layout.totalValues()));
    for (size_t s = 0; s < n; ++s) {
        const auto& p = sweepPackets[sweepPackets.size() - n + s];
        size_t segment = n > 1 ? (p[1] & 0x0F) : 0;
        for (size_t k = 0; k < layout.values; ++k) {
            sweep[segment + n * k] = cal.levelOf(p[layout.headerLength + k]);
        }
    }
    return sweep;
}

std::vector<float> newestSweep(SpectrumSettings& model, BandSweepBuffers& band) {
    std::lock_guard<ModelLock> guard(model.traceLock);
    const float* sweep = band.sweep(band.sweepCount() - 1);
    if (sweep == nullptr) {
        return {};
    }
    return std::vector<float>(sweep, sweep + band.sweepPointCount);
}

int sweeps(SpectrumSettings& model, BandSweepBuffers& band) {
    std::lock_guard<ModelLock> guard(model.traceLock);
    return band.sweepCount();
}

class EveryGeneration : public ::testing::TestWithParam<SimGeneration> {};

INSTANTIATE_TEST_SUITE_P(Controller, EveryGeneration,
                         ::testing::Values(SimGeneration::Tarno, SimGeneration::Tarno2,
                                           SimGeneration::TarnoDuo),
                         [](const auto& info) {
                             return std::string(generationProfile(info.param).folder);
                         });

}  // namespace

TEST_P(EveryGeneration, DiscoveryIsRepeatedEveryPassUntilAnswered) {
    LinkRig rig(GetParam());
    ASSERT_TRUE(rig.controller.connected());
    rig.endpoints->setDeaf(true);
    rig.ticks(3);
    EXPECT_EQ(rig.sentCount({0xAA, 0x03, 0x03}), 3);
    EXPECT_FALSE(rig.controller.identified());
    rig.endpoints->setDeaf(false);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.identified(); }, 5));
    EXPECT_EQ(rig.model.accessory.generation, generationProfile(GetParam()).generationCode);
    EXPECT_TRUE(rig.model.runtime.deviceConnected);
}

TEST_P(EveryGeneration, SettingsAreSentAgainAfterFiftyPassesWithoutAcknowledgement) {
    LinkRig rig(GetParam());
    const uint8_t length = rig.endpoints->profile().settingsLength;
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.phase() == Phase::kSendSettings; }, 10));
    rig.endpoints->setDeaf(true);
    rig.tick();
    ASSERT_EQ(rig.sentCount({0xAA, length}), 1);
    ASSERT_EQ(rig.controller.phase(), Phase::kAwaitSettingsAck);
    rig.ticks(49);
    EXPECT_EQ(rig.sentCount({0xAA, length}), 1);
    EXPECT_EQ(rig.controller.ackCount(), 0);
    rig.endpoints->setDeaf(false);
    rig.ticks(2);
    EXPECT_EQ(rig.sentCount({0xAA, length}), 2);
    EXPECT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 2));
}

TEST_P(EveryGeneration, StreamsSweepsIntoTheModelWithTheAccessorysValues) {
    LinkRig rig(GetParam());
    rig.model.spectrum_settings.ssidScanOn = 0;
    ASSERT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band24) >= 5; }, 100));
    rig.pump();
    std::vector<float> expected = lastSentSweep(*rig.endpoints, SimBand::Band24);
    std::vector<float> stored = newestSweep(rig.model, rig.model.band24);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(stored.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_FLOAT_EQ(stored[i], expected[i]) << "point " << i;
    }
    std::lock_guard<ModelLock> guard(rig.model.traceLock);
    const HeatMap& map = rig.model.band24.heatMap;
    EXPECT_EQ(map.columns, static_cast<int>(expected.size()));
    EXPECT_EQ(map.rows, rig.model.accessory.levelRows24);
    // Every point of every stored sweep (at most 50) is one hit.
    long hits = 0;
    for (uint16_t c : map.counts) {
        hits += c;
    }
    EXPECT_EQ(hits, static_cast<long>(std::min(rig.model.band24.sweepCount(), 50)) *
                        static_cast<long>(expected.size()));
}

TEST(ControllerEndToEnd, ThirdGenerationStreamsTheFiveGigahertzBand) {
    LinkRig rig(SimGeneration::TarnoDuo);
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.model.spectrum_settings.band = 1;
    ASSERT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band5) >= 2; }, 100));
    rig.pump();
    std::vector<float> expected = lastSentSweep(*rig.endpoints, SimBand::Band5);
    std::vector<float> stored = newestSweep(rig.model, rig.model.band5);
    ASSERT_EQ(expected.size(), 512u);
    ASSERT_EQ(stored, expected);
    EXPECT_EQ(sweeps(rig.model, rig.model.band24), 0);
}

TEST_P(EveryGeneration, HaltPausesAndReconfigureResumesWithClearedData) {
    LinkRig rig(GetParam());
    rig.model.spectrum_settings.ssidScanOn = 0;
    const uint8_t length = rig.endpoints->profile().settingsLength;
    ASSERT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band24) >= 3; }, 100));

    rig.controller.requestHalt();
    rig.ticks(3);
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);
    rig.model.runtime.runState = SpectrumSettings::kPaused;
    const bool streams = GetParam() != SimGeneration::Tarno;
    EXPECT_EQ(rig.sentCount({0xAA, 0x03, 0x06}), streams ? 1 : 0);
    const int held = sweeps(rig.model, rig.model.band24);
    rig.ticks(20);
    EXPECT_EQ(sweeps(rig.model, rig.model.band24), held);
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);

    rig.model.runtime.runState = SpectrumSettings::kRunning;
    rig.controller.requestReconfigure(true);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 2; }, 10));
    EXPECT_EQ(rig.sentCount({0xAA, length}), 2);
    rig.tick();  // the acknowledgement's pass clears the data
    EXPECT_LE(sweeps(rig.model, rig.model.band24), 1);
    EXPECT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band24) >= 3; }, 100));
}

TEST_P(EveryGeneration, SingleShotSweepKeepsExactlyOneSweepAndHalts) {
    LinkRig rig(GetParam());
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    ASSERT_TRUE(rig.tickUntil(
        [&] { return rig.model.runtime.runState == SpectrumSettings::kSingleShotTaken; }, 100));
    rig.ticks(30);
    EXPECT_EQ(sweeps(rig.model, rig.model.band24), 1);
    EXPECT_EQ(rig.controller.phase(), Phase::kHalted);
}

TEST(ControllerEndToEnd, SingleShotPowerCaptureKeepsOneCapture) {
    for (SimGeneration generation : {SimGeneration::Tarno, SimGeneration::Tarno2}) {
        LinkRig rig(generation);
        rig.model.common_settings.spectrumMode = 0;
        rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
        ASSERT_TRUE(rig.tickUntil(
            [&] { return rig.model.runtime.runState == SpectrumSettings::kSingleShotTaken; }, 200))
            << generationProfile(generation).folder;
        rig.ticks(30);
        std::lock_guard<ModelLock> guard(rig.model.traceLock);
        ASSERT_EQ(rig.model.live.history.size(), 1u);
        EXPECT_EQ(rig.model.live.history[0].size(),
                  static_cast<size_t>(rig.endpoints->profile().power.totalValues()));
    }
}

TEST(ControllerEndToEnd, FirstGenerationPrimesWithOneSpectrumRequestBeforePower) {
    LinkRig rig(SimGeneration::Tarno);
    rig.model.common_settings.spectrumMode = 0;
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 20));
    rig.ticks(5);
    auto received = rig.endpoints->received();
    std::vector<uint8_t> requests;
    for (const auto& command : received) {
        if (command.size() == 3 && command[1] == 0x03 && command[2] != 0x03) {
            requests.push_back(command[2]);
        }
    }
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0], 0x05);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), 0x05), 1);
    EXPECT_EQ(requests[1], 0x01);
    std::lock_guard<ModelLock> guard(rig.model.traceLock);
    EXPECT_FALSE(rig.model.live.history.empty());
}

TEST(ControllerEndToEnd, RollingPowerKeepsTheNewestTwoThousandSamples) {
    for (SimGeneration generation : {SimGeneration::Tarno, SimGeneration::Tarno2}) {
        LinkRig rig(generation);
        rig.model.common_settings.spectrumMode = 0;
        // The fastest rolling time base, just below the roll limit.
        rig.model.power_setting.powerTimeBaseIndex = 3;
        ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 20));
        ASSERT_TRUE(rig.model.isRolling());
        rig.ticks(20);
        {
            std::lock_guard<ModelLock> guard(rig.model.traceLock);
            EXPECT_TRUE(rig.model.live.history.empty());
            EXPECT_GT(rig.model.live.rollingHistory.size(), 100u);
        }
        rig.ticks(1000);
        std::lock_guard<ModelLock> guard(rig.model.traceLock);
        const auto& roll = rig.model.live.rollingHistory;
        EXPECT_EQ(roll.size(), PowerTraceSet::kMaxRollingValues)
            << generationProfile(generation).folder;
        for (float v : roll) {
            ASSERT_GE(v, rig.model.accessory.powerAxisMin);
            ASSERT_LE(v, rig.model.accessory.powerAxisMax + 1.0f);
        }
    }
}

TEST(ControllerEndToEnd, ScanOfTwentyFiveAccessPointsArrivesInTwoListsThenSweepsResume) {
    // A neighbourhood whose first scan sees all 25 networks.
    uint64_t seed = 1;
    while (AccessPointScene(seed).scan(0, true, true).size() < 25 && seed < 1000) {
        ++seed;
    }
    LinkRig rig(SimGeneration::TarnoDuo, "", seed);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 20));
    rig.tick();
    EXPECT_TRUE(rig.model.runtime.ssidAcquiring);
    ASSERT_TRUE(rig.tickUntil(
        [&] {
            std::lock_guard<ModelLock> guard(rig.model.apListLock);
            return rig.model.runtime.scanCount >= 2;
        },
        60));
    // Lists the accessory sent: the announcement, one full list and the rest.
    std::vector<size_t> records;
    for (auto& p : splitPackets(rig.endpoints->profile(), rig.endpoints->sent())) {
        if (p.size() >= 4 && (p[1] >> 5) == 7) {
            records.push_back(p[2]);
        }
    }
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records[0], 0u);
    EXPECT_EQ(records[1], 20u);
    EXPECT_LT(records[2], 20u);
    {
        std::lock_guard<ModelLock> guard(rig.model.apListLock);
        EXPECT_EQ(rig.model.accessPoints.size(), records[1] + records[2]);
        EXPECT_EQ(rig.model.runtime.scanCount, 2);
    }
    EXPECT_EQ(records[1] + records[2], 25u);
    // The scan ends with a halt and the spectrum phase follows.
    EXPECT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band24) >= 3; }, 100));
    EXPECT_FALSE(rig.model.runtime.ssidAcquiring);
    EXPECT_GE(rig.sentCount({0xAA, 0x03, 0x06}), 1);
    // After the refresh interval the next scan starts.
    const int scansBefore = rig.sentCount({0xAA, 0x03, 0x07});
    rig.ticks(320);
    EXPECT_GT(rig.sentCount({0xAA, 0x03, 0x07}), scansBefore);
}

TEST(ControllerEndToEnd, SecondGenerationDeliversAccessPointsWhileSweepsKeepComing) {
    // This generation keeps its refresh while scanning: one scan request, then the sweeps.
    LinkRig rig(SimGeneration::Tarno2);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 1; }, 20));
    const int sweepsBefore = sweeps(rig.model, rig.model.band24);
    ASSERT_TRUE(rig.tickUntil(
        [&] {
            std::lock_guard<ModelLock> guard(rig.model.apListLock);
            return !rig.model.accessPoints.empty();
        },
        600));
    EXPECT_TRUE(rig.model.runtime.ssidAcquiring);
    EXPECT_EQ(rig.sentCount({0xAA, 0x03, 0x07}), 1);
    EXPECT_EQ(rig.sentCount({0xAA, 0x03, 0x06}), 0) << "the stream was halted to scan";
    // A whole pass over the channels takes several sweep periods, all of them delivered.
    const GenerationProfile& profile = rig.endpoints->profile();
    EXPECT_GE(sweeps(rig.model, rig.model.band24) - sweepsBefore,
              static_cast<int>(profile.scanDurationMs / profile.sweepPeriodMs24) - 1);
    std::lock_guard<ModelLock> guard(rig.model.apListLock);
    EXPECT_GE(rig.model.accessPoints.size(), 10u);
}

TEST(ControllerEndToEnd, ReconnectRepeatsDiscoveryAndDropsTheOldStream) {
    LinkRig rig(SimGeneration::Tarno2);
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogOn;
    ASSERT_TRUE(rig.tickUntil([&] { return sweeps(rig.model, rig.model.band24) >= 2; }, 100));
    rig.bus.unplug(rig.accessory);
    rig.link.runPass();
    rig.link.runPass();
    EXPECT_FALSE(rig.controller.connected());
    rig.controller.deliverFrames();  // the owner's hand-over tells the model
    EXPECT_FALSE(rig.model.runtime.deviceConnected);
    EXPECT_EQ(rig.model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
    EXPECT_EQ(rig.controller.phase(), Phase::kSendDiscovery);
    // A new accessory of another generation on the same port.
    auto duo = std::make_shared<SimEndpoints>(SimGeneration::TarnoDuo, rig.clock);
    rig.bus.modify(rig.accessory, [&](FakeUsbBackend::Device& d) { d.endpoints = duo; });
    rig.bus.plug(rig.accessory);
    rig.link.runPass();
    ASSERT_TRUE(rig.controller.connected());
    rig.endpoints = duo;
    ASSERT_TRUE(rig.tickUntil([&] { return rig.model.accessory.generation == 7; }, 10));
    EXPECT_TRUE(rig.tickUntil([&] { return rig.controller.phase() == Phase::kStreaming; }, 20));
}
