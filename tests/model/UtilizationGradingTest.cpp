#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "GradingTestSupport.h"
#include "model/AccessPointSelection.h"
#include "model/ChannelPlan24.h"
#include "model/UtilizationGrading.h"

namespace {

bool grade(GradingModel& g) {
    return UtilizationGrading::run(*g.model, true);
}

}  // namespace

TEST(ChannelPlan24, RangesOfThePlan) {
    EXPECT_FLOAT_EQ(ChannelPlan24::centreMHz(1), 2412.0f);
    EXPECT_FLOAT_EQ(ChannelPlan24::centreMHz(13), 2472.0f);
    EXPECT_FLOAT_EQ(ChannelPlan24::centreMHz(14), 2484.0f);
    EXPECT_FLOAT_EQ(ChannelPlan24::centreMHz(15), 0.0f);
    EXPECT_EQ(ChannelPlan24::secondary(9, 40, 1), 13);
    EXPECT_EQ(ChannelPlan24::secondary(10, 40, 1), 0);
    EXPECT_EQ(ChannelPlan24::secondary(5, 40, 2), 1);
    EXPECT_EQ(ChannelPlan24::secondary(4, 40, 2), 0);
    EXPECT_EQ(ChannelPlan24::secondary(6, 20, 1), 0);
    auto wide = ChannelPlan24::occupied(6, 40, 1);
    ASSERT_TRUE(wide);
    EXPECT_FLOAT_EQ(wide->lowMHz, 2427.0f);
    EXPECT_FLOAT_EQ(wide->highMHz, 2467.0f);
    EXPECT_FALSE(ChannelPlan24::occupied(6, 10, 0));
    EXPECT_FALSE(ChannelPlan24::occupied(0, 20, 0));
    auto o = ChannelPlan24::overlapping(12, 20, 0);
    EXPECT_EQ(o->low, 8);
    EXPECT_EQ(o->high, 14);
    o = ChannelPlan24::overlapping(14, 20, 0);
    EXPECT_EQ(o->low, 12);
    o = ChannelPlan24::overlapping(3, 40, 1);
    EXPECT_EQ(o->low, 1);
    EXPECT_EQ(o->high, 11);
    o = ChannelPlan24::overlapping(10, 40, 2);
    EXPECT_EQ(o->low, 2);
    EXPECT_EQ(o->high, 14);
    EXPECT_FALSE(ChannelPlan24::overlapping(14, 40, 0));
    EXPECT_FALSE(ChannelPlan24::overlapping(200, 20, 0));
}

TEST(UtilizationGrading, IsolatedAccessPointsOnAnIdleChannel) {
    GradingModel g;
    g.add(1, 6, -20.0f);      // 50 + 20 + 10 + 25 + 15 = 120, stored as 100
    g.add(2, 1, -60.0f, 10);  // no occupied range: utilization 0; 25 + 20 + 10 + 25 + 15
    ASSERT_TRUE(grade(g));
    EXPECT_FLOAT_EQ(g.at(0).grade, 100.0f);
    EXPECT_STREQ(AccessPointGrading::letter(g.at(0).grade), "A");
    EXPECT_FLOAT_EQ(g.at(0).grading.utilization, 0.0f);
    EXPECT_TRUE(g.at(0).grading.graded);
    EXPECT_FLOAT_EQ(g.at(1).grade, 95.0f);
    EXPECT_EQ(g.at(1).grading.coChannelCount + g.at(1).grading.adjacentChannelCount, 0);
    EXPECT_TRUE(g.model->scanStatistics.statisticsUpdated);
}

