#include <gtest/gtest.h>

#include <cmath>

#include "model/PowerMeasurementText.h"

namespace {

using P = PulseMeasurement;
using T = PowerMeasurementText;

P::Results squareResults() {
    P::Results r;
    r.fill(NAN);
    r[P::kPeriod] = 0.00123f;
    r[P::kFrequency] = 813.0f;
    r[P::kDutyPlus] = 50.0f;
    r[P::kPeakToPeak] = 30.0f;
    r[P::kMax] = -10.0f;
    r[P::kMin] = -40.0f;
    r[P::kMean] = -25.0f;
    return r;
}

TEST(PowerMeasurementText, NamesAndSlotsThatAreNoRow) {
    EXPECT_STREQ(T::name(0), "Period");
    EXPECT_STREQ(T::name(13), "P-P");
    EXPECT_STREQ(T::name(22), "Cycle RMS");
    for (int damaged : {-1, 23, 100, 254, 255}) {
        EXPECT_FALSE(T::isMeasurement(damaged));
        EXPECT_STREQ(T::name(damaged), "");
        EXPECT_EQ(T::value(damaged, squareResults(), 0.0f, false), "");
    }
}

TEST(PowerMeasurementText, ValuesWithSiPrefixesAndUnits) {
    const P::Results r = squareResults();
    EXPECT_EQ(T::value(P::kPeriod, r, 0.0f, false), "1.23 ms");
    EXPECT_EQ(T::value(P::kFrequency, r, 0.0f, false), "813.00 Hz");
    EXPECT_EQ(T::value(P::kDutyPlus, r, 0.0f, false), "50.00 %");
    // Levels carry the attenuation offset.
    EXPECT_EQ(T::value(P::kMean, r, 10.0f, false), "-15.00dBm");
    EXPECT_EQ(T::value(P::kMax, r, 10.0f, true), "1.00 mW");
    // A difference carries no offset in dBm; in watts each end gets it.
    EXPECT_EQ(T::value(P::kPeakToPeak, r, 10.0f, false), "30.00dB");
    EXPECT_EQ(T::value(P::kPeakToPeak, r, 10.0f, true),
              "999.00 "
              "\xC2\xB5"
              "W");
}

TEST(PowerMeasurementText, UndefinedValues) {
    const P::Results r = squareResults();
    EXPECT_EQ(T::value(P::kDutyMinus, r, 0.0f, false), "Low Freq");
    EXPECT_EQ(T::value(P::kCycleMean, r, 0.0f, false), "Low Freq");
    EXPECT_EQ(T::value(P::kRiseTime, r, 0.0f, false), "--");
    EXPECT_EQ(T::value(P::kRms, r, 0.0f, true), "--");
    // Ids without a computed value show no value of their own.
    EXPECT_EQ(T::value(P::kDelay, r, 0.0f, false), "");
    EXPECT_EQ(T::value(P::kHigh, r, 0.0f, false), "");
}

}  // namespace
