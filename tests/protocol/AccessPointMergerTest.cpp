#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "protocol/AccessPointMerger.h"

namespace {

std::unique_ptr<AccessPoint> station(uint8_t lastByte, float rssi, int is5GHz = 0) {
    auto ap = std::make_unique<AccessPoint>();
    const uint8_t bssid[6] = {0x02, 0x00, 0x00, 0x00, 0x00, lastByte};
    std::memcpy(ap->bssid, bssid, 6);
    ap->rssi = rssi;
    ap->is5GHz = is5GHz;
    return ap;
}

class MergerTest : public testing::Test {
  protected:
    // The process clock is never consulted: last seen is the time the caller passes.
    void SetUp() override {
        model.accessory.levelMin24 = -95.0f;
        model.accessory.levelMin5 = -105.0f;
    }

    AccessPointMerger scripted(std::deque<uint32_t> draws) {
        auto shared = std::make_shared<std::deque<uint32_t>>(std::move(draws));
        return AccessPointMerger([shared] {
            uint32_t v = shared->empty() ? 255 : shared->front();
            if (!shared->empty())
                shared->pop_front();
            return v;
        });
    }

    ManualClock clock{5000};
    SpectrumSettings model;
};

}  // namespace

TEST_F(MergerTest, FirstSightingsGetLevelsAndAColourBrightEnough) {
    AccessPointMerger merger = scripted({10, 10, 10, 0x164, 100, 50, 0, 0, 240});
    AccessPointList scan;
    scan.push_back(station(1, -40.0f));
    scan.push_back(station(2, -60.0f, 1));
    merger.merge(model, scan, clock.nowMilliseconds());
    EXPECT_TRUE(scan.empty());
    ASSERT_EQ(model.accessPoints.size(), 2u);
    const AccessPoint& a = *model.accessPoints[0];
    EXPECT_EQ(a.lastSeen, 5000u);
    EXPECT_EQ(a.seenCount, 1);
    EXPECT_FLOAT_EQ(a.levelA, -95.0f);
    EXPECT_FLOAT_EQ(a.levelB, -95.0f);
    EXPECT_FLOAT_EQ(a.previousRssi, -40.0f);
    // (10, 10, 10) is too dark and drawn again; only the low byte of a draw counts.
    EXPECT_EQ(a.color[0], 0x64);
    EXPECT_EQ(a.color[1], 100);
    EXPECT_EQ(a.color[2], 50);
    EXPECT_EQ(a.color[3], 255);
    const AccessPoint& b = *model.accessPoints[1];
    EXPECT_FLOAT_EQ(b.levelA, -105.0f);  // 5 GHz range
    EXPECT_EQ(b.color[0], 0);
    EXPECT_EQ(b.color[2], 240);
}

TEST_F(MergerTest, MatchUpdatesTheEntryInPlace) {
    AccessPointMerger merger(1234u);
    auto existing = station(7, -70.0f);
    existing->seenCount = 5;
    existing->levelA = -80.0f;
    existing->levelB = -72.0f;
    existing->color[0] = 1;
    existing->color[1] = 2;
    existing->color[2] = 250;
    existing->color[3] = 255;
    existing->lastSeen = 100;
    existing->viewList = {1, 2, 3};
    const AccessPoint* entry = existing.get();
    model.accessPoints.push_back(std::move(existing));

    clock.set(9000);
    AccessPointList scan;
    auto seen = station(7, -41.0f);
    seen->channel = 11;
    scan.push_back(std::move(seen));
    scan.push_back(station(8, -50.0f));
    merger.merge(model, scan, clock.nowMilliseconds());

    ASSERT_EQ(model.accessPoints.size(), 2u);
    EXPECT_EQ(model.accessPoints[0].get(), entry);
    EXPECT_EQ(entry->lastSeen, 9000u);
    EXPECT_EQ(entry->seenCount, 6);
    EXPECT_EQ(entry->channel, 11);
    EXPECT_FLOAT_EQ(entry->rssi, -41.0f);
    EXPECT_FLOAT_EQ(entry->previousRssi, -41.0f);
    EXPECT_FLOAT_EQ(entry->levelA, -72.0f);
    EXPECT_FLOAT_EQ(entry->levelB, -72.0f);
    EXPECT_EQ(entry->color[2], 250);
    EXPECT_TRUE(entry->viewList.empty());  // replaced by the fresh record's
    EXPECT_EQ(model.accessPoints[1]->seenCount, 1);
    EXPECT_EQ(model.accessPoints[1]->bssid[5], 8);
}

TEST_F(MergerTest, SeenCountWrapsPastFourDigits) {
    AccessPointMerger merger;
    auto existing = station(3, -70.0f);
    existing->seenCount = 9998;
    model.accessPoints.push_back(std::move(existing));
    for (int expected : {9999, 99, 100}) {
        AccessPointList scan;
        scan.push_back(station(3, -70.0f));
        merger.merge(model, scan, clock.nowMilliseconds());
        EXPECT_EQ(model.accessPoints[0]->seenCount, expected);
    }
}

TEST_F(MergerTest, DuplicatesInTheFirstScanAreAllKept) {
    AccessPointMerger merger;
    AccessPointList scan;
    scan.push_back(station(4, -70.0f));
    scan.push_back(station(4, -71.0f));
    merger.merge(model, scan, clock.nowMilliseconds());
    EXPECT_EQ(model.accessPoints.size(), 2u);
    // Once the list holds entries, a repeat is matched against the first of them.
    AccessPointList again;
    again.push_back(station(4, -72.0f));
    merger.merge(model, again, clock.nowMilliseconds());
    ASSERT_EQ(model.accessPoints.size(), 2u);
    EXPECT_EQ(model.accessPoints[0]->seenCount, 2);
    EXPECT_EQ(model.accessPoints[1]->seenCount, 1);
}

TEST_F(MergerTest, ColoursAreAlwaysBrightEnough) {
    AccessPointMerger seeded(42u);
    AccessPointMerger dark([] { return 0u; });  // a source that never gets there still ends
    for (AccessPointMerger* merger : {&seeded, &dark}) {
        model.accessPoints.clear();
        AccessPointList scan;
        for (int i = 0; i < 200; ++i)
            scan.push_back(station(static_cast<uint8_t>(i), -50.0f));
        merger->merge(model, scan, clock.nowMilliseconds());
        for (const auto& ap : model.accessPoints) {
            ASSERT_GE(ap->color[0] + ap->color[1] + ap->color[2], 240);
            ASSERT_EQ(ap->color[3], 255);
        }
    }
}

TEST_F(MergerTest, GradingStaysWithTheEntryAcrossScans) {
    AccessPointMerger merger(1u);
    auto existing = station(7, -70.0f);
    existing->grade = 81.0f;
    existing->gradePercent = 12.0f;
    existing->grading.graded = true;
    existing->grading.addRecommendation(6);
    existing->grading.addRecommendation(11);
    model.accessPoints.push_back(std::move(existing));

    AccessPointList scan;
    scan.push_back(station(7, -50.0f));
    merger.merge(model, scan, 1000);

    const AccessPoint& entry = *model.accessPoints[0];
    EXPECT_FLOAT_EQ(entry.rssi, -50.0f);
    EXPECT_FLOAT_EQ(entry.grade, 81.0f);
    EXPECT_FLOAT_EQ(entry.gradePercent, 12.0f);
    EXPECT_TRUE(entry.grading.graded);
    EXPECT_EQ(entry.grading.recommendationCount, 2);
    EXPECT_EQ(entry.grading.recommendations[1], 11);
}
