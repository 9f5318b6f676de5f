#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "sim/AccessPointScene.h"
#include "sim/DectScene.h"
#include "sim/DsssScene.h"
#include "sim/PulseTrainScene.h"
#include "sim/SimRandom.h"
#include "sim/SpectrumScene.h"
#include "sim/WifiScene.h"

namespace {

const SweepGrid kGrid24{2400.0, 100.0 / 255.0, 256};
const SweepGrid kGrid5{5145.0, 715.0 / 511.0, 512};

// Highest level each point reached over `sweeps` sweeps of `seconds` each.
std::vector<float> maxHold(const SpectrumScene& scene, const SweepGrid& grid, int sweeps,
                           double seconds) {
    std::vector<float> hold(static_cast<size_t>(grid.points), -200.0f);
    std::vector<float> sweep(hold.size());
    for (int s = 0; s < sweeps; ++s) {
        scene.render(grid, s * seconds, seconds, sweep);
        for (size_t i = 0; i < hold.size(); ++i) {
            hold[i] = std::max(hold[i], sweep[i]);
        }
    }
    return hold;
}

double frequencyOfPeak(const std::vector<float>& levels, const SweepGrid& grid) {
    auto peak = std::max_element(levels.begin(), levels.end());
    return grid.frequencyMHz(static_cast<int>(peak - levels.begin()));
}

}  // namespace

TEST(SpectrumScenes, QuietSceneStaysAtTheNoiseFloor) {
    auto scene = SpectrumScene::create(SignalType::None, 5);
    std::vector<float> hold = maxHold(*scene, kGrid24, 40, 0.25);
    for (float v : hold) {
        EXPECT_GT(v, -100.0f);
        EXPECT_LT(v, -85.0f);
    }
}

TEST(SpectrumScenes, DsssHumpPeaksOnChannelOneAndIsTwentyTwoMegahertzWide) {
    DsssScene scene(5);
    std::vector<float> hold = maxHold(scene, kGrid24, 40, 0.25);
    EXPECT_NEAR(frequencyOfPeak(hold, kGrid24), 2412.0, 2.0);
    float top = *std::max_element(hold.begin(), hold.end());
    EXPECT_GT(top, -55.0f);
    // Within the main lobe but past its -3 dB width the level falls, and 15 MHz out it is
    // at least 25 dB down.
    auto at = [&](double mhz) {
        return hold[static_cast<size_t>(std::lround((mhz - 2400.0) * 2.55))];
    };
    EXPECT_LT(at(2412.0 + 8.0), top - 6.0f);
    EXPECT_LT(at(2412.0 + 15.0), top - 25.0f);
    EXPECT_NEAR(DsssScene::humpShapeDb(0.0), 0.0, 1e-9);
    EXPECT_NEAR(DsssScene::humpShapeDb(5.5),
                10.0 * std::log10(std::pow(std::sin(M_PI / 2) / (M_PI / 2), 2)), 1e-9);
}

TEST(SpectrumScenes, DectHopsAreNarrowAndFillTheHoppingRangeOverTime) {
    DectScene scene(9);
    std::vector<float> one(256);
    scene.render(kGrid24, 0.0, 0.25, one);
    // A live sweep catches only a few hops: most points stay near the floor.
    int lit =
        static_cast<int>(std::count_if(one.begin(), one.end(), [](float v) { return v > -80.0f; }));
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, 40);
    std::vector<float> hold = maxHold(scene, kGrid24, 200, 0.25);
    int held = static_cast<int>(
        std::count_if(hold.begin(), hold.begin() + 200, [](float v) { return v > -80.0f; }));
    EXPECT_GT(held, 150);          // 2402..2478 MHz is the hopping range
    EXPECT_LT(hold[250], -85.0f);  // above it nothing
    for (int64_t hop = 0; hop < 100; ++hop) {
        double f = scene.hopFrequencyMHz(0, hop, true);
        EXPECT_GE(f, 5727.0);
        EXPECT_LE(f, 5727.0 + 44 * 1.728 + 1e-9);
    }
}

TEST(SpectrumScenes, WifiShowsTheBusyChannelsOfTheNeighbourhood) {
    WifiScene scene(3);
    std::vector<float> hold = maxHold(scene, kGrid24, 40, 0.25);
    // The strongest network is the café on channel 6 (2437 MHz).
    EXPECT_NEAR(frequencyOfPeak(hold, kGrid24), 2437.0, 9.0);
    EXPECT_GT(hold[static_cast<size_t>(std::lround(37 * 2.55))], -70.0f);
    // Nothing above channel 13's upper edge (2482 MHz) but skirts.
    EXPECT_LT(hold[250], -80.0f);
    std::vector<float> hold5 = maxHold(scene, kGrid5, 10, 1.25);
    // The bonded 80 MHz café channel at 5210 MHz is flat across its middle.
    size_t centre = static_cast<size_t>(std::lround((5210.0 - 5145.0) / (715.0 / 511.0)));
    EXPECT_GT(hold5[centre], -85.0f);
    EXPECT_GT(hold5[centre + 20], -85.0f);
    EXPECT_EQ(WifiScene::ofdmShapeDb(5.0, 20.0), 0.0);
    EXPECT_NEAR(WifiScene::ofdmShapeDb(11.0, 20.0), -20.0, 1e-9);
    EXPECT_NEAR(WifiScene::ofdmShapeDb(-20.0, 20.0), -28.0, 1e-9);
    EXPECT_NEAR(WifiScene::ofdmShapeDb(60.0, 40.0), -40.0, 1e-9);
}

