#include <gtest/gtest.h>

#include <memory>

#include "sim/HostCommands.h"
#include "sim/SimulatedAccessory.h"
#include "tests/sim/SimTestSupport.h"

namespace {

using Packets = std::vector<std::vector<uint8_t>>;

std::unique_ptr<SimulatedAccessory> make(SimGeneration g, SignalType s = SignalType::Wifi) {
    return SimulatedAccessory::create(g, 1234, s);
}

Packets drain(SimulatedAccessory& sim) {
    return splitPackets(sim.profile(), sim.readAll());
}

int typeOf(const std::vector<uint8_t>& packet) {
    return packet.size() >= 2 ? packet[1] >> 5 : -1;
}

HostCommands::PowerSetup triggeredSetup() {
    HostCommands::PowerSetup setup;
    setup.timeBaseIndex = 15;  // 10 us per division
    setup.triggerLevelDbm = -34.0f;
    setup.triggerDelay = 0.00002f;
    return setup;
}

}  // namespace

TEST(SimulatedAccessoryCommands, DiscoveryIsAnsweredAtOnceByEveryGeneration) {
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        auto sim = make(g);
        send(*sim, HostCommands::request(HostCommands::kDiscovery));
        Packets packets = drain(*sim);
        ASSERT_EQ(packets.size(), 1u);
        EXPECT_EQ(packets[0].size(), sim->profile().discoveryLength);
        EXPECT_EQ(packets[0][2], sim->profile().generationCode);
    }
}

TEST(SimulatedAccessoryCommands, CommandsSplitAcrossWritesAndGarbageBeforeThemStillWork) {
    auto sim = make(SimGeneration::Tarno2);
    std::vector<uint8_t> settings =
        HostCommands::spectrumSettings(sim->profile(), 0x42, SimBand::Band24);
    std::vector<uint8_t> first = {0x00, 0x13, 0xAA, 0x99};  // noise, then a sync with a bad length
    first.insert(first.end(), settings.begin(), settings.begin() + 7);
    sim->receive(first);
    EXPECT_EQ(sim->available(), 0u);
    sim->receive(std::vector<uint8_t>(settings.begin() + 7, settings.end()));
    EXPECT_EQ(sim->readAll(), (std::vector<uint8_t>{0xAA, 0x40, 0x42}));
    EXPECT_EQ(sim->skippedBytes(), 4u);

    sim->receive(std::vector<uint8_t>{0xAA});
    sim->receive(std::vector<uint8_t>{0x03});
    EXPECT_EQ(sim->available(), 0u);
    sim->receive(std::vector<uint8_t>{0x03});
    EXPECT_EQ(sim->available(), 60u);
}

TEST(SimulatedAccessoryCommands, SettingsOfAnotherGenerationAreNotAcknowledged) {
    auto sim = make(SimGeneration::TarnoDuo);
    send(*sim, HostCommands::spectrumSettings(generationProfile(SimGeneration::Tarno2), 1,
                                              SimBand::Band24));
    EXPECT_EQ(sim->available(), 0u);
}

TEST(SimulatedAccessoryCommands, FirstGenerationIgnoresHaltAndScan) {
    auto sim = make(SimGeneration::Tarno);
    send(*sim, HostCommands::request(HostCommands::kHalt));
    send(*sim, HostCommands::request(HostCommands::kScan));
    sim->step(5000);
    EXPECT_EQ(sim->available(), 0u);
    EXPECT_EQ(sim->ignoredCommands(), 2u);
}

TEST(SimulatedAccessoryCommands, ReadDrainsInChunksInOrder) {
    auto sim = make(SimGeneration::Tarno);
    send(*sim, HostCommands::request(HostCommands::kDiscovery));
    std::vector<uint8_t> all;
    uint8_t chunk[16];
    while (size_t n = sim->read(chunk, sizeof chunk)) {
        EXPECT_LE(n, sizeof chunk);
        all.insert(all.end(), chunk, chunk + n);
    }
    EXPECT_EQ(all.size(), 68u);
    EXPECT_EQ(all[0], 0xAA);
    EXPECT_EQ(all[2], 2);
    EXPECT_EQ(sim->read(nullptr, 10), 0u);
}

TEST(SimulatedAccessoryPolling, FirstGenerationSendsOneSweepPerRequestAfterTheSweepTime) {
    auto sim = make(SimGeneration::Tarno);
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    sim->step(99);
    EXPECT_EQ(sim->available(), 0u);
    sim->step(1);
    Packets packets = drain(*sim);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0][1], 0xA0);
    EXPECT_EQ(packets[1][1], 0xA1);
    sim->step(1000);
    EXPECT_EQ(sim->available(), 0u);  // polled: nothing without another request
}

