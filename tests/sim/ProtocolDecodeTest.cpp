// The simulator's packets decoded by the host's own protocol classes: two independent readings
// of the wire formats must agree, and the decoded values must be what the scene put on air.
#include "tests/sim/ProtocolDecodeSupport.h"

using namespace protocoldecode;

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
