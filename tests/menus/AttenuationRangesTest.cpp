#include "menus/AttenuationRanges.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AttenuationRanges, InternalStepsStopWhereTheCommandCodeDoes) {
    auto eight = AttenuationRanges::internalRows(8);
    ASSERT_EQ(eight->rowCount(), 7);
    EXPECT_EQ(eight->titleForRow(6), "24 dB");
    EXPECT_FALSE(eight->contains(7));  // "28 dB" cannot be sent
    EXPECT_EQ(eight->rowForValue(7), 0);
    EXPECT_EQ(AttenuationRanges::internalRows(3)->rowCount(), 3);
    EXPECT_EQ(AttenuationRanges::internalRows(0)->rowCount(), 1);
    EXPECT_EQ(AttenuationRanges::internalRows(-5)->titleForRow(0), "0 dB");
}

TEST(AttenuationRanges, ExternalIsZeroToSixtyInWholeDecibels) {
    auto rows = AttenuationRanges::externalRows();
    ASSERT_EQ(rows->rowCount(), 61);
    EXPECT_EQ(rows->titleForRow(0), "0.00 dB");
    EXPECT_EQ(rows->titleForRow(60), "60.00 dB");
    EXPECT_EQ(rows->rowForValue(99.f), 60);
    EXPECT_EQ(AttenuationRanges::externalText(NAN), "--");
}

}  // namespace