TEST(SimulatedAccessoryPolling, RequestsDuringASweepAreLatchedOneDeep) {
    auto sim = make(SimGeneration::Tarno);
    for (int i = 0; i < 3; ++i) {
        send(*sim, HostCommands::request(HostCommands::kSpectrum));
    }
    sim->step(1000);
    EXPECT_EQ(drain(*sim).size(), 4u);  // two sweeps of two segments
}

TEST(SimulatedAccessoryStreaming, SecondGenerationStreamsSweepsUntilHalted) {
    auto sim = make(SimGeneration::Tarno2);
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    sim->step(1000);
    Packets packets = drain(*sim);
    ASSERT_EQ(packets.size(), 5u);  // one per 200 ms
    for (const auto& p : packets) {
        EXPECT_EQ(typeOf(p), 5);
        EXPECT_EQ(p.size(), 260u);
    }
    send(*sim, HostCommands::request(HostCommands::kHalt));
    EXPECT_EQ(sim->readAll(), (std::vector<uint8_t>{0xAA, 0xC0, 0x00, 0x00}));
    sim->step(5000);
    EXPECT_EQ(sim->available(), 0u);
    EXPECT_FALSE(sim->isMeasuring());
}

TEST(SimulatedAccessoryStreaming, ThirdGenerationFollowsTheBandOfTheLastSettings) {
    auto sim = make(SimGeneration::TarnoDuo);
    send(*sim, HostCommands::spectrumSettings(sim->profile(), 1, SimBand::Band5));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    sim->step(2500);
    Packets packets = drain(*sim);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].size(), 516u);
    EXPECT_EQ(packets[0][2], 1);

    send(*sim, HostCommands::spectrumSettings(sim->profile(), 2, SimBand::Band24));
    EXPECT_EQ(sim->readAll(), (std::vector<uint8_t>{0xAA, 0x40, 2}));
    sim->step(1000);
    EXPECT_EQ(sim->available(), 0u);  // new settings stop the stream
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    sim->step(1000);
    packets = drain(*sim);
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[3].size(), 260u);
    EXPECT_EQ(packets[3][2], 0);
}

TEST(SimulatedAccessoryScan, ScanStartsWithAnEmptyListThenSendsTwentyAndTheRest) {
    auto sim = make(SimGeneration::TarnoDuo);
    send(*sim, HostCommands::request(HostCommands::kScan));
    EXPECT_EQ(sim->readAll(), (std::vector<uint8_t>{0xAA, 0xE0, 0, 0}));
    sim->step(sim->profile().scanDurationMs - 1);
    EXPECT_EQ(sim->available(), 0u);
    sim->step(1);
    Packets lists = drain(*sim);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0][2], 20);
    EXPECT_GE(lists[1][2], 1);
    EXPECT_LE(lists[1][2], 5);
    // Scanning goes on until halted.
    sim->step(sim->profile().scanDurationMs);
    EXPECT_EQ(drain(*sim).size(), 2u);
    send(*sim, HostCommands::request(HostCommands::kHalt));
    EXPECT_EQ(sim->readAll().size(), 4u);
}

TEST(SimulatedAccessoryScan, SecondGenerationScansOnlyTwoPointFourGigahertz) {
    auto sim = make(SimGeneration::Tarno2);
    send(*sim, HostCommands::request(HostCommands::kScan));
    sim->step(sim->profile().scanDurationMs);
    Packets lists = drain(*sim);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0][2], 0);
    ASSERT_GE(lists[1][2], 10);
    for (int i = 0; i < lists[1][2]; ++i) {
        EXPECT_EQ(lists[1][4 + 64 * i + 46], 1) << "record " << i << " is not 2.4 GHz";
    }
}