TEST(SpectrumScenes, RenderingDependsOnlyOnSeedAndTime) {
    WifiScene a(11);
    WifiScene b(11);
    std::vector<float> x(256), y(256), z(256);
    a.render(kGrid24, 3.0, 0.25, x);
    b.render(kGrid24, 1.0, 0.25, z);  // a different sweep first must not matter
    b.render(kGrid24, 3.0, 0.25, y);
    EXPECT_EQ(x, y);
    EXPECT_NE(x, z);
}

TEST(AccessPointNeighbourhood, TwentyFiveNetworksOverBothBandsWithTheRenamedPair) {
    AccessPointScene scene(1);
    const auto& aps = scene.accessPoints();
    EXPECT_EQ(aps.size(), 25u);
    std::set<std::vector<uint8_t>> bssids;
    int band5 = 0;
    for (const SimAccessPoint& ap : aps) {
        bssids.insert(std::vector<uint8_t>(ap.bssid, ap.bssid + 6));
        EXPECT_LE(ap.name.size(), 31u);
        if (ap.is5GHz) {
            ++band5;
            EXPECT_TRUE((ap.channel >= 36 && ap.channel <= 64) ||
                        (ap.channel >= 100 && ap.channel <= 165));
            if (ap.alt1 != 0) {
                EXPECT_TRUE(std::set<int>({42, 58, 106, 122, 138, 155}).count(ap.alt1));
                EXPECT_LE(std::abs(ap.alt1 - ap.channel), 6);
            }
        } else {
            EXPECT_GE(ap.channel, 1);
            EXPECT_LE(ap.channel, 13);
        }
    }
    EXPECT_EQ(bssids.size(), aps.size());
    EXPECT_GE(band5, 8);
    EXPECT_TRUE(bssids.count({0xE0, 0x91, 0xF5, 0x76, 0x83, 0x22}));
    EXPECT_TRUE(bssids.count({0xE0, 0x91, 0xF5, 0x76, 0x83, 0x23}));
}

TEST(AccessPointNeighbourhood, ScansAreSortedStrongestFirstAndOnlyMissWeakNetworks) {
    AccessPointScene scene(1);
    for (uint64_t n = 0; n < 30; ++n) {
        std::vector<SimAccessPoint> found = scene.scan(n, true, true);
        EXPECT_GE(found.size(), 20u);
        for (size_t i = 1; i < found.size(); ++i) {
            EXPECT_GE(found[i - 1].rssi, found[i].rssi);
        }
        for (const SimAccessPoint& nominal : scene.accessPoints()) {
            bool seen = std::any_of(found.begin(), found.end(), [&](const SimAccessPoint& ap) {
                return std::equal(ap.bssid, ap.bssid + 6, nominal.bssid);
            });
            if (nominal.rssi > -80) {
                EXPECT_TRUE(seen) << nominal.name;
            }
        }
    }
    EXPECT_EQ(scene.scan(4, true, false).size(),
              scene.scan(4, true, true).size() - scene.scan(4, false, true).size());
}

TEST(PulseTrain, EnvelopeHasTheStatedEdgesAndCrossingsAreExact) {
    PulseTrainScene pulses(1);
    const auto& s = pulses.shape();
    EXPECT_DOUBLE_EQ(pulses.envelopeDbm(0.0), s.lowDbm);
    EXPECT_NEAR(pulses.envelopeDbm(s.rise / 2), 0.5 * (s.lowDbm + s.highDbm), 1e-9);
    EXPECT_DOUBLE_EQ(pulses.envelopeDbm(s.rise + s.width / 2), s.highDbm);
    EXPECT_DOUBLE_EQ(pulses.envelopeDbm(s.rise + s.width + s.fall + 1e-7), s.lowDbm);
    EXPECT_DOUBLE_EQ(pulses.envelopeDbm(s.burstLength + 1e-6), s.lowDbm);  // between bursts

    double at = 0.0;
    ASSERT_TRUE(pulses.nextCrossing(1e-6, 0.001, -33.5, true, &at));
    EXPECT_NEAR(at, s.period + s.rise * 0.5, 1e-12);
    ASSERT_TRUE(pulses.nextCrossing(0.0, 0.001, -33.5, false, &at));
    EXPECT_NEAR(at, s.rise + s.width + s.fall * 0.5, 1e-12);
    // Late in a burst the next rising edge is in the following burst.
    ASSERT_TRUE(pulses.nextCrossing(s.burstLength - 1e-6, 0.01, -33.5, true, &at));
    EXPECT_NEAR(at, s.burstPeriod + s.rise * 0.5, 1e-12);
    EXPECT_FALSE(pulses.nextCrossing(0.0, 0.1, -10.0, true, &at));
    EXPECT_FALSE(pulses.nextCrossing(0.0, 0.1, -60.0, true, &at));
    EXPECT_FALSE(pulses.nextCrossing(s.burstLength, 0.0005, -33.5, true, &at));
}

TEST(SimRandomStream, IsReproducibleAndRoughlyUniform) {
    SimRandom a(42);
    SimRandom b(42);
    double sum = 0.0;
    for (int i = 0; i < 10000; ++i) {
        double u = a.uniform();
        ASSERT_EQ(u, b.uniform());
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        sum += u;
    }
    EXPECT_NEAR(sum / 10000.0, 0.5, 0.02);
    EXPECT_EQ(a.below(0), 0);
    EXPECT_NE(SimRandom::mix(1, 2), SimRandom::mix(2, 1));
}
