#include "menus/TriggerValueRanges.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(TriggerValueRanges, DelayKeepsTheTriggerPointOnScreenInHalfDivisions) {
    // The accessory's pre-trigger count (T/2 + delay) x rate reaches from 0 to the whole capture
    // for -5 to +5 divisions; beyond them the trigger point would leave the screen.
    auto rows = TriggerValueRanges::delayRows(1e-3f);
    ASSERT_EQ(rows->rowCount(), 21);
    EXPECT_FLOAT_EQ(static_cast<float>(rows->valueForRow(0)), -5e-3f);
    EXPECT_EQ(rows->valueForRow(10), 0.0);  // exactly zero, not a rounding residue
    EXPECT_FLOAT_EQ(static_cast<float>(rows->valueForRow(20)), 5e-3f);
    EXPECT_EQ(rows->titleForRow(10), "0.00 s");
    EXPECT_EQ(rows->titleForRow(0), "-5.00 ms");
    EXPECT_EQ(rows->rowForValue(1.5e-3f), 13);
    for (float none : {0.f, NAN, -1.f}) {
        auto fallback = TriggerValueRanges::delayRows(none);
        EXPECT_EQ(fallback->rowCount(), 21);
        EXPECT_FLOAT_EQ(static_cast<float>(fallback->valueForRow(20)), 0.5f);
    }
}

TEST(TriggerValueRanges, HoldoffIsZeroThenOneTwoFiveSteps) {
    auto rows = TriggerValueRanges::holdoffRows();
    ASSERT_EQ(rows->rowCount(), 23);
    EXPECT_EQ(rows->valueForRow(0), 0.0);
    EXPECT_EQ(rows->titleForRow(1), "1.00 µs");
    EXPECT_EQ(rows->titleForRow(3), "5.00 µs");
    EXPECT_EQ(rows->titleForRow(22), "10.00 s");
    EXPECT_EQ(rows->rowForValue(0.5f), 18);  // a stored float finds its decimal row
    EXPECT_EQ(rows->rowForValue(0.3f), 0);   // off the table
}

TEST(TriggerValueRanges, LevelRowsAreWholeHalvesInsideTheShownAxis) {
    auto rows = TriggerValueRanges::levelRows(-40.f, 0.f, 2.3f);
    ASSERT_EQ(rows->rowCount(), 80);
    EXPECT_DOUBLE_EQ(rows->valueForRow(0), -37.5);
    EXPECT_DOUBLE_EQ(rows->valueForRow(79), 2.0);
    EXPECT_EQ(rows->titleForRow(0), "-37.50dBm");
    EXPECT_EQ(TriggerValueRanges::levelRows(NAN, 0.f, 0.f)->rowCount(), 0);
    EXPECT_EQ(TriggerValueRanges::levelRows(-40.f, NAN, 0.f)->rowCount(), 0);
    EXPECT_EQ(TriggerValueRanges::levelRows(0.f, -40.f, 0.f)->rowCount(), 0);
    EXPECT_FALSE(TriggerValueRanges::levelRangeKnown(-40.f, INFINITY));
}

}  // namespace
