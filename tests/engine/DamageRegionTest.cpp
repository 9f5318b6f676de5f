// The damage a frame is drawn in: a few boxes that hold every change, each only as tall as the
// changes in its stretch of the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/renderer/DamageRegion.h"

using namespace engine;

namespace {

bool holds(const std::vector<Rect>& rects, const Rect& r) {
    for (const Rect& box : rects) {
        if (box.getMinX() <= r.getMinX() && box.getMaxX() >= r.getMaxX() &&
            box.getMinY() <= r.getMinY() && box.getMaxY() >= r.getMaxY())
            return true;
    }
    // A rectangle across strips lies in several boxes side by side: check it per strip.
    for (float x = r.getMinX(); x < r.getMaxX(); x += 1.f) {
        const float right = std::min(r.getMaxX(), x + 1.f);
        bool found = false;
        for (const Rect& box : rects) {
            found = found || (box.getMinX() <= x && box.getMaxX() >= right &&
                              box.getMinY() <= r.getMinY() && box.getMaxY() >= r.getMaxY());
        }
        if (!found)
            return false;
    }
    return true;
}

bool disjoint(const std::vector<Rect>& rects) {
    for (size_t i = 0; i + 1 < rects.size(); ++i) {
        if (rects[i].getMaxX() > rects[i + 1].getMinX())
            return false;
    }
    return true;
}

float area(const std::vector<Rect>& rects) {
    float sum = 0;
    for (const Rect& r : rects)
        sum += r.size.width * r.size.height;
    return sum;
}

TEST(DamageRegionTest, AStepAcrossTheFrameIsHeldByBoxesOnlyAsTallAsEachStretch) {
    DamageRegion damage;
    std::vector<Rect> added;
    // A trace low on the left and high on the right, in runs eight points wide.
    for (float x = 0; x < 640; x += 8) {
        const float y = x < 320 ? 20.f : 400.f;
        added.emplace_back(x, y, 8.f, 4.f);
        damage.add(added.back());
    }
    // The step between them, one tall run.
    added.emplace_back(316, 20, 8, 384);
    damage.add(added.back());

    const std::vector<Rect> rects = damage.getRects(6, 1000.f);
    ASSERT_GE(rects.size(), 2u);
    ASSERT_LE(rects.size(), 6u);
    EXPECT_TRUE(disjoint(rects));
    for (const Rect& r : added)
        EXPECT_TRUE(holds(rects, r)) << r.origin.x << ", " << r.origin.y;
    const Rect& bounds = damage.getBounds();
    EXPECT_EQ(bounds.getMinX(), 0.f);
    EXPECT_EQ(bounds.getMaxX(), 640.f);
    EXPECT_EQ(bounds.getMaxY(), 404.f);
    EXPECT_LT(area(rects), 0.25f * bounds.size.width * bounds.size.height);

    // One box: the bounds.
    const std::vector<Rect> one = damage.getRects(1, 1000.f);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one.front().size.width, bounds.size.width);
    EXPECT_EQ(one.front().size.height, bounds.size.height);
}

TEST(DamageRegionTest, TooManyOrCheapBoxesAreJoinedAndStillHoldEverything) {
    DamageRegion damage;
    std::vector<Rect> added;
    for (int i = 0; i < 20; ++i) {
        added.emplace_back(static_cast<float>(i) * 64.f + 3.f, static_cast<float>(i % 5) * 90.f,
                           10.f, 10.f);
        damage.add(added.back());
    }
    const std::vector<Rect> capped = damage.getRects(4, 0.f);
    ASSERT_EQ(capped.size(), 4u);
    EXPECT_TRUE(disjoint(capped));
    for (const Rect& r : added)
        EXPECT_TRUE(holds(capped, r));
    // Another box is worth more than any gap here: one box.
    EXPECT_EQ(damage.getRects(6, 1e9f).size(), 1u);
}

TEST(DamageRegionTest, FarOutsideTheStripsIsHeldToo) {
    DamageRegion damage;
    const Rect left(-50, 10, 20, 5);
    const Rect right(DamageRegion::kStripWidth * DamageRegion::kStrips + 100.f, 30, 40, 5);
    damage.add(left);
    damage.add(right);
    const std::vector<Rect> rects = damage.getRects(6, 0.f);
    EXPECT_TRUE(holds(rects, left));
    EXPECT_TRUE(holds(rects, right));

    damage.reset();
    EXPECT_TRUE(damage.isEmpty());
    EXPECT_TRUE(damage.getRects(6, 0.f).empty());
    damage.add(Rect(0, 0, 0, 10));  // nothing
    EXPECT_TRUE(damage.isEmpty());
    damage.add(Rect(0, std::numeric_limits<float>::quiet_NaN(), 10, 10));
    EXPECT_TRUE(damage.isAll()) << "a rectangle that says nothing of where damages everything";

    // A reset forgets the strips of before.
    damage.reset();
    damage.add(Rect(100, 100, 4, 4));
    const std::vector<Rect> after = damage.getRects(6, 0.f);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after.front().origin.x, 100.f);
    EXPECT_EQ(after.front().size.height, 4.f);
}

}  // namespace
