// A shortened soak: ninety simulated minutes of each generation through the controller, cycling
// through 2.4 GHz spectrum with scans, power, 5 GHz spectrum with scans and rolling power (those
// the generation has) every five minutes. What the model and the link hold must stop growing once
// every measurement has run: the second pair of cycles may not hold more than the first. (Resident
// memory is left to the tarno-soak tool: under the sanitizers' allocators it says nothing.)
#include <gtest/gtest.h>

#include <algorithm>

#include "link/AccessoryCommunicationDelegate.h"
#include "tools/soak/SoakRun.h"

namespace {

constexpr uint64_t kMinute = 60 * 1000;

class ShortSoak : public ::testing::TestWithParam<SimGeneration> {};

TEST_P(ShortSoak, MeasuresEverythingAndHoldsNoMoreAfterWarmUp) {
    const GenerationProfile& profile = generationProfile(GetParam());
    SoakRun::Options options;
    options.generation = GetParam();
    options.durationMs = 90 * kMinute;
    options.phaseMs = 5 * kMinute;
    options.sampleMs = kMinute;
    options.warmUpMs = 30 * kMinute;
    options.seed = 7;
    SoakRun::Report r = SoakRun(options).run();

    EXPECT_EQ(r.simulatedMs, options.durationMs);
    EXPECT_EQ(r.passes, options.durationMs / AccessoryCommunicationDelegate::kPassMs);
    EXPECT_GT(r.spectrumPackets, 1000u) << r.generation;
    if (profile.hasPower) {
        EXPECT_GT(r.powerPackets, 1000u) << r.generation;
    } else {
        EXPECT_EQ(r.powerPackets, 0u) << r.generation;
    }
    // Every switch of measurement was acknowledged, as was the first configuration.
    EXPECT_EQ(r.reconfigurations, options.durationMs / options.phaseMs - 1);
    EXPECT_EQ(r.acknowledgements, r.reconfigurations + 1) << r.generation;
    // Scans that end on their own run on the third generation: the neighbourhood has 25
    // networks, not all of them seen in every scan.
    if (profile.hasScan && profile.has5GHz) {
        EXPECT_GT(r.accessPointLists, 100u) << r.generation;
        EXPECT_GT(r.distinctAccessPoints, 15u) << r.generation;
    }
    EXPECT_LE(r.distinctAccessPoints, 25u) << r.generation;
    EXPECT_LE(r.mostAccessPoints, 25u) << r.generation;

    // Two windows of whole measurement cycles (two or three measurements of 5 minutes) after
    // warm-up; the second may hold no more than the first.
    size_t first = 0, second = 0;
    for (const SoakRun::Sample& s : r.samples) {
        if (s.atMs >= 30 * kMinute && s.atMs < 60 * kMinute) {
            first = std::max(first, s.retainedItems);
        } else if (s.atMs >= 60 * kMinute) {
            second = std::max(second, s.retainedItems);
        }
    }
    ASSERT_GT(first, 0u);
    EXPECT_LE(second, first) << r.generation;
}

INSTANTIATE_TEST_SUITE_P(EveryGeneration, ShortSoak,
                         ::testing::Values(SimGeneration::Tarno, SimGeneration::Tarno2,
                                           SimGeneration::TarnoDuo));

}  // namespace
