#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/MeasurementRecords.h"
#include "views/power/PowerTraceExtent.h"
#include "views/power/PowerTraceVertices.h"

namespace {

const engine::Rect kClip(0, 0, 400, 201);

// Levels -30 ... -10 dBm on a 400 x 200 view of -40 ... 0 dBm: y = (v + 40) * 5.
TEST(PowerTraceExtent, CoversTheLevelsDrawnWidenedAndPlaced) {
    PowerTraceExtent extent;
    EXPECT_TRUE(extent.empty());
    EXPECT_EQ(extent.placed(1, 0, 400, 5, -200, 0, 2, kClip).size.width, 0.0f);
    const std::vector<float> vertices = {0, -20, 1, NAN, 2, -30, 3, -10, 4, -39};
    extent.addLevels(vertices, 0, 4);  // the last point is not drawn
    extent.addSpan(0, 400);
    ASSERT_FALSE(extent.empty());
    EXPECT_EQ(extent.placed(1, 0, 400, 5, -200, 0, 2, kClip), engine::Rect(0, 48, 400, 104));
    // The trace's offset moves it up; a held capture shown at half the time base and shifted
    // by 40 points covers the middle half of the width, 40 points to the right.
    EXPECT_EQ(extent.placed(1, 0, 400, 5, -200, 30, 2, kClip), engine::Rect(0, 78, 400, 104));
    EXPECT_EQ(extent.placed(0.5f, 80, 400, 5, -200, 0, 2, kClip), engine::Rect(138, 48, 204, 104));
}

TEST(PowerTraceExtent, CutToTheClipAndEmptyOutsideIt) {
    PowerTraceExtent extent;
    const std::vector<float> vertices = {0, -60, 1, INFINITY};
    extent.addLevels(vertices, 0, 2);
    extent.addSpan(350, 400);
    EXPECT_EQ(extent.placed(1, 0, 400, 5, -200, 0, 2, kClip), engine::Rect(348, 0, 52, 201));
    // Moved off the top by its offset: nothing of it shows.
    PowerTraceExtent above;
    const std::vector<float> high = {0, 10, 1, 20};
    above.addLevels(high, 0, 2);
    above.addSpan(0, 400);
    EXPECT_EQ(above.placed(1, 0, 400, 5, -200, 100, 2, kClip).size.height, 0.0f);
    // Only numbers that are not levels: nothing is drawn, nothing is covered.
    PowerTraceExtent none;
    const std::vector<float> nan = {0, NAN, 1, NAN};
    none.addLevels(nan, 0, 2);
    none.addSpan(0, 400);
    EXPECT_TRUE(none.empty());
}

TEST(PowerTraceVertices, DrawnLevelsAreTheEightBitAlphas) {
    PowerTraceSet set;
    set.processedHistory.resize(4);
    set.alpha = {-0.1f, 0.5f, 0.998f};  // the newest has no brightness yet: drawn at full
    std::vector<uint8_t> levels = {7};
    PowerTraceVertices::appendDrawnLevels(set, levels);
    EXPECT_EQ(levels, (std::vector<uint8_t>{7, 0, 128, 254, 255}));
}

}  // namespace
