// The demonstration: recorded packets of every generation played through the packet path while
// no accessory is connected, paced by the description's intervals.
#include <gtest/gtest.h>

#include "link/DemoPlayback.h"
#include "model/DemoTriggerPresets.h"
#include "tests/controller/ControllerTestSupport.h"
#include "tests/sim/SimTestSupport.h"

namespace {

using Phase = AccessoryCommunicationDelegate::Phase;

// A private copy of a generation's recordings, so read counts belong to one test.
struct Recordings : MemoryResources {
    explicit Recordings(SimGeneration generation) {
        for (const std::string& name : DemoRecorder::fileNames(generation)) {
            put(name, MemoryResources::recordings(generation).readFile(name));
        }
    }
};

class PlaybackOfEveryGeneration : public ::testing::TestWithParam<SimGeneration> {};

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackOfEveryGeneration,
                         ::testing::Values(SimGeneration::Tarno, SimGeneration::Tarno2,
                                           SimGeneration::TarnoDuo),
                         [](const auto& info) {
                             return std::string(generationProfile(info.param).folder);
                         });

}  // namespace

TEST(DemoPlayback, FileNamesFollowTheHardwareAndSignalChoice) {
    EXPECT_EQ(DemoPlayback::prefix(0), "packets/Tarno/Tarno_");
    EXPECT_EQ(DemoPlayback::prefix(1), "packets/Tarno2/Tarno2_");
    EXPECT_EQ(DemoPlayback::prefix(2), "packets/TarnoDuo/TarnoDuo_");
    EXPECT_EQ(DemoPlayback::prefix(3), "");
    EXPECT_EQ(DemoPlayback::signalFile(3), "Dsss.bin");
    EXPECT_EQ(DemoPlayback::signalFile(4), "");
    EXPECT_EQ(DemoPlayback::powerPacketBytes(2), 0u);
    EXPECT_EQ(DemoPlayback::spectrumPacketBytes(1, 1), 0u);
    EXPECT_EQ(DemoPlayback::spectrumPacketBytes(2, 1), 516u);
    // Every name the playback asks for is one the recorder writes.
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        auto names = DemoRecorder::fileNames(g);
        int hw = static_cast<int>(g);
        for (int signal = 0; signal < 4; ++signal) {
            std::string spectrum =
                DemoPlayback::prefix(hw) + "spectrum" + DemoPlayback::signalFile(signal);
            EXPECT_NE(std::find(names.begin(), names.end(), spectrum), names.end()) << spectrum;
        }
    }
}

TEST(DemoPlayback, PowerFileIsSteppedInPacketsAndWrapsBeforeAShortTail) {
    MemoryResources files;
    std::vector<uint8_t> bytes(62 * 3 + 10);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    files.put("packets/Tarno/Tarno_powerWifi.bin", bytes);
    DemoPlayback playback(&files);
    DemoSelection demo{0, 1, 1};
    std::vector<uint8_t> firstBytes;
    auto deliver = [&](const uint8_t* b, size_t n) {
        EXPECT_EQ(n, 62u);
        firstBytes.push_back(b[0]);
    };
    uint64_t t = 5000;
    for (int i = 0; i < 5; ++i, t += 100) {
        playback.playPower(demo, t, 100, deliver);
        playback.playPower(demo, t + 50, 100, deliver);  // too soon: nothing
    }
    EXPECT_EQ(firstBytes, (std::vector<uint8_t>{0, 62, 124, 0, 62}));
    EXPECT_EQ(files.reads("packets/Tarno/Tarno_powerWifi.bin"), 1);
}

TEST(DemoPlayback, MissingOrTooShortFilesDeliverNothingAndAreTriedAgain) {
    MemoryResources files;
    DemoPlayback playback(&files);
    DemoSelection demo{1, 2, 1};
    int delivered = 0;
    auto deliver = [&](const uint8_t*, size_t) { ++delivered; };
    playback.playSpectrum(demo, 0, 1000, 100, deliver);
    playback.playSpectrum(demo, 0, 1100, 100, deliver);
    EXPECT_EQ(files.reads("packets/Tarno2/Tarno2_spectrumDect.bin"), 2);
    files.put("packets/Tarno2/Tarno2_spectrumDect.bin", std::vector<uint8_t>(100, 0xAA));
    playback.playSpectrum(demo, 0, 1200, 100, deliver);
    EXPECT_EQ(delivered, 0);
    EXPECT_FALSE(playback.playFile("packets/Tarno2/Tarno2_discover.bin", deliver));
}