TEST(SimulatedAccessoryScan, SecondGenerationKeepsScanningWhileItStreamsSweeps) {
    // The host asks for a scan and then for sweeps; both must keep coming until the halt.
    auto sim = make(SimGeneration::Tarno2);
    send(*sim, HostCommands::request(HostCommands::kScan));
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    const GenerationProfile& profile = sim->profile();
    sim->step(2 * uint64_t{profile.scanDurationMs});
    int sweeps = 0;
    std::vector<int> listSizes;
    for (const auto& packet : drain(*sim)) {
        ASSERT_FALSE(packet.empty()) << "output did not frame";
        if (typeOf(packet) == 5) {
            ++sweeps;
        } else if (typeOf(packet) == 7) {
            listSizes.push_back(packet[2]);
        }
    }
    EXPECT_EQ(sweeps, static_cast<int>(2 * profile.scanDurationMs / profile.sweepPeriodMs24));
    ASSERT_EQ(listSizes.size(), 3u);  // the announcement, then one list per pass
    EXPECT_EQ(listSizes[0], 0);
    EXPECT_GE(listSizes[1], 10);
    EXPECT_EQ(listSizes[2], listSizes[1]);
    // A power request changes the measurement, not the scan; the halt ends both.
    send(*sim, HostCommands::request(HostCommands::kPower));
    EXPECT_TRUE(sim->isScanning());
    send(*sim, HostCommands::request(HostCommands::kHalt));
    EXPECT_FALSE(sim->isMeasuring());
    sim->readAll();
    sim->step(2 * uint64_t{profile.scanDurationMs});
    EXPECT_EQ(sim->available(), 0u);
}

TEST(SimulatedAccessoryScan, ThirdGenerationScanAndSweepsReplaceEachOther) {
    auto sim = make(SimGeneration::TarnoDuo);
    const GenerationProfile& profile = sim->profile();
    send(*sim, HostCommands::request(HostCommands::kScan));
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    EXPECT_FALSE(sim->isScanning());
    sim->step(profile.scanDurationMs);
    for (const auto& packet : drain(*sim)) {
        EXPECT_NE(typeOf(packet) == 7 && packet[2] > 0, true) << "a replaced scan reported";
    }
    send(*sim, HostCommands::request(HostCommands::kScan));
    sim->readAll();
    sim->step(profile.scanDurationMs);
    for (const auto& packet : drain(*sim)) {
        EXPECT_EQ(typeOf(packet), 7) << "sweeps went on beside the scan";
    }
}

TEST(SimulatedAccessoryPower, TriggeredCapturesPutTheMarkedEdgeAtThePreTriggerSample) {
    auto sim = make(SimGeneration::Tarno2);
    HostCommands::PowerSetup setup = triggeredSetup();
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    // 100 us on screen, 1000 samples: the trigger sits at (50 + 20) us = sample 700.
    EXPECT_EQ(sim->settings().preTrigger, 700u);
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(1000);
    Packets captures = drain(*sim);
    ASSERT_GE(captures.size(), 9u);  // paced at ten a second
    ASSERT_LE(captures.size(), 10u);
    uint8_t level = static_cast<uint8_t>((-34.0 + 50.0) / 0.2);  // 80, rounded down
    for (const auto& c : captures) {
        ASSERT_EQ(c.size(), 1254u);
        EXPECT_EQ(c[1], 0x30);  // power, marker, segment 0
        const uint8_t* samples = &c[4];
        EXPECT_LT(samples[700 - 3], level);
        EXPECT_GE(samples[700 + 3], level);
    }
}

TEST(SimulatedAccessoryPower, ACaptureWhosePreTriggerReachesBeforeTimeZeroIsStillSent) {
    // 0.4 s on screen: the first edge comes within 10 ms, half a screen after the capture's
    // first sample.
    auto sim = make(SimGeneration::Tarno);
    HostCommands::PowerSetup setup = triggeredSetup();
    setup.timeBaseIndex = 4;
    setup.triggerDelay = 0.f;
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(1000);
    Packets segments = drain(*sim);
    ASSERT_EQ(segments.size(), 6u) << "the polled request went unanswered";
    for (const auto& segment : segments)
        EXPECT_EQ(segment[1] & 0xF0, 0x30) << "power with the trigger marker";
}

TEST(SimulatedAccessoryPower, NormalTriggerAboveThePulsesNeverCaptures) {
    auto sim = make(SimGeneration::Tarno2);
    HostCommands::PowerSetup setup = triggeredSetup();
    setup.autoTrigger = false;
    setup.triggerLevelDbm = -5.0f;
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(3000);
    EXPECT_EQ(sim->available(), 0u);

    // AUTO at the same level captures untriggered.
    setup.autoTrigger = true;
    send(*sim, HostCommands::powerSettings(sim->profile(), 2, setup));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(1000);
    Packets captures = drain(*sim);
    ASSERT_FALSE(captures.empty());
    EXPECT_EQ(captures[0][1], 0x20);
}

