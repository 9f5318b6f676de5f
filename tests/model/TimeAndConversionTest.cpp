#include <gtest/gtest.h>

#include <cmath>

#include "model/ManualClock.h"
#include "model/MillisecondClock.h"
#include "model/PowerConversions.h"

namespace {

TEST(MillisecondClock, InstalledClockIsReadEverywhereUntilRemoved) {
    ManualClock clock(5000);
    setMillisecondClock(&clock);
    EXPECT_EQ(nowMilliseconds(), 5000u);
    clock.advance(180000);
    EXPECT_EQ(nowMilliseconds(), 185000u);
    clock.set(7);
    EXPECT_EQ(nowMilliseconds(), 7u);
    setMillisecondClock(nullptr);
    const uint64_t a = nowMilliseconds();
    const uint64_t b = nowMilliseconds();
    EXPECT_LE(a, b);  // the steady clock never runs backwards
}

TEST(PowerConversions, DbmAndMilliwatts) {
    EXPECT_FLOAT_EQ(dbmToMilliwatts(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(dbmToMilliwatts(10.0f), 10.0f);
    EXPECT_FLOAT_EQ(dbmToMilliwatts(-30.0f), 0.001f);
    EXPECT_TRUE(std::isnan(dbmToMilliwatts(std::nanf(""))));
    EXPECT_FLOAT_EQ(milliwattsToDbm(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(milliwattsToDbm(100.0f), 20.0f);
    EXPECT_FLOAT_EQ(milliwattsToDbm(dbmToMilliwatts(-47.5f)), -47.5f);
    EXPECT_TRUE(std::isinf(milliwattsToDbm(0.0f)));
    EXPECT_TRUE(std::isnan(milliwattsToDbm(std::nanf(""))));
    EXPECT_TRUE(std::isnan(milliwattsToDbm(-1.0f)));
}

}  // namespace