TEST_P(PlaybackOfEveryGeneration, PlaysDiscoverySettingsAndSweepsOfTheRecordings) {
    Recordings files(GetParam());
    ControllerRig rig(&files);
    rig.model.demo.hardware = static_cast<uint8_t>(GetParam());
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.pass();
    EXPECT_TRUE(rig.controller.identified());
    EXPECT_EQ(rig.model.accessory.generation, generationProfile(GetParam()).generationCode);
    for (int i = 0; i < 3; ++i) {
        rig.pass();
    }
    EXPECT_EQ(rig.controller.phase(), Phase::kRequest);
    EXPECT_EQ(rig.controller.ackCount(), 1);
    for (int i = 0; i < 30; ++i) {
        rig.pass();
    }
    // The first sweep of the recording, decoded independently.
    const GenerationProfile& profile = generationProfile(GetParam());
    auto packets = splitPackets(
        profile,
        files.readFile(DemoPlayback::prefix(static_cast<int>(GetParam())) + "spectrumWifi.bin"));
    ASSERT_GE(packets.size(), 2u);
    const PacketLayout& layout = profile.spectrum24;
    const size_t n = layout.segments;
    std::vector<float> expected(static_cast<size_t>(layout.totalValues()));
    for (size_t s = 0; s < n; ++s) {
        for (size_t k = 0; k < layout.values; ++k) {
            expected[(packets[s][1] & 0x0F) % n + n * k] =
                profile.spectrumCal24.levelOf(packets[s][layout.headerLength + k]);
        }
    }
    ASSERT_GE(rig.model.band24.sweepCount(), 5);
    const float* first = rig.model.band24.sweep(0);
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_FLOAT_EQ(first[i], expected[i]) << i;
    }
}

TEST(Playback, ThirdGenerationFiveGigahertzSweepsArriveEveryOnePointTwoFiveSeconds) {
    Recordings files(SimGeneration::TarnoDuo);
    ControllerRig rig(&files);
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.model.spectrum_settings.band = 1;
    for (int i = 0; i < 4; ++i) {
        rig.pass();
    }
    ASSERT_EQ(rig.controller.phase(), Phase::kRequest);
    std::vector<int> arrivals;
    for (int pass = 0; pass < 65; ++pass) {
        int before = rig.model.band5.sweepCount();
        rig.pass();
        if (rig.model.band5.sweepCount() > before) {
            arrivals.push_back(pass);
        }
    }
    // 1.25 s apart on average although the passes come every 100 ms.
    EXPECT_EQ(arrivals, (std::vector<int>{0, 13, 25, 38, 50, 63}));
    EXPECT_EQ(files.reads("packets/TarnoDuo/TarnoDuo_spectrum5GHzWifi.bin"), 1);
    EXPECT_EQ(rig.model.band24.sweepCount(), 0);
    EXPECT_EQ(rig.model.band5.sweepPointCount, 512);
}

TEST(Playback, AccessPointListsOnlyWithTheWifiSignal) {
    for (uint8_t signal : {0, 1}) {
        Recordings files(SimGeneration::TarnoDuo);
        ControllerRig rig(&files);
        rig.model.demo.signalType = signal;
        for (int i = 0; i < 300; ++i) {
            rig.pass();
        }
        if (signal == 0) {
            EXPECT_TRUE(rig.model.accessPoints.empty());
            EXPECT_EQ(files.reads("packets/TarnoDuo/TarnoDuo_ssid.bin"), 0);
        } else {
            EXPECT_GE(rig.model.accessPoints.size(), 20u);
            EXPECT_GE(rig.model.runtime.scanCount, 2);
        }
    }
}

TEST(Playback, FirstGenerationStartsWithItsTriggerPresetsAndPlaysPower) {
    Recordings files(SimGeneration::Tarno);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 0;
    rig.model.common_settings.spectrumMode = 0;
    rig.pass();
    rig.pass();
    EXPECT_FLOAT_EQ(rig.model.power_setting.triggerLevel, -31.7f);
    EXPECT_EQ(rig.model.power_setting.powerTimeBaseIndex, 16);
    EXPECT_FLOAT_EQ(rig.model.power_setting.triggerDelay, 0.000016f);
    EXPECT_FLOAT_EQ(rig.model.power_setting.triggerHoldoff, 0.001f);
    for (int i = 0; i < 40; ++i) {
        rig.pass();
    }
    // Six 62-byte packets per capture, one packet per pass.
    EXPECT_GE(rig.model.live.history.size(), 5u);
    EXPECT_EQ(rig.model.live.history.front().size(), 240u);
}

TEST(Playback, PausedRunStateStillIdentifiesButDeliversNoMeasurements) {
    Recordings files(SimGeneration::Tarno2);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 1;
    rig.model.runtime.runState = SpectrumSettings::kPaused;
    for (int i = 0; i < 30; ++i) {
        rig.pass();
    }
    EXPECT_TRUE(rig.controller.identified());
    EXPECT_EQ(rig.controller.ackCount(), 1);
    EXPECT_EQ(rig.model.band24.sweepCount(), 0);
    EXPECT_EQ(files.reads("packets/Tarno2/Tarno2_spectrumWifi.bin"), 0);
}