TEST(UtilizationGrading, TwoOnOneChannelWeighEachOthersLevel) {
    GradingModel g;
    g.add(1, 6, -60.0f);  // 30 dB above the floor
    g.add(2, 6, -70.0f);  // 20 dB above
    ASSERT_TRUE(grade(g));
    // Terms: 2 (20 - 30) / 30 + 1 = 1/3 for the stronger, 2 (30 - 20) / 20 + 1 = 2 for the weaker.
    EXPECT_EQ(g.at(0).grading.coChannelCount, 1);
    EXPECT_NEAR(g.at(0).grading.coChannelSum, 1.0f / 3.0f, 1e-5);
    EXPECT_FLOAT_EQ(g.at(1).grading.coChannelSum, 2.0f);
    EXPECT_NEAR(g.at(0).grade, 25.0f + 20.0f + 10.0f + 25.0f + 0.15f * (100.0f - 10.0f / 3.0f),
                1e-4);
    EXPECT_NEAR(g.at(1).grade, 18.75f + 20.0f + 10.0f + 25.0f + 12.0f, 1e-4);
}

TEST(UtilizationGrading, TenOnOneChannel) {
    GradingModel g;
    for (int i = 0; i < 10; ++i) {
        g.add(i + 1, 6, -60.0f);
    }
    ASSERT_TRUE(grade(g));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(g.at(i).grading.coChannelCount, 9);
        EXPECT_FLOAT_EQ(g.at(i).grading.coChannelSum, 9.0f);
        EXPECT_NEAR(g.at(i).grade, 25.0f + 20.0f + 10.0f + 25.0f + 1.5f, 1e-4);  // K = 10
    }
    const auto& counts = g.model->scanStatistics.channelApCount;
    EXPECT_EQ(counts[0], 0);  // channel 1
    for (int n = 2; n <= 10; ++n) {
        EXPECT_EQ(counts[n - 1], 10) << n;
    }
    EXPECT_EQ(counts[10], 0);  // channel 11
}

TEST(UtilizationGrading, BondedBesideTwentyMegahertzInEitherOrder) {
    for (bool bondedFirst : {true, false}) {
        GradingModel g;
        if (bondedFirst) {
            g.add(1, 1, -60.0f, 40, 1);  // secondary 5, overlapping 1..9
            g.add(2, 9, -60.0f);         // overlapping 5..13: channel 1 is not in it
            g.add(3, 5, -60.0f);         // on the bonded one's secondary: co-channel
        } else {
            g.add(3, 5, -60.0f);
            g.add(2, 9, -60.0f);
            g.add(1, 1, -60.0f, 40, 1);
        }
        ASSERT_TRUE(grade(g));
        const AccessPoint& bonded = g.at(bondedFirst ? 0 : 2);
        const AccessPoint& nine = g.at(1);
        EXPECT_EQ(bonded.grading.coChannelCount, 1);
        EXPECT_EQ(bonded.grading.adjacentChannelCount, 1);
        EXPECT_EQ(nine.grading.adjacentChannelCount, 2);  // the bonded one and channel 5
        // Bonded: S 50, J 90, K 90.
        EXPECT_NEAR(bonded.grade, 25.0f + 20.0f + 10.0f + 22.5f + 13.5f, 1e-4);
        EXPECT_NEAR(nine.grade, 25.0f + 20.0f + 10.0f + 20.0f + 15.0f, 1e-4);
        // The bonded one counts on its secondary and across 1..9.
        EXPECT_EQ(g.model->scanStatistics.channelApCount[0], 2);  // bonded and channel 5
        EXPECT_EQ(g.model->scanStatistics.channelApCount[8], 3);
        EXPECT_EQ(g.model->scanStatistics.channelApCount[12], 1);  // channel 13: only 9's range
        EXPECT_EQ(g.model->scanStatistics.channelApCount[13], 0);
    }
}

