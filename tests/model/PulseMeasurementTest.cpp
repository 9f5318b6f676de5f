#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"

namespace {

using Id = PulseMeasurement;

// `periods` cycles of `low` samples at -40 dBm then `high` samples at -10 dBm, starting low.
std::vector<float> squareWave(int low, int high, int periods) {
    std::vector<float> x;
    for (int p = 0; p < periods; ++p) {
        x.insert(x.end(), static_cast<size_t>(low), -40.0f);
        x.insert(x.end(), static_cast<size_t>(high), -10.0f);
    }
    return x;
}

// Flat -40, ramp up over 4 steps of 10 dB, flat 0, ramp down; one period is 20 samples.
std::vector<float> trapezoid(int periods) {
    const float cycle[] = {-40, -40, -40, -40, -40, -40, -30, -20, -10, 0,
                           0,   0,   0,   0,   0,   0,   -10, -20, -30, -40};
    std::vector<float> x;
    for (int p = 0; p < periods; ++p) {
        x.insert(x.end(), std::begin(cycle), std::end(cycle));
    }
    return x;
}

PulseMeasurement::Results measured(const std::vector<float>& x, float dt) {
    auto r = PulseMeasurement::measure(x.data(), x.size(), dt);
    EXPECT_TRUE(r.has_value());
    return r.value_or(PulseMeasurement::Results{});
}

TEST(PulseMeasurement, SquareWaveReadsAFullPeriodAndHalfDuty) {
    const float dt = 0.001f;
    auto r = measured(squareWave(10, 10, 2), dt);
    // Crossings at 10, 20 and 30: one period is 20 samples, not the 10 before the first edge.
    EXPECT_FLOAT_EQ(r[Id::kPeriod], 20 * dt);
    EXPECT_FLOAT_EQ(r[Id::kFrequency], 50.0f);
    EXPECT_FLOAT_EQ(r[Id::kDutyPlus], 50.0f);
    EXPECT_FLOAT_EQ(r[Id::kDutyMinus], 50.0f);
    EXPECT_FLOAT_EQ(r[Id::kPulsePlus], 10 * dt);
    EXPECT_FLOAT_EQ(r[Id::kPulseMinus], 10 * dt);
    // A step steeper than one sample: start and end of the transition on the same sample.
    EXPECT_FLOAT_EQ(r[Id::kRiseTime], 0.0f);
    EXPECT_FLOAT_EQ(r[Id::kFallTime], 0.0f);
    EXPECT_FLOAT_EQ(r[Id::kMax], -10.0f);
    EXPECT_FLOAT_EQ(r[Id::kMin], -40.0f);
    EXPECT_FLOAT_EQ(r[Id::kPeakToPeak], 30.0f);
    EXPECT_FLOAT_EQ(r[Id::kMean], -25.0f);
    // Mean power of half -10 dBm and half -40 dBm: 10 log10((0.1 + 0.0001) / 2).
    const float meanPower = static_cast<float>(10.0 * std::log10((0.1 + 0.0001) / 2.0));
    EXPECT_NEAR(r[Id::kRms], meanPower, 1e-4);
    EXPECT_NEAR(r[Id::kCycleRms], meanPower, 1e-4);
    EXPECT_FLOAT_EQ(r[Id::kCycleMean], -25.0f);
    for (int unmeasured : {2, 9, 10, 11, 12, 14, 15, 16}) {
        EXPECT_TRUE(std::isnan(r[unmeasured])) << unmeasured;
    }
}

TEST(PulseMeasurement, CycleValuesUseWholeCyclesOnly) {
    // A long low lead-in before the first edge would drag a lead-in "cycle" down to -40.
    std::vector<float> x(50, -40.0f);
    for (int p = 0; p < 3; ++p) {
        x.insert(x.end(), 5, -10.0f);
        x.insert(x.end(), 15, -40.0f);
    }
    auto r = measured(x, 1.0f);
    // Cycles start at a rising crossing: 5 high and 15 low samples each.
    EXPECT_FLOAT_EQ(r[Id::kCycleMean], (5 * -10.0f + 15 * -40.0f) / 20.0f);
    EXPECT_FLOAT_EQ(r[Id::kPeriod], 20.0f);
    EXPECT_FLOAT_EQ(r[Id::kDutyPlus], 25.0f);
    EXPECT_FLOAT_EQ(r[Id::kPulsePlus], 5.0f);
    EXPECT_FLOAT_EQ(r[Id::kPulseMinus], 15.0f);
}

TEST(PulseMeasurement, TrapezoidEdgesAndDuty) {
    const float dt = 0.5f;
    auto r = measured(trapezoid(3), dt);
    // Low threshold -36 is first reached at -30, high -4 at 0: three samples apart.
    EXPECT_FLOAT_EQ(r[Id::kRiseTime], 3 * dt);
    EXPECT_FLOAT_EQ(r[Id::kFallTime], 3 * dt);
    EXPECT_FLOAT_EQ(r[Id::kPeriod], 20 * dt);
    // Above mid (-20) are -10, 0 x7, -10: 9 of 20 samples.
    EXPECT_FLOAT_EQ(r[Id::kDutyPlus], 45.0f);
    EXPECT_FLOAT_EQ(r[Id::kPulsePlus], 9 * dt);
    EXPECT_FLOAT_EQ(r[Id::kPulseMinus], 11 * dt);
    EXPECT_FLOAT_EQ(r[Id::kPeakToPeak], 40.0f);
}

TEST(PulseMeasurement, FlatCaptureReadsItsOwnLevel) {
    std::vector<float> x(100, -30.0f);
    auto r = measured(x, 0.01f);
    EXPECT_FLOAT_EQ(r[Id::kPeakToPeak], 0.0f);
    EXPECT_FLOAT_EQ(r[Id::kMean], -30.0f);
    // Mean power of a steady level is that level, not +30.
    EXPECT_NEAR(r[Id::kRms], -30.0f, 1e-4);
    for (int undefined :
         {Id::kPeriod, Id::kFrequency, Id::kRiseTime, Id::kFallTime, Id::kDutyPlus, Id::kDutyMinus,
          Id::kPulsePlus, Id::kPulseMinus, Id::kCycleMean, Id::kCycleRms}) {
        EXPECT_TRUE(std::isnan(r[undefined])) << undefined;
    }
}

TEST(PulseMeasurement, SingleEdgeHasNoPeriodOrDuty) {
    // One rising edge: the duty window opens but never closes.
    auto r = measured(squareWave(10, 10, 1), 1.0f);
    EXPECT_FLOAT_EQ(r[Id::kRiseTime], 0.0f);
    EXPECT_TRUE(std::isnan(r[Id::kFallTime]));
    for (int undefined : {Id::kPeriod, Id::kFrequency, Id::kDutyPlus, Id::kDutyMinus,
                          Id::kPulsePlus, Id::kPulseMinus, Id::kCycleMean, Id::kCycleRms}) {
        EXPECT_TRUE(std::isnan(r[undefined])) << undefined;
    }
    // Two edges (high, low, high again) still make no whole cycle.
    std::vector<float> twoEdges = {-10, -10, -40, -40, -10};
    auto t = measured(twoEdges, 1.0f);
    EXPECT_TRUE(std::isnan(t[Id::kPeriod]));
    EXPECT_TRUE(std::isnan(t[Id::kDutyPlus]));
}

TEST(PulseMeasurement, DegenerateInputs) {
    const float one = -50.0f;
    auto r = PulseMeasurement::measure(&one, 1, 1.0f);
    ASSERT_TRUE(r.has_value());
    EXPECT_FLOAT_EQ((*r)[Id::kMax], -50.0f);
    EXPECT_FLOAT_EQ((*r)[Id::kMean], -50.0f);
    EXPECT_NEAR((*r)[Id::kRms], -50.0f, 1e-4);
    EXPECT_TRUE(std::isnan((*r)[Id::kRiseTime]));

    std::vector<float> x = squareWave(5, 5, 3);
    EXPECT_FALSE(PulseMeasurement::measure(x.data(), 0, 1.0f));
    EXPECT_FALSE(PulseMeasurement::measure(nullptr, 10, 1.0f));
    EXPECT_FALSE(PulseMeasurement::measure(x.data(), x.size(), 0.0f));
    EXPECT_FALSE(PulseMeasurement::measure(x.data(), x.size(), -1.0f));
    EXPECT_FALSE(PulseMeasurement::measure(x.data(), x.size(), NAN));
    EXPECT_FALSE(PulseMeasurement::measure(x.data(), x.size(), INFINITY));

    x[7] = NAN;
    auto poisoned = measured(x, 1.0f);
    for (float v : poisoned) {
        EXPECT_TRUE(std::isnan(v));
    }
}

TEST(PulseMeasurement, HookStoresIntoTheLiveTraceOnlyWhenMeasured) {
    SpectrumSettings model;
    std::vector<float> x = squareWave(10, 10, 2);
    PulseMeasurement::storeInModel(model, x.data(), x.size(), 0.001f);
    EXPECT_FLOAT_EQ(model.live.pulseMeasurements[Id::kPeriod], 0.02f);
    // A capture that cannot be measured leaves the previous results in place.
    PulseMeasurement::storeInModel(model, x.data(), x.size(), 0.0f);
    EXPECT_FLOAT_EQ(model.live.pulseMeasurements[Id::kPeriod], 0.02f);
}

}  // namespace

namespace {

TEST(PulseMeasurement, NoiseOnTheBaseLineDoesNotStartTheEdge) {
    // The base line wobbles across the 10 % threshold (-37) twice before the real edge.
    std::vector<float> x = {-40, -36, -40, -36, -40, -40, -30, -20, -10, 0, 0, 0};
    auto r = measured(x, 1.0f);
    EXPECT_FLOAT_EQ(r[Id::kRiseTime], 3.0f);  // -30 at 6 to 0 at 9
}

}  // namespace
