// The channel plans as tables: edges of every plan against hand-computed values, the layout
// rules the guide builds on, and stored plan values that are out of range.
#include <gtest/gtest.h>

#include <vector>

#include "model/ChannelPlans.h"
#include "model/StoredSettings.h"

namespace {

using Range = ChannelPlans::Range;

struct EdgeCase {
    int plan;
    int channel;
    int32_t low;
    int32_t high;
};

// One or more channels of every plan, worked out by hand from the standards' centre formulas.
const EdgeCase kEdges[] = {
    {1, 1, 2401000, 2423000},   {1, 13, 2461000, 2483000},  {1, 14, 2473000, 2495000},
    {2, 1, 2402000, 2422000},   {2, 13, 2462000, 2482000},  {3, 6, 2427000, 2447000},
    {4, 1, 2402000, 2442000},   {4, 9, 2442000, 2482000},   {4, 8, 2437000, 2477000},
    {5, 5, 2402000, 2442000},   {5, 13, 2442000, 2482000},  {6, 11, 2403500, 2406500},
    {6, 26, 2478500, 2481500},  {7, 0, 2403699, 2404699},   {7, 10, 2478930, 2479930},
    {8, 36, 5170000, 5190000},  {8, 165, 5815000, 5835000}, {9, 38, 5170000, 5210000},
    {9, 159, 5775000, 5815000}, {10, 42, 5170000, 5250000}, {10, 155, 5735000, 5815000},
    {11, 50, 5170000, 5330000}, {11, 114, 5490000, 5650000}};

TEST(ChannelPlansTest, EdgesOfEveryPlan) {
    for (const EdgeCase& c : kEdges) {
        EXPECT_EQ(ChannelPlans::channelEdges(c.plan, c.channel), (Range{c.low, c.high}))
            << "plan " << c.plan << " channel " << c.channel;
    }
}

TEST(ChannelPlansTest, NumbersOutsideAPlanHaveNoEdges) {
    const EdgeCase outside[] = {{1, 0, 0, 0},  {1, 15, 0, 0}, {2, 14, 0, 0},   {4, 10, 0, 0},
                                {5, 4, 0, 0},  {6, 10, 0, 0}, {6, 27, 0, 0},   {7, -1, 0, 0},
                                {7, 11, 0, 0}, {8, 35, 0, 0}, {11, 166, 0, 0}, {0, 1, 0, 0},
                                {12, 1, 0, 0}, {-1, 1, 0, 0}};
    for (const EdgeCase& c : outside)
        EXPECT_EQ(ChannelPlans::channelEdges(c.plan, c.channel), (Range{0, 0}))
            << "plan " << c.plan << " channel " << c.channel;
    // The 5 GHz plans compute any number in 36..165, listed or not.
    EXPECT_EQ(ChannelPlans::channelEdges(10, 36), (Range{5140000, 5220000}));
}

TEST(ChannelPlansTest, ChannelListsSpansAndRows) {
    EXPECT_EQ(ChannelPlans::planChannels(1).size(), 14u);
    EXPECT_EQ(ChannelPlans::planChannels(4), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ChannelPlans::planChannels(5), (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ChannelPlans::planChannels(6).front(), 11);
    EXPECT_EQ(ChannelPlans::planChannels(6).back(), 26);
    EXPECT_EQ(ChannelPlans::planChannels(7).size(), 11u);
    const std::vector<int> a20 = ChannelPlans::planChannels(8);
    EXPECT_EQ(a20.size(), 8u + 12u + 5u);
    EXPECT_EQ(a20[7], 64);
    EXPECT_EQ(a20[8], 100);
    EXPECT_EQ(a20[19], 144);
    EXPECT_EQ(a20[20], 149);
    EXPECT_EQ(a20.back(), 165);
    EXPECT_EQ(ChannelPlans::planChannels(9),
              (std::vector<int>{38, 46, 54, 62, 102, 110, 118, 126, 134, 142, 151, 159}));
    EXPECT_EQ(ChannelPlans::planChannels(10), (std::vector<int>{42, 58, 106, 122, 138, 155}));
    EXPECT_EQ(ChannelPlans::planChannels(11), (std::vector<int>{50, 114}));
    // Every listed channel has edges inside the plan's span.
    for (int plan = 1; plan < ChannelPlans::kPlanCount; ++plan) {
        const Range span = ChannelPlans::planSpan(plan);
        for (int n : ChannelPlans::planChannels(plan)) {
            const Range e = ChannelPlans::channelEdges(plan, n);
            EXPECT_LT(e.low, e.high) << plan << "/" << n;
            EXPECT_GE(e.low, span.low) << plan << "/" << n;
            EXPECT_LE(e.high, span.high) << plan << "/" << n;
        }
    }
    EXPECT_EQ(ChannelPlans::planSpan(3), (Range{2400000, 2500000}));
    EXPECT_EQ(ChannelPlans::planSpan(8), (Range{5145000, 5860000}));
    const int rows[12] = {1, 5, 5, 5, 9, 9, 1, 1, 1, 1, 1, 1};
    for (int plan = 0; plan < 12; ++plan)
        EXPECT_EQ(ChannelPlans::planRowCount(plan), rows[plan]) << plan;
    EXPECT_STREQ(ChannelPlans::popoverPrefix(5), "802.11n (A):: ");
    EXPECT_STREQ(ChannelPlans::popoverPrefix(11), "802.11ac :: ");
}

TEST(ChannelPlansTest, DamagedStoredPlansGiveNoGuide) {
    SpectrumViewSettings view;
    view.band = 0;
    view.channelGuide24 = 2;
    view.channelGuide5 = 9;
    EXPECT_EQ(ChannelPlans::activePlan(view), 2);
    view.band = 1;
    EXPECT_EQ(ChannelPlans::activePlan(view), 9);
    view.band = 7;  // neither band
    EXPECT_EQ(ChannelPlans::activePlan(view), 0);
    view.band = 1;
    for (int damaged : {12, -1, 0x7fffffff, static_cast<int>(0x80000000)}) {
        view.channelGuide5 = damaged;
        EXPECT_EQ(ChannelPlans::activePlan(view), 0) << damaged;
        EXPECT_TRUE(ChannelPlans::planChannels(damaged).empty());
        EXPECT_EQ(ChannelPlans::planSpan(damaged), (Range{0, 0}));
        EXPECT_GE(ChannelPlans::planRowCount(damaged), 1);
        EXPECT_STREQ(ChannelPlans::popoverPrefix(damaged), "");
        EXPECT_EQ(ChannelPlans::nearestChannel(damaged, 400.f, 10.f), -1);
    }
}

TEST(ChannelPlansTest, ButtonRoundingAndPlacement) {
    // The low edge goes down to the 100 kHz step below low - 49 (a low edge on a step moves one
    // step out), the high edge to the step at or below high + 49.
    EXPECT_EQ(ChannelPlans::roundedEdges({2403500, 2406500}), (Range{2403400, 2406500}));
    EXPECT_EQ(ChannelPlans::roundedEdges({2403699, 2404699}), (Range{2403600, 2404700}));
    EXPECT_EQ(ChannelPlans::roundedEdges({2401000, 2423000}), (Range{2400900, 2423000}));
    // 101 MHz across 1010 units: 10 units per MHz from 2400 MHz.
    const ChannelPlans::Scale scale = ChannelPlans::scaleFor(2, 1010.f);
    EXPECT_FLOAT_EQ(scale.x(2400000), 0.f);
    EXPECT_FLOAT_EQ(scale.x(2402000), 20.f);
    EXPECT_FLOAT_EQ(scale.x(2500000 + 1000), 1010.f);
    // Plan 0 has a zero span; the scale stays finite.
    EXPECT_FLOAT_EQ(ChannelPlans::scaleFor(0, 500.f).x(0), 0.f);
}

TEST(ChannelPlansTest, NearestChannelByCentre) {
    // 802.11g over 1010 units: channel n is centred at 10 * (12 + 5 (n - 1)) + 5.
    EXPECT_EQ(ChannelPlans::nearestChannel(2, 1010.f, 0.f), 1);
    EXPECT_EQ(ChannelPlans::nearestChannel(2, 1010.f, 375.f), 6);
    EXPECT_EQ(ChannelPlans::nearestChannel(2, 1010.f, 399.f), 6);
    // Exactly between 6 and 7: the first of equals.
    EXPECT_EQ(ChannelPlans::nearestChannel(2, 1010.f, 400.f), 6);
    EXPECT_EQ(ChannelPlans::nearestChannel(2, 1010.f, 1010.f), 13);
    // The 5 GHz gap between 64 and 100 goes to the nearer side.
    EXPECT_EQ(ChannelPlans::nearestChannel(8, 716.f, 5330.f - 5145.f), 64);
}

}  // namespace
