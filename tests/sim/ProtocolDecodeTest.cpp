// The simulator's packets decoded by the host's own protocol classes: two independent readings
// of the wire formats must agree, and the decoded values must be what the scene put on air.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/PacketFramer.h"
#include "sim/DemoRecorder.h"
#include "sim/HostCommands.h"
#include "sim/SimulatedAccessory.h"

namespace {

struct Decoder {
    std::unique_ptr<AccessoryProtocol> protocol;
    AccessoryDescription description;
    std::FILE* console = std::tmpfile();

    explicit Decoder(SimulatedAccessory& sim, bool connected = true) {
        sim.receive(HostCommands::request(HostCommands::kDiscovery));
        std::vector<uint8_t> reply = sim.readAll();
        protocol = createAccessoryProtocol(reply.size() > 2 ? reply[2] : 0);
        if (protocol) {
            ProtocolEnvironment environment;
            environment.console = console;
            environment.deviceConnected = [connected] { return connected; };
            protocol->setEnvironment(environment);
            parsed = protocol->parseDescription(reply.data(), reply.size(), &description);
        }
    }
    ~Decoder() { std::fclose(console); }

    long consoleBytes() { return std::ftell(console); }

    // Frames `bytes` with the protocol's own framing; every byte must belong to a packet.
    std::vector<std::vector<uint8_t>> frame(const std::vector<uint8_t>& bytes) {
        std::vector<std::vector<uint8_t>> packets;
        size_t pos = 0;
        while (pos < bytes.size()) {
            int n = protocol->packetLength(bytes.data() + pos, bytes.size() - pos);
            if (n <= 0) {
                ADD_FAILURE() << "framing stopped with " << n << " at byte " << pos;
                break;
            }
            packets.emplace_back(bytes.begin() + static_cast<long>(pos),
                                 bytes.begin() + static_cast<long>(pos) + n);
            pos += static_cast<size_t>(n);
        }
        return packets;
    }

