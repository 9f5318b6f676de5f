#include <gtest/gtest.h>

#include <mutex>

#include "GradingTestSupport.h"
#include "model/AccessPointAgeing.h"
#include "model/AccessPointSelection.h"
#include "model/UtilizationGrading.h"
#include "model/UtilizationGradingHook.h"

namespace {

int usedSlots(const ScanStatistics& st) {
    int used = 0;
    for (const auto& slot : st.selection) {
        for (uint8_t b : slot) {
            if (b != 0) {
                ++used;
                break;
            }
        }
    }
    return used;
}

}  // namespace

TEST(AccessPointSelection, SlotsAreTakenOnceAndFreedWhenTheAccessPointLeaves) {
    GradingModel g;
    ScanStatistics& st = g.model->scanStatistics;
    const uint8_t zero[6] = {};
    EXPECT_FALSE(AccessPointSelection::add(st, zero));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(AccessPointSelection::add(st, g.add(i + 1, 6, -60.0f).bssid));
    }
    EXPECT_TRUE(AccessPointSelection::add(st, g.at(3).bssid));  // already in: no second slot
    EXPECT_EQ(usedSlots(st), 20);
    AccessPoint& late = g.add(99, 1, -60.0f);
    EXPECT_FALSE(AccessPointSelection::add(st, late.bssid));  // the 21st

    // Two age out: their slots come back.
    g.model->accessPoints.erase(g.model->accessPoints.begin(), g.model->accessPoints.begin() + 2);
    EXPECT_EQ(AccessPointSelection::releaseDeparted(st, g.model->accessPoints), 2);
    EXPECT_TRUE(AccessPointSelection::add(st, late.bssid));
    EXPECT_TRUE(AccessPointSelection::contains(st, late.bssid));
    EXPECT_TRUE(AccessPointSelection::remove(st, late.bssid));
    EXPECT_FALSE(AccessPointSelection::remove(st, late.bssid));
    EXPECT_FALSE(AccessPointSelection::contains(st, late.bssid));
}

TEST(AccessPointSelection, ParsesColonSeparatedAddresses) {
    uint8_t b[6];
    ASSERT_TRUE(AccessPointSelection::parseBssid("02:1a:FF:00:9b:7c", b));
    EXPECT_EQ(b[1], 0x1a);
    EXPECT_EQ(b[2], 0xff);
    EXPECT_EQ(b[5], 0x7c);
    EXPECT_FALSE(AccessPointSelection::parseBssid("02:1a:FF:00:9b", b));
    EXPECT_FALSE(AccessPointSelection::parseBssid("02-1a-FF-00-9b-7c", b));
    EXPECT_FALSE(AccessPointSelection::parseBssid("02:1a:FF:00:9b:7g", b));
    EXPECT_FALSE(AccessPointSelection::parseBssid(nullptr, b));
}

TEST(AccessPointGrading, RecommendedChannelIsTheMostFrequentOfTheNewestTen) {
    AccessPointGrading g;
    EXPECT_EQ(g.recommendedChannel(), 0);
    for (int c : {6, 6, 6, 14, 0, 3, 3, 3}) {
        g.addRecommendation(static_cast<uint8_t>(c));
    }
    EXPECT_EQ(g.recommendedChannel(), 3);  // ties go to the lower channel; 14 and 0 never count
    for (int c : {11, 11, 11, 11}) {
        g.addRecommendation(static_cast<uint8_t>(c));
    }
    EXPECT_EQ(g.recommendationCount, 10);  // the two oldest sixes dropped
    EXPECT_EQ(g.recommendedChannel(), 11);
    g.resetFigures();
    EXPECT_EQ(g.recommendationCount, 10);
    EXPECT_STREQ(AccessPointGrading::letter(90.0f), "A");
    EXPECT_STREQ(AccessPointGrading::letter(89.9f), "B");
    EXPECT_STREQ(AccessPointGrading::letter(60.0f), "D");
    EXPECT_STREQ(AccessPointGrading::letter(NAN), "F");
    EXPECT_STREQ(AccessPointGrading::letter(250.0f), "A");
}

TEST(UtilizationGradingHook, AfterASweepTheCounterDecidesAfterAMergeItGradesAtOnce) {
    GradingModel g;
    AccessPoint& own = g.add(1, 6, -60.0f);
    AccessPointSelection::add(g.model->scanStatistics, own.bssid);
    g.model->scanStatistics.selection[1][0] = 0x0E;  // an access point long gone
    UtilizationGradingHook hook;

    // After a sweep: the counter decides.
    hook(*g.model);
    EXPECT_FALSE(own.grading.graded);
    EXPECT_EQ(g.model->scanStatistics.gradingCounter, 1);
    EXPECT_EQ(g.model->scanStatistics.selection[1][0], 0);  // freed

    // After a merge: the scan count moved, so it grades at once.
    g.model->runtime.scanCount = 1;
    g.model->runtime.utilizationChanged = false;
    hook(*g.model);
    EXPECT_TRUE(own.grading.graded);
    EXPECT_TRUE(g.model->runtime.utilizationChanged);
    EXPECT_EQ(own.grading.recommendationCount, 1);
}

TEST(AccessPointAgeing, OldEntriesGoWithTheirSelectionSlotsUnlessTheListIsHeld) {
    GradingModel g;
    ScanStatistics& st = g.model->scanStatistics;
    AccessPoint& old = g.add(1, 6, -60.0f);
    old.lastSeen = 1000;
    g.add(2, 1, -60.0f).lastSeen = 100000;
    AccessPointSelection::add(st, old.bssid);
    const uint64_t now = 1000 + AccessPointAgeing::kMaxAgeMs;

    g.model->runtime.scanPaused = true;
    EXPECT_EQ(AccessPointAgeing::ageOut(*g.model, now), 0);
    g.model->runtime.scanPaused = false;
    g.model->runtime.ssidTableChanged = false;
    EXPECT_EQ(AccessPointAgeing::ageOut(*g.model, now - 1), 0);
    EXPECT_FALSE(g.model->runtime.ssidTableChanged);
    EXPECT_EQ(AccessPointAgeing::ageOut(*g.model, now), 1);
    ASSERT_EQ(g.model->accessPoints.size(), 1u);
    EXPECT_EQ(g.at(0).bssid[5], 2);
    EXPECT_EQ(usedSlots(st), 0);
    EXPECT_TRUE(g.model->runtime.ssidTableChanged);
    EXPECT_TRUE(g.model->runtime.utilizationChanged);
}
