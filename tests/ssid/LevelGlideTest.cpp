#include <gtest/gtest.h>

#include <cmath>

#include "model/AccessPoint.h"
#include "views/ssid/LevelGlide.h"

namespace {

// What a merge leaves: the new rssi as target, the shown level as start.
AccessPoint scanned(float shown, float rssi) {
    AccessPoint ap;
    ap.rssi = rssi;
    ap.previousRssi = rssi;
    ap.levelA = shown;
    ap.levelB = shown;
    return ap;
}

}  // namespace

TEST(LevelGlide, RisesForThreeSecondsThenHolds) {
    AccessPoint ap = scanned(-80.0f, -50.0f);
    const float dt = 1.0f / 60.0f;
    for (int i = 0; i < 90; ++i) {
        LevelGlide::step(ap, dt);
    }
    EXPECT_NEAR(ap.levelB, -65.0f, 0.01f);  // half way after 1.5 s
    for (int i = 0; i < 91; ++i) {
        LevelGlide::step(ap, dt);
    }
    EXPECT_FLOAT_EQ(ap.levelB, -50.0f);
    for (int i = 0; i < 600; ++i) {
        LevelGlide::step(ap, dt);
    }
    EXPECT_FLOAT_EQ(ap.levelB, -50.0f);
    EXPECT_FLOAT_EQ(ap.previousRssi, -50.0f);
}

TEST(LevelGlide, OneLongFrameLandsOnTheTargetEitherWay) {
    AccessPoint up = scanned(-80.0f, -50.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(up, 5.0f), -50.0f);
    AccessPoint down = scanned(-50.0f, -80.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(down, 5.0f), -80.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(down, 1.0f / 60.0f), -80.0f);  // and stays
    AccessPoint exact = scanned(-50.0f, -80.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(exact, 3.0f), -80.0f);
}

TEST(LevelGlide, ANewScanMidGlideStartsFromWhatIsShown) {
    AccessPoint ap = scanned(-80.0f, -50.0f);
    LevelGlide::step(ap, 1.5f);  // -65 shown
    ap.rssi = -70.0f;            // the record changed without a merge's bookkeeping
    LevelGlide::step(ap, 1.5f);
    EXPECT_NEAR(ap.levelB, -67.5f, 1e-4);
    EXPECT_FLOAT_EQ(ap.levelA, -65.0f);
    LevelGlide::step(ap, 1.5f);
    EXPECT_FLOAT_EQ(ap.levelB, -70.0f);
}

TEST(LevelGlide, NonFiniteLevelsRestartAtTheTarget) {
    AccessPoint ap = scanned(NAN, -60.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(ap, 1.0f / 60.0f), -60.0f);
    AccessPoint inf = scanned(-60.0f, -40.0f);
    inf.levelA = -INFINITY;
    EXPECT_FLOAT_EQ(LevelGlide::step(inf, 0.1f), -40.0f);
    AccessPoint zeroDt = scanned(-80.0f, -50.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(zeroDt, 0.0f), -80.0f);
    EXPECT_FLOAT_EQ(LevelGlide::step(zeroDt, NAN), -80.0f);
}
