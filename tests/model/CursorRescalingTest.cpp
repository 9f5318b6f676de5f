#include "model/CursorRescaling.h"

#include <gtest/gtest.h>

namespace {

constexpr float kBar = 75.f;

CursorSettings placed() {
    CursorSettings c;
    c.verticalX[0] = 96.f;
    c.verticalX[1] = 480.f;
    c.positionReferencePair[0] = 48.f;
    c.positionReferencePair[1] = 240.f;
    c.horizontalY[0] = 113.f;
    c.horizontalY[1] = 226.f;
    c.levelReferencePair[0] = 56.5f;
    c.levelReferencePair[1] = 565.f;
    return c;
}

TEST(CursorRescaling, AcrossWithTheWidthUpWithThePlotAboveTheBar) {
    CursorSettings c = placed();
    CursorRescaling::apply(c, 960, 640, 1200, 715, kBar);  // width x1.25, plot 565 -> 640
    EXPECT_FLOAT_EQ(c.verticalX[0], 120.f);
    EXPECT_FLOAT_EQ(c.verticalX[1], 600.f);
    EXPECT_FLOAT_EQ(c.positionReferencePair[0], 60.f);
    EXPECT_FLOAT_EQ(c.positionReferencePair[1], 300.f);
    EXPECT_FLOAT_EQ(c.horizontalY[0], 128.f);
    EXPECT_FLOAT_EQ(c.horizontalY[1], 256.f);
    EXPECT_FLOAT_EQ(c.levelReferencePair[0], 64.f);
    EXPECT_FLOAT_EQ(c.levelReferencePair[1], 640.f);
    // And back again: every cursor where it started.
    CursorRescaling::apply(c, 1200, 715, 960, 640, kBar);
    const CursorSettings start = placed();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(c.verticalX[i], start.verticalX[i]);
        EXPECT_FLOAT_EQ(c.horizontalY[i], start.horizontalY[i]);
        EXPECT_FLOAT_EQ(c.levelReferencePair[i], start.levelReferencePair[i]);
        EXPECT_FLOAT_EQ(c.positionReferencePair[i], start.positionReferencePair[i]);
    }
}

TEST(CursorRescaling, WindowSqueezedBelowTheBarKeepsTheCursorsForItsReturn) {
    CursorSettings c = placed();
    // The first size of all (nothing to scale from), then a window no taller than the bar.
    CursorRescaling::apply(c, 0, 0, 960, 640, kBar);
    CursorRescaling::apply(c, 960, 640, 960, 60, kBar);
    CursorRescaling::apply(c, 960, 60, 960, 640, kBar);
    EXPECT_FLOAT_EQ(c.horizontalY[0], 113.f);
    EXPECT_FLOAT_EQ(c.levelReferencePair[1], 565.f);
    EXPECT_FLOAT_EQ(c.verticalX[1], 480.f);
    // Only the height changes: nothing moves across.
    CursorRescaling::apply(c, 960, 640, 960, 1205, kBar);
    EXPECT_FLOAT_EQ(c.verticalX[1], 480.f);
    EXPECT_FLOAT_EQ(c.horizontalY[0], 226.f);
}

}  // namespace