    int parsed = -100;
};

struct Sweep {
    std::vector<float> values;
    int band = 0;
};

// Decodes and reassembles the sweeps in a stream of spectrum packets.
std::vector<Sweep> decodeSweeps(Decoder& d, const std::vector<uint8_t>& bytes) {
    std::vector<Sweep> sweeps;
    std::vector<float> pending;
    std::vector<int> order;
    int segments = d.protocol->spectrumSegmentCount(1);
    for (const auto& p : d.frame(bytes)) {
        float values[512];
        int count = 0, band = 0, segment = 0;
        int result =
            d.protocol->parseSpectrum(p.data(), p.size(), values, 512, &count, &band, &segment);
        EXPECT_EQ(result, 0);
        if (result != 0) {
            continue;
        }
        pending.insert(pending.end(), values, values + count);
        order.push_back(segment);
        if (static_cast<int>(order.size()) == segments) {
            EXPECT_TRUE(d.protocol->reorderSegments(pending.data(), pending.size(), order.data(),
                                                    order.size()));
            sweeps.push_back({pending, band});
            pending.clear();
            order.clear();
        }
    }
    return sweeps;
}

struct Capture {
    std::vector<float> values;
    bool marker = false;
};

std::vector<Capture> decodeCaptures(Decoder& d, const std::vector<uint8_t>& bytes) {
    std::vector<Capture> captures;
    Capture pending;
    std::vector<int> order;
    int segments = d.protocol->powerSegmentCount();
    for (const auto& p : d.frame(bytes)) {
        float values[1000];
        int count = 0, segment = 0;
        bool marker = false;
        int result = d.protocol->parsePowerSamples(p.data(), p.size(), values, 1000, &count,
                                                   &segment, &marker);
        EXPECT_EQ(result, 0);
        if (result != 0) {
            continue;
        }
        pending.values.insert(pending.values.end(), values, values + count);
        pending.marker = marker;
        order.push_back(segment);
        if (static_cast<int>(order.size()) == segments) {
            EXPECT_TRUE(d.protocol->reorderSegments(pending.values.data(), pending.values.size(),
                                                    order.data(), order.size()));
            captures.push_back(pending);
            pending = Capture();
            order.clear();
        }
    }
    return captures;
}

std::vector<float> maxHold(const std::vector<Sweep>& sweeps) {
    std::vector<float> hold(sweeps.at(0).values.size(), -200.0f);
    for (const Sweep& s : sweeps) {
        for (size_t i = 0; i < hold.size(); ++i) {
            hold[i] = std::max(hold[i], s.values[i]);
        }
    }
    return hold;
}

std::vector<uint8_t> stream(SimulatedAccessory& sim, uint8_t request, uint64_t ms) {
    if (sim.profile().streams) {
        sim.receive(HostCommands::request(request));
        sim.step(ms);
        return sim.readAll();
    }
    std::vector<uint8_t> out;
    for (uint64_t t = 0; t < ms; t += 100) {
        sim.receive(HostCommands::request(request));
        sim.step(100);
        std::vector<uint8_t> bytes = sim.readAll();
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace

TEST(ProtocolDecode, FirstGenerationDescription) {
    auto sim = SimulatedAccessory::create(SimGeneration::Tarno, 1);
    Decoder d(*sim);
    ASSERT_EQ(d.parsed, 0);
    const AccessoryDescription& a = d.description;
    EXPECT_EQ(a.generation, 2);
    EXPECT_TRUE(a.hasSpectrum24);
    EXPECT_TRUE(a.hasPowerMeter);
    EXPECT_EQ(a.internalAttenuationCount, 8);
    EXPECT_FLOAT_EQ(a.internalAttenuations[2], 8.0f);
    EXPECT_EQ(a.levelRows24, 248);
    EXPECT_NEAR(a.levelMin24, 8 * 0.36290324f - 100.0f, 1e-4);
    EXPECT_NEAR(a.levelMax24, 255 * 0.36290324f - 100.0f, 1e-4);
    EXPECT_FLOAT_EQ(a.powerAxisMin, -50.0f);
    EXPECT_FLOAT_EQ(a.powerAxisMax, 0.0f);
}

TEST(ProtocolDecode, SecondAndThirdGenerationDescriptions) {
    auto two = SimulatedAccessory::create(SimGeneration::Tarno2, 1);
    Decoder d2(*two);
    ASSERT_EQ(d2.parsed, 0);
    EXPECT_EQ(d2.description.generation, 6);
    EXPECT_EQ(d2.description.serialText, "543200174b9e02c15d33087a11e490062f");
    EXPECT_TRUE(d2.description.hasSsidScan24);
    EXPECT_FLOAT_EQ(d2.description.powerAxisMin, -50.0f);  // 5 dB below the sent offset
    EXPECT_FLOAT_EQ(d2.description.levelMin24, -105.0f);
    EXPECT_EQ(d2.description.levelRows24, 226);

    auto duo = SimulatedAccessory::create(SimGeneration::TarnoDuo, 1);
    Decoder d3(*duo);
    ASSERT_EQ(d3.parsed, 0);
    const AccessoryDescription& a = d3.description;
    EXPECT_EQ(a.generation, 7);
    EXPECT_EQ(a.serialText, "44554f03197ca05e2108b36d");
    EXPECT_TRUE(a.hasSpectrum24 && a.hasSpectrum5 && a.hasSsidScan24 && a.hasSsidScan5);
    EXPECT_FALSE(a.hasPowerMeter);
    EXPECT_FLOAT_EQ(a.levelMin24, -102.0f);
    EXPECT_FLOAT_EQ(a.levelMin5, -100.0f);
    EXPECT_EQ(a.levelRows5, 216);
    EXPECT_FLOAT_EQ(a.spectrumInterval24, 0.25f);
    EXPECT_FLOAT_EQ(a.spectrumInterval5, 1.25f);
}

TEST(ProtocolDecode, AcknowledgementsDecode) {
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        auto sim = SimulatedAccessory::create(g, 1);
        Decoder d(*sim);
        sim->receive(HostCommands::spectrumSettings(sim->profile(), 9, SimBand::Band24));
        std::vector<uint8_t> ack = sim->readAll();
        ASSERT_EQ(d.protocol->packetLength(ack.data(), ack.size()), 3);
        EXPECT_EQ(d.protocol->parseSettingsAck(ack.data(), ack.size()), 0);
        if (sim->profile().streams) {
            sim->receive(HostCommands::request(HostCommands::kHalt));
            std::vector<uint8_t> halt = sim->readAll();
            ASSERT_EQ(d.protocol->packetLength(halt.data(), halt.size()), 4);
            EXPECT_EQ(d.protocol->parseHaltAck(halt.data(), halt.size()), 0);
        }
    }
}

TEST(ProtocolDecode, DsssHumpLandsOnChannelOneInEveryGeneration) {
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2, SimGeneration::TarnoDuo}) {
        auto sim = SimulatedAccessory::create(g, 3, SignalType::Dsss);
        Decoder d(*sim);
        std::vector<Sweep> sweeps = decodeSweeps(d, stream(*sim, HostCommands::kSpectrum, 5000));
        ASSERT_GE(sweeps.size(), 20u);
        EXPECT_EQ(sweeps[0].band, 1);
        std::vector<float> hold = maxHold(sweeps);
        const SweepGrid& grid = sim->profile().grid24;
        ASSERT_EQ(hold.size(), static_cast<size_t>(grid.points));
        size_t peak =
            static_cast<size_t>(std::max_element(hold.begin(), hold.end()) - hold.begin());
        EXPECT_NEAR(grid.frequencyMHz(static_cast<int>(peak)), 2412.0, 2.5)
            << "generation " << static_cast<int>(g);
        EXPECT_GT(hold[peak], -56.0f);
        // Far from both transmitters only noise, never below the floor.
        float floor = d.description.levelMin24;
        for (size_t i = 0; i < hold.size(); ++i) {
            double f = grid.frequencyMHz(static_cast<int>(i));
            if (f > 2440.0 && f < 2445.0) {
                EXPECT_LT(hold[i], -80.0f);
            }
            EXPECT_GE(sweeps[0].values[i], floor);
        }
    }
}