TEST(Playback, ReconfigureWithANewChoiceLoadsTheNewFiles) {
    Recordings files(SimGeneration::Tarno2);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 1;
    rig.model.spectrum_settings.ssidScanOn = 0;
    for (int i = 0; i < 10; ++i) {
        rig.pass();
    }
    ASSERT_GT(rig.model.band24.sweepCount(), 0);
    rig.model.demo.signalType = 2;
    rig.controller.requestReconfigure(true);
    for (int i = 0; i < 10; ++i) {
        rig.pass();
    }
    EXPECT_EQ(rig.controller.ackCount(), 2);
    EXPECT_EQ(files.reads("packets/Tarno2/Tarno2_spectrumDect.bin"), 1);
    EXPECT_GT(rig.model.band24.sweepCount(), 0);
}

TEST(Playback, UnknownHardwarePlaysNothing) {
    Recordings files(SimGeneration::Tarno2);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 3;
    for (int i = 0; i < 10; ++i) {
        rig.pass();
    }
    EXPECT_FALSE(rig.controller.identified());
    EXPECT_EQ(files.reads("packets/Tarno2/Tarno2_discover.bin"), 0);
}

namespace {

// The newest stored capture, or nothing.
std::vector<float> newestCapture(ControllerRig& rig) {
    const auto& history = rig.model.live.history;
    return history.empty() ? std::vector<float>{} : history.back();
}

bool takeSingleShot(ControllerRig& rig) {
    rig.model.runtime.runState = SpectrumSettings::kSingleShotArmed;
    rig.controller.requestSingleSweep();
    for (int i = 0; i < 100; ++i) {
        rig.pass();
        if (rig.model.runtime.runState == SpectrumSettings::kSingleShotTaken)
            return true;
    }
    return false;
}

}  // namespace

TEST(Playback, SingleShotsContinueTheRecordingInsteadOfReplayingItsStart) {
    Recordings files(SimGeneration::Tarno);
    ControllerRig rig(&files);
    rig.model.demo.hardware = 0;
    rig.model.common_settings.spectrumMode = 0;
    rig.pass();
    rig.pass();
    ASSERT_TRUE(rig.controller.identified());
    ASSERT_TRUE(takeSingleShot(rig));
    const std::vector<float> first = newestCapture(rig);
    ASSERT_EQ(first.size(), 240u);
    ASSERT_TRUE(takeSingleShot(rig));
    const std::vector<float> second = newestCapture(rig);
    ASSERT_EQ(second.size(), 240u);
    EXPECT_NE(first, second);
    // Loaded once, not again for the second shot.
    EXPECT_EQ(files.reads("packets/Tarno/Tarno_power" +
                          DemoPlayback::signalFile(rig.model.demo.signalType)),
              1);
}

TEST(Playback, TheUsersTriggerOutlivesDemonstrationStarts) {
    Recordings files(SimGeneration::Tarno);
    {
        // Never chosen: the recording's own trigger, so the first picture is stable.
        ControllerRig rig(&files);
        rig.model.demo.hardware = 0;
        rig.pass();
        rig.pass();
        EXPECT_FLOAT_EQ(rig.model.power_setting.triggerLevel, -31.7f);
    }
    {
        // Another demonstration replaces a preset with its own.
        Recordings second(SimGeneration::Tarno2);
        ControllerRig rig(&second);
        rig.model.demo.hardware = 1;
        DemoTriggerPresets::apply(rig.model.power_setting, 0);
        rig.pass();
        rig.pass();
        ASSERT_TRUE(rig.controller.identified());
        EXPECT_FLOAT_EQ(rig.model.power_setting.triggerLevel, -36.31f);
        EXPECT_EQ(rig.model.power_setting.powerTimeBaseIndex, 15);
    }
    ControllerRig rig(&files);
    rig.model.demo.hardware = 0;
    rig.model.power_setting.triggerLevel = -25.f;
    rig.model.power_setting.triggerDelay = 0.00001f;
    rig.model.power_setting.powerTimeBaseIndex = 12;
    rig.pass();
    rig.pass();
    ASSERT_TRUE(rig.controller.identified());
    EXPECT_FLOAT_EQ(rig.model.power_setting.triggerLevel, -25.f);
    EXPECT_FLOAT_EQ(rig.model.power_setting.triggerDelay, 0.00001f);
    EXPECT_EQ(rig.model.power_setting.powerTimeBaseIndex, 12);
}
