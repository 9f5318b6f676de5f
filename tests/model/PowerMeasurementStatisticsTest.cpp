#include "model/PowerMeasurementStatistics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"

namespace {

using P = PulseMeasurement;
using S = PowerMeasurementStatistics;

P::Results capture(float period, float max, float min) {
    P::Results r;
    r.fill(NAN);
    r[P::kPeriod] = period;
    r[P::kMax] = max;
    r[P::kMin] = min;
    r[P::kPeakToPeak] = max - min;
    return r;
}

TEST(PowerMeasurementStatistics, CurrentMinMaxMeanAndCountSinceTheReset) {
    S s;
    EXPECT_EQ(s.captures(), 0u);
    EXPECT_TRUE(std::isnan(s.figure(P::kPeriod).mean()));
    s.add(capture(20e-6f, -20.f, -47.f));
    s.add(capture(18e-6f, -21.f, -46.f));
    s.add(capture(25e-6f, -19.f, -48.f));
    const S::Figure& period = s.figure(P::kPeriod);
    EXPECT_EQ(s.captures(), 3u);
    EXPECT_EQ(period.count, 3u);
    EXPECT_FLOAT_EQ(period.current, 25e-6f);
    EXPECT_FLOAT_EQ(period.min, 18e-6f);
    EXPECT_FLOAT_EQ(period.max, 25e-6f);
    EXPECT_FLOAT_EQ(period.mean(), 21e-6f);
    // Peak-to-peak in milliwatts of each capture: 10 uW - 0.02 uW and so on, not of the means.
    const S::Figure& watts = s.figure(S::kPeakToPeakMilliwatts);
    EXPECT_NEAR(watts.max, std::pow(10.f, -1.9f) - std::pow(10.f, -4.8f), 1e-7);
    EXPECT_NEAR(watts.min, std::pow(10.f, -2.1f) - std::pow(10.f, -4.6f), 1e-7);

    s.reset();
    EXPECT_EQ(s.captures(), 0u);
    EXPECT_EQ(s.figure(P::kPeriod).count, 0u);
    EXPECT_TRUE(std::isnan(s.figure(P::kPeriod).max));
    s.add(capture(30e-6f, -20.f, -47.f));
    EXPECT_FLOAT_EQ(s.figure(P::kPeriod).min, 30e-6f);  // not the old 18 us
    // Ids outside the record give an empty figure.
    EXPECT_EQ(s.figure(-1).count, 0u);
    EXPECT_EQ(s.figure(S::kPeakToPeakMilliwatts + 1).count, 0u);
}

TEST(PowerMeasurementStatistics, AnUndefinedCaptureCountsButDoesNotDragTheFigures) {
    S s;
    s.add(capture(20e-6f, -20.f, -47.f));
    s.add(capture(NAN, -20.f, -47.f));
    const S::Figure& period = s.figure(P::kPeriod);
    EXPECT_EQ(s.captures(), 2u);
    EXPECT_EQ(period.count, 1u);
    EXPECT_FLOAT_EQ(period.mean(), 20e-6f);
    EXPECT_TRUE(std::isnan(period.current));
}

TEST(PowerMeasurementStatistics, SteadyValueOutlastsShortRunsOfUndefinedCaptures) {
    S s;
    EXPECT_TRUE(std::isnan(s.figure(P::kPeriod).steady()));
    s.add(capture(20e-6f, -20.f, -47.f));
    for (uint32_t miss = 1; miss < S::kHeldCaptures; ++miss) {
        s.add(capture(NAN, -20.f, -47.f));
        EXPECT_FLOAT_EQ(s.figure(P::kPeriod).steady(), 20e-6f) << miss;
    }
    s.add(capture(NAN, -20.f, -47.f));
    EXPECT_TRUE(std::isnan(s.figure(P::kPeriod).steady()));
    s.add(capture(21e-6f, -20.f, -47.f));
    EXPECT_FLOAT_EQ(s.figure(P::kPeriod).steady(), 21e-6f);
}

TEST(PowerMeasurementStatistics, TheModelCollectsEveryMeasuredCaptureUntilItsDataIsCleared) {
    SpectrumSettings model;
    // A square wave of 10 high and 10 low samples: a period of 20 samples.
    float wave[60];
    for (int i = 0; i < 60; ++i) {
        wave[i] = (i / 10) % 2 == 0 ? -40.f : -20.f;
    }
    P::storeInModel(model, wave, 60, 1e-6f);
    P::storeInModel(model, wave, 60, 2e-6f);
    P::storeInModel(model, wave, 0, 1e-6f);  // nothing to measure: not a capture
    EXPECT_EQ(model.pulseStatistics.captures(), 2u);
    EXPECT_FLOAT_EQ(model.pulseStatistics.figure(P::kPeriod).min, 20e-6f);
    EXPECT_FLOAT_EQ(model.pulseStatistics.figure(P::kPeriod).max, 40e-6f);
    model.resetPulseStatistics();
    EXPECT_EQ(model.pulseStatistics.captures(), 0u);
    P::storeInModel(model, wave, 60, 1e-6f);
    model.clearPowerData();  // new settings: old figures would not compare
    EXPECT_EQ(model.pulseStatistics.captures(), 0u);
}

}  // namespace
