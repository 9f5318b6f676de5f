// The demonstration files frame into complete packets, and commands built by the host set what the
// firmware model expects.
#include "tests/sim/ProtocolDecodeSupport.h"

using namespace protocoldecode;

TEST(DemoFiles, EveryFileFramesIntoCompletePacketsOfThePlaybackSizes) {
    DemoRecorder recorder;
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        std::vector<DemoRecorder::File> files = recorder.record(g);
        std::vector<std::string> names = DemoRecorder::fileNames(g);
        ASSERT_EQ(files.size(), names.size());
        PacketFramer framer;
        std::map<std::string, std::map<size_t, int>> sizes;  // file -> packet size -> count
        std::string current;
        int failures = 0;
        auto handler = [&](const uint8_t* bytes, size_t length, int type) {
            sizes[current][length]++;
            AccessoryProtocol* p = framer.protocol();
            float values[1000];
            int count = 0, band = 0, segment = 0;
            bool marker = false;
            int result = 0;
            if (type == 3) {
                AccessoryDescription description;
                result = p->parseDescription(bytes, length, &description);
                framer.setIdentified(result == 0);
            } else if (type == 2) {
                result = p->parseSettingsAck(bytes, length);
            } else if (type == 1) {
                result =
                    p->parsePowerSamples(bytes, length, values, 1000, &count, &segment, &marker);
            } else if (type == 5) {
                result = p->parseSpectrum(bytes, length, values, 512, &count, &band, &segment);
            } else if (type == 7) {
                std::unique_ptr<AccessPointList> list;
                result = p->parseSsidList(bytes, length, &list);
                if (!list || list->empty()) {
                    ++failures;
                }
            } else {
                ++failures;
            }
            if (result != 0) {
                ++failures;
            }
        };
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(files[i].path, names[i]);
            current = files[i].path;
            framer.deliver(files[i].bytes.data(), files[i].bytes.size(), handler);
            EXPECT_EQ(framer.buffered(), 0u) << current;
        }
        EXPECT_EQ(framer.droppedBytes(), 0u);
        EXPECT_EQ(failures, 0);

        const GenerationProfile& profile = generationProfile(g);
        std::string prefix = std::string("packets/") + profile.folder + "/" + profile.filePrefix;
        auto only = [&](const std::string& name, size_t size) {
            const auto& found = sizes[prefix + name];
            EXPECT_EQ(found.size(), 1u) << name;
            return found.count(size) ? found.at(size) : 0;
        };
        EXPECT_EQ(only("discover.bin", profile.discoveryLength), 1);
        EXPECT_EQ(only("settings.bin", 3), 1);
        for (const char* signal : {"None.bin", "Wifi.bin", "Dect.bin", "Dsss.bin"}) {
            // About a minute of sweeps at the playback pace.
            int sweeps = only(std::string("spectrum") + signal, profile.spectrum24.length) /
                         profile.spectrum24.segments;
            EXPECT_GE(sweeps * profile.sweepPeriodMs24, 59000u) << signal;
            if (profile.hasPower) {
                int captures = only(std::string("power") + signal, profile.power.length) /
                               profile.power.segments;
                EXPECT_GE(captures, 590) << signal;
            }
            if (profile.has5GHz) {
                EXPECT_GE(only(std::string("spectrum5GHz") + signal, 516), 47) << signal;
            }
        }
        if (profile.hasScan) {
            EXPECT_GE(sizes[prefix + "ssid.bin"].size(), 1u);
        }
    }
}

TEST(DemoFiles, SameSeedGivesIdenticalFiles) {
    std::vector<DemoRecorder::File> a = DemoRecorder().record(SimGeneration::TarnoDuo);
    std::vector<DemoRecorder::File> b = DemoRecorder().record(SimGeneration::TarnoDuo);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].bytes, b[i].bytes) << a[i].path;
    }
    std::vector<DemoRecorder::File> c = DemoRecorder(99).record(SimGeneration::TarnoDuo);
    EXPECT_NE(a[2].bytes, c[2].bytes);
}

namespace {

// A command from one of the protocol's builders, in a buffer of its stated length.
std::vector<uint8_t> built(int length, const std::function<int(uint8_t*, size_t)>& build) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::max(length, 0)));
    int n = build(buffer.data(), buffer.size());
    EXPECT_GT(n, 0);
    buffer.resize(static_cast<size_t>(std::max(n, 0)));
    return buffer;
}

}  // namespace