TEST(ProtocolDecode, FirstGenerationAttenuatorLowersWhatTheDetectorReports) {
    auto run = [](int attenuatorIndex) {
        auto sim = SimulatedAccessory::create(SimGeneration::Tarno, 3, SignalType::Dsss);
        Decoder d(*sim);
        std::vector<uint8_t> settings =
            HostCommands::spectrumSettings(sim->profile(), 1, SimBand::Band24);
        settings[11] = static_cast<uint8_t>(attenuatorIndex);
        sim->receive(settings);
        sim->readAll();
        std::vector<float> hold =
            maxHold(decodeSweeps(d, stream(*sim, HostCommands::kSpectrum, 3000)));
        return *std::max_element(hold.begin(), hold.end());
    };
    EXPECT_NEAR(run(0) - run(4), 16.1f, 3.0f);
}

TEST(ProtocolDecode, ThirdGenerationFiveGigahertzSweepsCarryFiveHundredTwelvePoints) {
    auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 3, SignalType::Dect);
    Decoder d(*sim);
    sim->receive(HostCommands::spectrumSettings(sim->profile(), 1, SimBand::Band5));
    sim->readAll();
    std::vector<Sweep> sweeps = decodeSweeps(d, stream(*sim, HostCommands::kSpectrum, 25000));
    ASSERT_EQ(sweeps.size(), 20u);
    EXPECT_EQ(sweeps[0].band, 2);
    ASSERT_EQ(sweeps[0].values.size(), 512u);
    std::vector<float> hold = maxHold(sweeps);
    // The phones hop between 5727 and 5803 MHz only.
    const SweepGrid& grid = sim->profile().grid5;
    size_t peak = static_cast<size_t>(std::max_element(hold.begin(), hold.end()) - hold.begin());
    EXPECT_GE(grid.frequencyMHz(static_cast<int>(peak)), 5725.0);
    EXPECT_LE(grid.frequencyMHz(static_cast<int>(peak)), 5806.0);
    EXPECT_GT(hold[peak], -60.0f);
}

TEST(ProtocolDecode, PowerCapturesReassembleAroundTheTriggerInBothGenerations) {
    for (SimGeneration g : {SimGeneration::Tarno, SimGeneration::Tarno2}) {
        auto sim = SimulatedAccessory::create(g, 5);
        Decoder d(*sim);
        HostCommands::PowerSetup setup;
        setup.timeBaseIndex = 15;
        setup.triggerLevelDbm = -31.7f;
        setup.triggerDelay = 0.0f;
        sim->receive(HostCommands::powerSettings(sim->profile(), 1, setup));
        sim->readAll();
        std::vector<Capture> captures = decodeCaptures(d, stream(*sim, HostCommands::kPower, 2000));
        ASSERT_GE(captures.size(), 15u);
        size_t samples = static_cast<size_t>(sim->profile().power.totalValues());
        // No delay: the edge sits mid-screen (the count is truncated, so maybe one early).
        size_t trigger = sim->settings().preTrigger;
        ASSERT_NEAR(static_cast<double>(trigger), samples / 2.0, 1.0);
        for (const Capture& c : captures) {
            ASSERT_EQ(c.values.size(), samples);
            EXPECT_TRUE(c.marker);
            EXPECT_LT(c.values[trigger - 2], -31.7f);
            EXPECT_GT(c.values[trigger + 2], -31.7f);
            // 8 us at the top of a 20 us period: the middle of the pulse is at the top.
            size_t top = trigger + static_cast<size_t>(samples * 4.4 / 100.0);
            EXPECT_NEAR(c.values[top], -20.0f, 1.0f);
            size_t gap = trigger + static_cast<size_t>(samples * 14.0 / 100.0);
            EXPECT_NEAR(c.values[gap], -47.0f, 3.0f);
        }
    }
}

