// The ring behind a band's sweep history: oldest-first order across the wrap, growth that keeps
// the order, drops and clears.
#include <gtest/gtest.h>

#include <vector>

#include "model/SweepRing.h"

namespace {

void push(SweepRing& ring, float first, int capacityLimit) {
    float* row = ring.pushBack(capacityLimit);
    for (int i = 0; i < ring.rowWidth(); ++i) {
        row[i] = first + static_cast<float>(i);
    }
}

// The first value of each row, oldest first.
std::vector<float> firsts(const SweepRing& ring) {
    std::vector<float> out;
    for (int i = 0; i < ring.size(); ++i) {
        out.push_back(ring.row(i)[0]);
    }
    return out;
}

}  // namespace

TEST(SweepRing, RowsStayOldestFirstAndWholeAcrossTheWrap) {
    SweepRing ring(3);
    for (int s = 0; s < 7; ++s) {
        if (ring.size() == 4) {
            ring.dropOldest(1);
        }
        push(ring, 10.0f * s, 4);
    }
    EXPECT_EQ(ring.capacity(), 4);  // never more rows than the limit
    EXPECT_EQ(firsts(ring), (std::vector<float>{30, 40, 50, 60}));
    for (int i = 0; i < ring.size(); ++i) {
        EXPECT_EQ(ring.row(i)[2], ring.row(i)[0] + 2.0f) << "row " << i;
    }
    EXPECT_EQ(ring.row(4), nullptr);
    EXPECT_EQ(ring.row(-1), nullptr);
}

TEST(SweepRing, GrowingWhileWrappedKeepsTheOrder) {
    SweepRing ring(2);
    for (int s = 0; s < 8; ++s) {
        push(ring, static_cast<float>(s), 0);
    }
    ASSERT_EQ(ring.capacity(), 8);
    EXPECT_EQ(ring.dropOldest(3), 3);
    for (int s = 8; s < 11; ++s) {
        push(ring, static_cast<float>(s), 0);  // into the rows the drop freed: wrapped
    }
    push(ring, 11.0f, 0);  // full: grows without a limit
    EXPECT_GT(ring.capacity(), 8);
    EXPECT_EQ(firsts(ring), (std::vector<float>{3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(ring.row(5)[1], 9.0f);

    // A limit caps the growth but never below the rows held.
    SweepRing capped(1);
    for (int s = 0; s < 5; ++s) {
        push(capped, static_cast<float>(s), 2);
    }
    EXPECT_EQ(capped.size(), 5);
    EXPECT_EQ(firsts(capped), (std::vector<float>{0, 1, 2, 3, 4}));
}

TEST(SweepRing, DropsAndClearsForgetTheOldestAndKeepTheBlock) {
    SweepRing ring(1);
    for (int s = 0; s < 6; ++s) {
        push(ring, static_cast<float>(s), 6);
    }
    EXPECT_EQ(ring.dropOldest(0), 0);
    EXPECT_EQ(ring.dropOldest(-2), 0);
    EXPECT_EQ(ring.dropOldest(2), 2);
    EXPECT_EQ(firsts(ring), (std::vector<float>{2, 3, 4, 5}));
    EXPECT_EQ(ring.dropOldest(99), 4);
    EXPECT_TRUE(ring.empty());
    push(ring, 7.0f, 6);
    ring.clear();
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(ring.row(0), nullptr);
    EXPECT_EQ(ring.capacity(), 6);
    push(ring, 8.0f, 6);
    EXPECT_EQ(firsts(ring), (std::vector<float>{8}));
}
