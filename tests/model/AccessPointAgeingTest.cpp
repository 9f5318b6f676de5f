#include "model/AccessPointAgeing.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"

namespace {

class AccessPointAgeingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model->runtime.ssidTableChanged = false;
        model->runtime.utilizationChanged = false;
    }
    // An access point last seen at `lastSeen`, told apart by its channel.
    void add(uint64_t lastSeen, uint16_t channel, float rssi = -50.f) {
        auto ap = std::make_unique<AccessPoint>();
        ap->lastSeen = lastSeen;
        ap->channel = channel;
        ap->rssi = rssi;
        model->accessPoints.push_back(std::move(ap));
    }
    std::vector<uint16_t> channels() const {
        std::vector<uint16_t> out;
        for (const auto& ap : model->accessPoints)
            out.push_back(ap->channel);
        return out;
    }
    // Frames of one second each, at the clock's time, with a table shown.
    void frames(int count) {
        for (int i = 0; i < count; ++i)
            ageing.advance(*model, 1.f, true, clock.nowMilliseconds());
    }

    std::unique_ptr<SpectrumSettings> model = std::make_unique<SpectrumSettings>();
    AccessPointAgeing ageing;
    ManualClock clock{5'000'000};
};

TEST_F(AccessPointAgeingTest, UnseenForThreeMinutesGoesAtTheNextCheckOthersKeepTheirOrder) {
    const uint64_t now = clock.nowMilliseconds();
    add(now - 10'000, 1);
    add(now - 180'000, 2);  // exactly the lifetime: gone
    add(now - 179'999, 3);
    add(now - 400'000, 4);
    add(now, 5);
    frames(9);  // 9 s: not yet a check
    EXPECT_EQ(model->accessPoints.size(), 5u);
    EXPECT_FALSE(model->runtime.ssidTableChanged);
    EXPECT_TRUE(ageing.advance(*model, 1.f, true, now));
    EXPECT_EQ(channels(), (std::vector<uint16_t>{1, 3, 5}));
    EXPECT_TRUE(model->runtime.ssidTableChanged);
    EXPECT_TRUE(model->runtime.utilizationChanged);
    EXPECT_EQ(ageing.timer(), 0.f);
}

TEST_F(AccessPointAgeingTest, StepsOfSimulatedTimeAgeTheList) {
    // Every stamp and check reads the manual clock; the steady clock has hardly moved meanwhile.
    add(clock.nowMilliseconds(), 1);
    frames(10);
    EXPECT_EQ(model->accessPoints.size(), 1u);
    clock.advance(170'000);
    add(clock.nowMilliseconds(), 2);  // a later scan
    frames(10);
    EXPECT_EQ(channels(), (std::vector<uint16_t>{1, 2}));
    clock.advance(10'000);  // the first one is 180 s old now
    frames(10);
    EXPECT_EQ(channels(), (std::vector<uint16_t>{2}));
}

TEST_F(AccessPointAgeingTest, NothingAgesWithoutATableOrWhilePausedButTheTimerRuns) {
    const uint64_t now = clock.nowMilliseconds();
    add(now - 200'000, 1);
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(ageing.advance(*model, 1.f, false, now));
    model->runtime.scanPaused = true;
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(ageing.advance(*model, 1.f, true, now));
    EXPECT_EQ(model->accessPoints.size(), 1u);
    EXPECT_FALSE(model->runtime.ssidTableChanged);
    // Overdue by now, so the first frame after the pause checks at once.
    model->runtime.scanPaused = false;
    EXPECT_TRUE(ageing.advance(*model, 0.f, true, now));
    EXPECT_TRUE(model->accessPoints.empty());
}

TEST_F(AccessPointAgeingTest, RemovalSurvivesEmptySlotsAndStampsAheadOfNow) {
    std::vector<std::unique_ptr<AccessPoint>> list;
    list.push_back(nullptr);
    list.push_back(std::make_unique<AccessPoint>());
    list.back()->lastSeen = 1'000;  // stamped ahead of a clock at 0: kept
    list.push_back(std::make_unique<AccessPoint>());
    list.back()->lastSeen = 0;
    EXPECT_EQ(AccessPointAgeing::removeUnseen(list, 0), 1u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->lastSeen, 1'000u);
    EXPECT_EQ(AccessPointAgeing::removeUnseen(list, 180'000), 1u);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(AccessPointAgeingTest, SortsForTheShownTableOnlyWhenTheListChanged) {
    add(0, 1, -70.f);
    add(0, 2, -40.f);
    add(0, 3, -55.f);
    model->spectrum_settings.ssidSortCriterion = SpectrumSettings::kSortRssi;
    model->spectrum_settings.ssidSortDescending = 1;
    model->spectrum_settings.utilizationSortCriterion = SpectrumSettings::kSortChannel;
    model->spectrum_settings.utilizationSortDescending = 1;

    // No change raised: the list stays as it is.
    EXPECT_FALSE(AccessPointAgeing::sortForTables(*model, true, false));
    EXPECT_EQ(channels(), (std::vector<uint16_t>{1, 2, 3}));

    model->runtime.ssidTableChanged = true;
    EXPECT_TRUE(AccessPointAgeing::sortForTables(*model, true, false));
    EXPECT_EQ(channels(), (std::vector<uint16_t>{2, 3, 1}));  // strongest first
    EXPECT_FALSE(model->runtime.ssidTableChanged);
    EXPECT_FALSE(model->runtime.utilizationChanged);

    model->runtime.utilizationChanged = true;
    EXPECT_TRUE(AccessPointAgeing::sortForTables(*model, false, true));
    EXPECT_EQ(channels(), (std::vector<uint16_t>{3, 2, 1}));  // by channel, descending

    // No table shown: the flags are taken, the order left alone.
    model->runtime.ssidTableChanged = true;
    model->spectrum_settings.utilizationSortDescending = 0;
    EXPECT_TRUE(AccessPointAgeing::sortForTables(*model, false, false));
    EXPECT_EQ(channels(), (std::vector<uint16_t>{3, 2, 1}));
    EXPECT_FALSE(model->runtime.ssidTableChanged);
}

}  // namespace
