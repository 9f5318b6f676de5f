// Cursor records from a damaged stored image: the selection index and non-finite positions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/CursorSelection.h"

namespace {

TEST(CursorSelectionTest, SelectionAboveOneSelectsTheSecondCursor) {
    CursorSettings c;
    const int expected[][2] = {{0, 0}, {1, 1}, {2, 1}, {255, 1}};
    for (const auto& [stored, index] : expected) {
        c.selectedCursor = static_cast<uint8_t>(stored);
        EXPECT_EQ(selectedCursorIndex(c), index) << stored;
    }
}

TEST(CursorSelectionTest, NonFinitePositionsGoBackToTheirDefaults) {
    CursorSettings c;
    c.verticalX[0] = 50.f;
    c.verticalX[1] = std::numeric_limits<float>::quiet_NaN();
    c.horizontalY[0] = std::numeric_limits<float>::infinity();
    c.horizontalY[1] = 70.f;
    c.positionReferencePair[1] = -std::numeric_limits<float>::infinity();
    EXPECT_TRUE(resetNonFinitePositions(c));
    EXPECT_FLOAT_EQ(c.verticalX[0], 50.f);  // finite values stay where they are
    EXPECT_FLOAT_EQ(c.verticalX[1], 200.f);
    EXPECT_FLOAT_EQ(c.horizontalY[0], 100.f);
    EXPECT_FLOAT_EQ(c.horizontalY[1], 70.f);
    EXPECT_FLOAT_EQ(c.positionReferencePair[1], 200.f);
    EXPECT_FALSE(resetNonFinitePositions(c));
}

}  // namespace