TEST(ProtocolCommands, PowerSettingsBuiltByTheHostSetTheFirmwaresTrigger) {
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2}) {
        auto sim = SimulatedAccessory::create(g, 4);
        Decoder d(*sim);
        AccessoryProtocol& p = *d.protocol;
        SpectrumSettings model;
        model.applyDescription(d.description);
        model.common_settings.spectrumMode = 0;
        model.power_setting.powerTimeBaseIndex = 12;  // 100 us per division
        model.power_setting.triggerLevel = -31.7f;
        model.power_setting.triggerAuto = 0;
        model.power_setting.triggerOnPower = 1;
        model.power_setting.triggerRisingEdge = 1;
        model.power_setting.triggerDelay = 0.0002f;
        const LinkSettings settings = LinkSettings::of(model);
        std::vector<uint8_t> command = built(p.settingsCommandLength(), [&](uint8_t* b, size_t n) {
            return p.buildSettingsCommand(b, n, &settings);
        });
        sim->receive(command);
        std::vector<uint8_t> ack = sim->readAll();
        ASSERT_EQ(p.parseSettingsAck(ack.data(), ack.size()), 0);
        EXPECT_EQ(sim->settings().timeBaseIndex, 12);
        EXPECT_EQ(sim->settings().sweepMode, FirmwareSettings::SweepMode::Normal);
        EXPECT_TRUE(sim->settings().risingEdge);
        EXPECT_FALSE(sim->settings().digitalTrigger);
        // Rounded down on a rising edge: (-31.7 + 50) / 0.2 = 91.5.
        EXPECT_EQ(sim->settings().triggerRaw, 91);
        size_t samples = static_cast<size_t>(sim->profile().power.totalValues());
        // 1 ms on screen; the edge 0.2 ms right of the middle.
        EXPECT_NEAR(static_cast<double>(sim->settings().preTrigger), samples * 0.7, 1.0);

        std::vector<uint8_t> request = built(p.powerRequestLength(), [&](uint8_t* b, size_t n) {
            return p.buildPowerRequest(b, n);
        });
        std::vector<uint8_t> bytes;
        for (int pass = 0; pass < 10; ++pass) {
            if (pass == 0 || !sim->profile().streams) {
                sim->receive(request);
            }
            sim->step(100);
            std::vector<uint8_t> more = sim->readAll();
            bytes.insert(bytes.end(), more.begin(), more.end());
        }
        std::vector<Capture> captures = decodeCaptures(d, bytes);
        ASSERT_GE(captures.size(), 9u);
        size_t edge = sim->settings().preTrigger;
        for (const Capture& c : captures) {
            EXPECT_TRUE(c.marker);
            EXPECT_LT(c.values[edge - 1], -31.7f);
            EXPECT_GE(c.values[edge + 1], -31.7f);
        }
    }
}

TEST(ProtocolCommands, ThirdGenerationRequestsFromTheHostSwitchBandAndHalt) {
    auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 4);
    Decoder d(*sim);
    AccessoryProtocol& p = *d.protocol;
    SpectrumSettings model;
    model.applyDescription(d.description);
    model.spectrum_settings.band = 1;
    const LinkSettings settings = LinkSettings::of(model);
    std::vector<uint8_t> command = built(p.settingsCommandLength(), [&](uint8_t* b, size_t n) {
        return p.buildSettingsCommand(b, n, &settings);
    });
    sim->receive(command);
    std::vector<uint8_t> ack = sim->readAll();
    ASSERT_EQ(p.parseSettingsAck(ack.data(), ack.size()), 0);
    EXPECT_EQ(ack[2], command[4]);  // the sequence comes back
    EXPECT_EQ(sim->settings().band, SimBand::Band5);

    sim->receive(built(p.spectrumRequestLength(),
                       [&](uint8_t* b, size_t n) { return p.buildSpectrumRequest(b, n); }));
    sim->step(2500);
    std::vector<Sweep> sweeps = decodeSweeps(d, sim->readAll());
    ASSERT_EQ(sweeps.size(), 2u);
    EXPECT_EQ(sweeps[1].band, 2);

    sim->receive(built(p.haltCommandLength(),
                       [&](uint8_t* b, size_t n) { return p.buildHaltCommand(b, n); }));
    std::vector<uint8_t> halt = sim->readAll();
    EXPECT_EQ(p.parseHaltAck(halt.data(), halt.size()), 0);

    sim->receive(built(p.ssidRequestLength(),
                       [&](uint8_t* b, size_t n) { return p.buildSsidRequest(b, n); }));
    sim->step(sim->profile().scanDurationMs);
    EXPECT_EQ(d.frame(sim->readAll()).size(), 3u);
}
