#include <gtest/gtest.h>

#include <cmath>

#include "model/AccessPoint.h"
#include "views/ssid/SSIDOutlineGeometry.h"

namespace {

AccessPoint ap24(int channel, uint8_t standards, int bandwidth = 20, int secondary = 0) {
    AccessPoint ap;
    ap.channel = static_cast<uint16_t>(channel);
    ap.standards = standards;
    ap.bandwidthMHz = bandwidth;
    ap.secondaryChannel = secondary;
    return ap;
}

AccessPoint ap5(int channel, int bandwidth, int alt1 = 0, int alt2 = 0, int secondary = 0) {
    AccessPoint ap = ap24(channel, 0x18, bandwidth, secondary);
    ap.is5GHz = 1;
    ap.alt1 = alt1;
    ap.alt2 = alt2;
    return ap;
}

// Centre as an absolute frequency.
float at24(const SSIDOutline& o) {
    return 2400.0f + o.centreMHz;
}
float at5(const SSIDOutline& o) {
    return 5145.0f + o.centreMHz;
}

}  // namespace

TEST(SSIDOutlineGeometry, TwoPointFourGigahertzShapes) {
    SSIDOutline b = SSIDOutlineGeometry::band24(ap24(6, 0x01));
    EXPECT_TRUE(b.drawn && b.ellipse);
    EXPECT_FLOAT_EQ(at24(b), 2437.0f);
    EXPECT_FLOAT_EQ(b.bottomMHz, 22.0f);

    SSIDOutline n40 = SSIDOutlineGeometry::band24(ap24(6, 0x07, 40, 1));
    EXPECT_FALSE(n40.ellipse);
    EXPECT_FLOAT_EQ(at24(n40), 2447.0f);
    EXPECT_FLOAT_EQ(n40.bottomMHz, 44.0f);
    EXPECT_FLOAT_EQ(n40.topMHz, 42.0f);
    EXPECT_FLOAT_EQ(at24(SSIDOutlineGeometry::band24(ap24(11, 0x07, 40, 1))), 2462.0f);
    EXPECT_FLOAT_EQ(at24(SSIDOutlineGeometry::band24(ap24(11, 0x07, 40, 2))), 2452.0f);

    SSIDOutline n10 = SSIDOutlineGeometry::band24(ap24(1, 0x02, 10));
    EXPECT_FLOAT_EQ(n10.bottomMHz, 10.0f);
    EXPECT_FLOAT_EQ(n10.topMHz, 10.0f);
    SSIDOutline ac = SSIDOutlineGeometry::band24(ap24(1, 0x14, 10));  // ac outranks n
    EXPECT_FLOAT_EQ(ac.bottomMHz, 22.0f);
    EXPECT_FLOAT_EQ(ac.topMHz, 20.0f);
    SSIDOutline odd = SSIDOutlineGeometry::band24(ap24(1, 0x04, 33));
    EXPECT_FLOAT_EQ(odd.bottomMHz, 22.0f);

    // Channel 14 sits at 2484 MHz for every standard; channels outside 1..14 are not drawn.
    EXPECT_FLOAT_EQ(at24(SSIDOutlineGeometry::band24(ap24(14, 0x01))), 2484.0f);
    EXPECT_FLOAT_EQ(at24(SSIDOutlineGeometry::band24(ap24(14, 0x04))), 2484.0f);
    EXPECT_FALSE(SSIDOutlineGeometry::band24(ap24(0, 0x04)).drawn);
    EXPECT_FALSE(SSIDOutlineGeometry::band24(ap24(15, 0x04)).drawn);
    EXPECT_FALSE(SSIDOutlineGeometry::band24(ap24(255, 0x01)).drawn);
}