TEST(ProtocolDecode, AccessPointListsDecodeToTheNeighbourhood) {
    auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 8);
    Decoder d(*sim);
    std::vector<uint8_t> bytes = stream(*sim, HostCommands::kScan, sim->profile().scanDurationMs);
    std::vector<std::vector<uint8_t>> lists = d.frame(bytes);
    ASSERT_EQ(lists.size(), 3u);  // scan started, 20, the rest
    std::map<std::vector<uint8_t>, AccessPoint> decoded;
    for (size_t i = 0; i < lists.size(); ++i) {
        std::unique_ptr<AccessPointList> list;
        ASSERT_EQ(d.protocol->parseSsidList(lists[i].data(), lists[i].size(), &list), 0);
        if (i == 0) {
            EXPECT_EQ(list, nullptr);
            continue;
        }
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->size(), i == 1 ? 20u : lists[i][2]);
        for (const auto& ap : *list) {
            decoded[std::vector<uint8_t>(ap->bssid, ap->bssid + 6)] = *ap;
        }
    }
    EXPECT_EQ(d.consoleBytes(), 0);  // no checksum failures
    EXPECT_GE(decoded.size(), 21u);
    for (const SimAccessPoint& nominal : sim->accessPoints().accessPoints()) {
        auto it = decoded.find(std::vector<uint8_t>(nominal.bssid, nominal.bssid + 6));
        if (it == decoded.end()) {
            EXPECT_LT(nominal.rssi, -80) << nominal.name << " missing";
            continue;
        }
        const AccessPoint& ap = it->second;
        EXPECT_EQ(ap.nameView(), nominal.name);
        EXPECT_EQ(ap.channel, nominal.channel);
        EXPECT_EQ(ap.is5GHz, nominal.is5GHz ? 1 : 0);
        EXPECT_EQ(ap.bandwidthMHz, nominal.bandwidthMHz);
        EXPECT_EQ(ap.secondaryChannel, nominal.secondary);
        EXPECT_EQ(ap.alt1, nominal.alt1);
        EXPECT_EQ(ap.standards, nominal.standards);
        EXPECT_NEAR(ap.rssi, nominal.rssi, 8.0f);
        if (nominal.securityWord == SimSecurity::kWpa2Aes) {
            EXPECT_EQ(ap.security, 4);
            EXPECT_EQ(ap.cipher, 2);
        } else if (nominal.securityWord == SimSecurity::kOpen) {
            EXPECT_EQ(ap.security, 0);
        } else if (nominal.securityWord == SimSecurity::kWep) {
            EXPECT_EQ(ap.security, 2);
        }
    }
}

TEST(ProtocolDecode, PlaybackRenamesTheCafeNetworks) {
    auto sim = SimulatedAccessory::create(SimGeneration::TarnoDuo, 8);
    Decoder d(*sim, false);
    std::vector<uint8_t> bytes = stream(*sim, HostCommands::kScan, sim->profile().scanDurationMs);
    int renamed = 0;
    for (const auto& packet : d.frame(bytes)) {
        std::unique_ptr<AccessPointList> list;
        ASSERT_EQ(d.protocol->parseSsidList(packet.data(), packet.size(), &list), 0);
        for (size_t i = 0; list && i < list->size(); ++i) {
            if ((*list)[i]->nameView() == "Free WiFi") {
                ++renamed;
            }
        }
    }
    EXPECT_EQ(renamed, 2);
}

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
        std::vector<uint8_t> command = built(p.settingsCommandLength(), [&](uint8_t* b, size_t n) {
            return p.buildSettingsCommand(b, n, &model);
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
    std::vector<uint8_t> command = built(p.settingsCommandLength(), [&](uint8_t* b, size_t n) {
        return p.buildSettingsCommand(b, n, &model);
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