TEST(UtilizationGrading, UtilizationSumsEveryBinOfTheRangeAndTheNewestSweeps) {
    // Channel 1 occupies 2402..2422 MHz: bins ceil(5.12) = 6 to floor(56.32) = 56, 51 bins.
    GradingModel g(0);
    g.fill(50, -30.0f);  // older than the newest 100: ignored
    g.fill(100, -90.0f, 56, -60.0f);
    g.add(1, 1, -60.0f);
    ASSERT_TRUE(grade(g));
    EXPECT_NEAR(g.at(0).grading.utilization, 100.0f / 51.0f, 1e-4);
    EXPECT_FLOAT_EQ(g.at(0).gradePercent, g.at(0).grading.utilization);

    GradingModel busy(100, -75.0f);  // half way between floor and the access point's level
    busy.add(1, 6, -60.0f);
    ASSERT_TRUE(grade(busy));
    EXPECT_NEAR(busy.at(0).grading.utilization, 50.0f, 1e-3);
    EXPECT_NEAR(busy.at(0).grade, 25.0f + 20.0f + 5.0f + 25.0f + 15.0f, 1e-3);
}

TEST(UtilizationGrading, ChannelFiguresAreRelativeToTheStrongestOnTheChannelOrAnywhere) {
    GradingModel g(100, -75.0f);
    g.add(1, 1, -60.0f);
    g.add(2, 1, -80.0f);
    g.add(3, 11, -50.0f);
    ASSERT_TRUE(grade(g));
    const auto& figures = g.model->scanStatistics.channelUtilization;
    EXPECT_NEAR(figures[0], 50.0f, 1e-3);   // 15 dB of the -60 dBm one's 30
    EXPECT_NEAR(figures[10], 37.5f, 1e-3);  // 15 of 40
    EXPECT_NEAR(figures[8], 37.5f, 1e-3);   // nobody on 9: the strongest anywhere
    EXPECT_NEAR(figures[13], 37.5f, 1e-3);

    GradingModel empty(100, -75.0f);
    ASSERT_TRUE(grade(empty));
    for (float f : empty.model->scanStatistics.channelUtilization) {
        EXPECT_EQ(f, 0.0f);
    }
}

TEST(UtilizationGrading, CounterDecidesUnforcedGradingsAndSaturates) {
    GradingModel g(99);
    g.add(1, 6, -60.0f);
    ScanStatistics& st = g.model->scanStatistics;
    for (int i = 0; i < 300; ++i) {
        EXPECT_FALSE(UtilizationGrading::run(*g.model, true));  // 99 sweeps: never
    }
    EXPECT_EQ(st.gradingCounter, 100);
    EXPECT_FALSE(g.at(0).grading.graded);

    g.fill(1, -90.0f);
    st.gradingCounter = 0;
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(UtilizationGrading::run(*g.model, false));
    }
    EXPECT_EQ(st.gradingCounter, 100);
    EXPECT_TRUE(UtilizationGrading::run(*g.model, false));
    EXPECT_EQ(st.gradingCounter, 0);
    EXPECT_TRUE(UtilizationGrading::run(*g.model, true));
    EXPECT_EQ(st.gradingCounter, 1);
}

TEST(UtilizationGrading, NoGradingWithoutAFiniteFloorOrAnySweeps) {
    GradingModel g;
    g.add(1, 6, -60.0f).grade = 42.0f;
    g.model->accessory.levelMin24 = NAN;
    EXPECT_FALSE(grade(g));
    EXPECT_EQ(g.at(0).grade, 42.0f);

    GradingModel none(0);
    none.add(1, 6, -60.0f);
    EXPECT_FALSE(grade(none));
    EXPECT_FALSE(none.at(0).grading.graded);
}

TEST(UtilizationGrading, SelectedAccessPointGetsARecommendation) {
    GradingModel g;
    AccessPoint& own = g.add(1, 3, -60.0f);
    ASSERT_TRUE(AccessPointSelection::add(g.model->scanStatistics, own.bssid));
    ASSERT_TRUE(grade(g));
    // Alone every candidate grades alike; 1, 6 and 11 are not discounted and the last wins.
    EXPECT_EQ(own.grading.bestAlternativeChannel, 11);
    EXPECT_FLOAT_EQ(own.grading.bestAlternativeGrade, own.grade);
    EXPECT_EQ(own.grading.recommendedChannel(), 11);

    // Neighbours on 6 and 11 make both co-channel candidates, so 1 wins from now on.
    g.add(2, 11, -60.0f);
    g.add(3, 6, -60.0f);
    ASSERT_TRUE(grade(g));
    ASSERT_TRUE(grade(g));
    EXPECT_EQ(own.grading.bestAlternativeChannel, 1);
    EXPECT_EQ(own.grading.recommendationCount, 3);  // the history survives gradings
    EXPECT_EQ(own.grading.recommendedChannel(), 1);
    EXPECT_FALSE(g.at(1).grading.bestAlternativeChannel);  // not selected: no recommendation
}