TEST(SSIDOutlineGeometry, FiveGigahertzBondedBlocks) {
    SSIDOutline c36 = SSIDOutlineGeometry::band5(ap5(36, 20));
    EXPECT_FLOAT_EQ(at5(c36), 5180.0f);
    EXPECT_FLOAT_EQ(c36.bottomMHz, 20.0f);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(32, 20)).drawn);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(169, 20)).drawn);

    // 40 MHz without alternative fields: on a 40 MHz centre, else by the secondary.
    EXPECT_FLOAT_EQ(at5(SSIDOutlineGeometry::band5(ap5(38, 40))), 5190.0f);
    EXPECT_FLOAT_EQ(at5(SSIDOutlineGeometry::band5(ap5(36, 40, 0, 255, 1))), 5190.0f);
    EXPECT_FLOAT_EQ(at5(SSIDOutlineGeometry::band5(ap5(40, 40, 255, 0, 2))), 5190.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::band5(ap5(36, 40)).topMHz, 40.0f);

    // 40 MHz with the first alternative field.
    SSIDOutline viaAlt = SSIDOutlineGeometry::band5(ap5(36, 40, 42));
    EXPECT_FLOAT_EQ(at5(viaAlt), 5210.0f);
    EXPECT_FLOAT_EQ(viaAlt.bottomMHz, 80.0f);
    SSIDOutline between = SSIDOutlineGeometry::band5(ap5(38, 40, 46));
    EXPECT_FLOAT_EQ(at5(between), 5210.0f);
    EXPECT_FLOAT_EQ(between.bottomMHz, 80.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::band5(ap5(38, 40, 38)).bottomMHz, 40.0f);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(36, 40, 44)).drawn);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(38, 40, 46, 7)).drawn);

    EXPECT_FLOAT_EQ(at5(SSIDOutlineGeometry::band5(ap5(42, 80))), 5210.0f);
    EXPECT_FLOAT_EQ(at5(SSIDOutlineGeometry::band5(ap5(36, 80, 42))), 5210.0f);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(36, 80)).drawn);
    SSIDOutline wide = SSIDOutlineGeometry::band5(ap5(36, 160, 50));
    EXPECT_FLOAT_EQ(at5(wide), 5250.0f);
    EXPECT_FLOAT_EQ(wide.bottomMHz, 160.0f);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(36, 160, 42)).drawn);
    EXPECT_FALSE(SSIDOutlineGeometry::band5(ap5(36, -1)).drawn);
}

TEST(SSIDOutlineGeometry, HeightsAndLabels) {
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::levelHeight(-50.0f, -90.0f, -10.0f, 160.0f), 80.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::levelHeight(0.0f, -90.0f, -10.0f, 160.0f), 160.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::levelHeight(-120.0f, -90.0f, -10.0f, 160.0f), 0.0f);
    // A band the accessory does not have has no axis: nothing is drawn.
    EXPECT_LT(SSIDOutlineGeometry::levelHeight(-50.0f, NAN, NAN, 160.0f), 0.0f);
    EXPECT_LT(SSIDOutlineGeometry::levelHeight(NAN, -90.0f, -10.0f, 160.0f), 0.0f);
    EXPECT_LT(SSIDOutlineGeometry::levelHeight(-50.0f, -10.0f, -10.0f, 160.0f), 0.0f);

    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::labelY(80.0f, 20.0f, 160.0f), 90.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::labelY(160.0f, 20.0f, 160.0f), 150.0f);
    EXPECT_FLOAT_EQ(SSIDOutlineGeometry::labelY(140.0f, 20.0f, 160.0f), 150.0f);
}

TEST(SSIDOutlineGeometry, ClicksHitTheShapeOrItsEdgeOnly) {
    // A trapezoid 88 wide at the baseline and 80 at its top, 100 high, centred at 200.
    auto hit = [](float x, float y) {
        return SSIDOutlineGeometry::contains(false, 200.f, 88.f, 80.f, 100.f, x, y, 4.f);
    };
    EXPECT_TRUE(hit(200.f, 50.f));
    EXPECT_TRUE(hit(243.f, 1.f));   // at the baseline the half width is 44
    EXPECT_FALSE(hit(249.f, 1.f));  // beyond the slack
    EXPECT_TRUE(hit(243.f, 99.f));  // 40 + slack at the top
    EXPECT_FALSE(hit(246.f, 99.f));
    EXPECT_TRUE(hit(200.f, 103.f));  // just above the top edge
    EXPECT_FALSE(hit(200.f, 110.f));
    // The half ellipse of an 802.11b outline: 44 wide either side, 100 high.
    auto ellipse = [](float x, float y) {
        return SSIDOutlineGeometry::contains(true, 200.f, 88.f, 88.f, 100.f, x, y, 0.f);
    };
    EXPECT_TRUE(ellipse(200.f, 99.f));
    EXPECT_TRUE(ellipse(243.f, 5.f));
    EXPECT_FALSE(ellipse(240.f, 90.f));  // outside the curve, inside its bounding box
    // An outline below the axis (negative height) cannot be clicked.
    EXPECT_FALSE(SSIDOutlineGeometry::contains(false, 200.f, 88.f, 80.f, -1.f, 200.f, 0.f, 4.f));
}