TEST(SimulatedAccessoryPower, FirstGenerationDropsAPolledNormalCaptureThatNeverTriggers) {
    auto sim = make(SimGeneration::Tarno);
    HostCommands::PowerSetup setup = triggeredSetup();
    setup.autoTrigger = false;
    setup.triggerLevelDbm = -5.0f;
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(2000);
    EXPECT_FALSE(sim->isMeasuring());
    EXPECT_EQ(sim->available(), 0u);
}

TEST(SimulatedAccessoryPower, RollingStreamIsContinuousAtTheRollingRate) {
    auto sim = make(SimGeneration::Tarno2);
    HostCommands::PowerSetup setup;
    setup.rolling = true;
    setup.timeBaseIndex = 1;
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    EXPECT_EQ(sim->settings().timeBaseIndex, 4);  // rolling samples at the fixed rate
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(2000);
    Packets blocks = drain(*sim);
    // 1000 samples of 0.4 ms each: one block every 400 ms.
    ASSERT_EQ(blocks.size(), 5u);
    for (const auto& b : blocks) {
        EXPECT_EQ(b[1], 0x20);
    }
}

TEST(SimulatedAccessoryPower, FirstGenerationRollingAnswersEachRequestWithOneSegment) {
    auto sim = make(SimGeneration::Tarno);
    HostCommands::PowerSetup setup;
    setup.rolling = true;
    setup.timeBaseIndex = 3;  // sent as index 5: 0.2 s per screen of 240 samples
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    EXPECT_EQ(sim->settings().timeBaseIndex, 5);
    Packets segments;
    for (int pass = 0; pass < 8; ++pass) {
        send(*sim, HostCommands::request(HostCommands::kPower));
        sim->step(100);
        for (auto& p : drain(*sim)) {
            segments.push_back(p);
        }
    }
    ASSERT_EQ(segments.size(), 8u);
    for (size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].size(), 62u);
        EXPECT_EQ(segments[i][1], 0x20 | (i % 6));
    }
}

TEST(SimulatedAccessoryDeterminism, SameSeedSameBytesOtherSeedOtherBytes) {
    auto run = [](uint64_t seed) {
        auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, seed, SignalType::Dect);
        send(*sim, HostCommands::request(HostCommands::kSpectrum));
        sim->step(3000);
        return sim->readAll();
    };
    std::vector<uint8_t> a = run(77);
    EXPECT_EQ(a.size(), 12u * 260u);
    EXPECT_EQ(a, run(77));
    EXPECT_NE(a, run(78));
}

TEST(SimulatedAccessoryStreaming, AnUnreadStreamLosesWholeSweepsOnly) {
    auto sim = make(SimGeneration::Tarno2);
    sim->setOutputLimit(1000);
    send(*sim, HostCommands::request(HostCommands::kSpectrum));
    sim->step(2000);
    EXPECT_EQ(sim->available(), 3u * 260u);
    EXPECT_EQ(sim->droppedBursts(), 7u);
    Packets packets = drain(*sim);
    EXPECT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets.back().size(), 260u);
    sim->step(200);
    EXPECT_EQ(sim->available(), 260u);  // reading makes room again

    // A full memory still answers commands: the host waits for the halt's acknowledgement.
    sim->step(2000);
    ASSERT_EQ(sim->available(), 3u * 260u);
    send(*sim, HostCommands::request(HostCommands::kHalt));
    const std::vector<uint8_t> bytes = sim->readAll();
    ASSERT_EQ(bytes.size(), 3u * 260u + 4u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()),
              (std::vector<uint8_t>{0xAA, 0xC0, 0, 0}));
}

TEST(SimulatedAccessoryPolling, LatchedRollingRequestWhoseSamplesExistIsAnsweredInTheSameStep) {
    auto sim = make(SimGeneration::Tarno);
    HostCommands::PowerSetup setup;
    setup.rolling = true;
    setup.timeBaseIndex = 0;  // 10 s per screen: a 40-sample segment takes 1.67 s
    send(*sim, HostCommands::powerSettings(sim->profile(), 1, setup));
    sim->readAll();
    send(*sim, HostCommands::request(HostCommands::kPower));
    sim->step(5000);
    send(*sim, HostCommands::request(HostCommands::kPower));  // samples for it already exist
    send(*sim, HostCommands::request(HostCommands::kPower));  // latched behind it
    sim->step(1);
    EXPECT_EQ(drain(*sim).size(), 3u);
}