TEST(UtilizationGrading, GradesDoNotDependOnTheListOrder) {
    std::mt19937 random(21);
    GradingModel g(0);
    for (int i = 0; i < 100; ++i) {
        std::vector<float> row(256);
        for (float& v : row) {
            v = -95.0f + static_cast<float>(random() % 60);
        }
        g.model->band24.appendSweep(row.data(), 256);
    }
    const int bandwidths[] = {-1, 10, 20, 40, 40, 80};
    for (int i = 0; i < 40; ++i) {
        AccessPoint& ap = g.add(i + 1, static_cast<int>(random() % 16),
                                -95.0f + static_cast<float>(random() % 70),
                                bandwidths[random() % 6], static_cast<int>(random() % 3));
        if (i % 5 == 0) {
            AccessPointSelection::add(g.model->scanStatistics, ap.bssid);
        }
    }
    ASSERT_TRUE(grade(g));
    std::map<int, float> first;
    for (const auto& ap : g.model->accessPoints) {
        first[ap->bssid[5]] = ap->grade;
    }
    for (int round = 0; round < 5; ++round) {
        std::shuffle(g.model->accessPoints.begin(), g.model->accessPoints.end(), random);
        ASSERT_TRUE(grade(g));
        for (const auto& ap : g.model->accessPoints) {
            EXPECT_NEAR(ap->grade, first[ap->bssid[5]], 1e-3) << int(ap->bssid[5]);
        }
    }
}

// Every channel byte, bandwidth and secondary value, levels at and below the floor: no
// out-of-range access (the sanitizer build watches), every grade finite within 0..100, and only
// channels 1..14 counted.
TEST(UtilizationGrading, AnyRecordGradesWithinRange) {
    const int bandwidths[] = {-1, 0, 10, 20, 40, 80, 160, 255};
    for (int channel = 0; channel <= 255; ++channel) {
        GradingModel g(99, -200.0f);
        g.fill(1, -200.0f, 30, NAN);
        int id = 0;
        for (int bandwidth : bandwidths) {
            for (int secondary = 0; secondary <= 3; ++secondary) {
                g.add(++id, channel, -90.0f, bandwidth, secondary);
                g.add(++id, channel, -130.0f, bandwidth, secondary);
            }
        }
        g.add(++id, 6, -50.0f);
        AccessPointSelection::add(g.model->scanStatistics, g.at(0).bssid);
        AccessPointSelection::add(g.model->scanStatistics, g.at(5).bssid);
        ASSERT_TRUE(grade(g));
        for (const auto& ap : g.model->accessPoints) {
            ASSERT_TRUE(std::isfinite(ap->grade));
            ASSERT_GE(ap->grade, 0.0f);
            ASSERT_LE(ap->grade, 100.0f);
            ASSERT_TRUE(std::isfinite(ap->grading.utilization));
            ASSERT_TRUE(std::isfinite(ap->grading.coChannelSum));
            ASSERT_TRUE(std::isfinite(ap->grading.adjacentChannelSum));
            ASSERT_EQ(ap->grading.graded,
                      channel != 0 || ap.get() == g.model->accessPoints.back().get());
        }
        for (float f : g.model->scanStatistics.channelUtilization) {
            ASSERT_TRUE(std::isfinite(f));
        }
        int counted = 0;
        for (uint16_t c : g.model->scanStatistics.channelApCount) {
            counted += c;
        }
        if (!ChannelPlan24::isChannel(channel)) {
            ASSERT_EQ(counted, 9) << channel;  // only the channel 6 one, over 2..10
        }
    }
}
