#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "model/SpectrumSettings.h"

namespace {

TEST(BandSweepBuffers, SweepsAreWholeRowsAndTheOldestIsDroppedAtTheLimit) {
    BandSweepBuffers band(4);
    band.sweepLimit = 3;
    for (int i = 0; i < 5; ++i) {
        const float values[3] = {static_cast<float>(i), -1.0f, -2.0f};
        ASSERT_TRUE(band.appendSweep(values, 3));
    }
    EXPECT_EQ(band.sweepCount(), 3);
    EXPECT_EQ(band.sweepHistory.size(), 12u);
    EXPECT_EQ(band.sweep(0)[0], 2.0f);  // sweeps 0 and 1 dropped
    EXPECT_EQ(band.sweep(2)[0], 4.0f);
    EXPECT_EQ(band.sweep(2)[3], 0.0f);  // unused tail of the row
    EXPECT_EQ(band.sweep(3), nullptr);
    EXPECT_EQ(band.sweep(-1), nullptr);
    EXPECT_TRUE(band.newSweep);
    EXPECT_EQ(band.sweepPointCount, 3);
}

TEST(BandSweepBuffers, OverlongAndEmptySweeps) {
    BandSweepBuffers band(4);
    const std::vector<float> longSweep = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(band.appendSweep(longSweep.data(), 6));
    EXPECT_EQ(band.sweepPointCount, 4);
    EXPECT_EQ(band.sweepHistory.size(), 4u);
    EXPECT_FALSE(band.appendSweep(nullptr, 4));
    EXPECT_FALSE(band.appendSweep(longSweep.data(), 0));
    EXPECT_FALSE(band.appendSweep(longSweep.data(), -7));
    EXPECT_EQ(band.sweepCount(), 1);
}

TEST(BandSweepBuffers, LoweredLimitTrimsToFit) {
    BandSweepBuffers band(2);
    const float values[2] = {1, 2};
    for (int i = 0; i < 6; ++i) {
        band.appendSweep(values, 2);
    }
    band.sweepLimit = 2;
    band.appendSweep(values, 2);
    EXPECT_EQ(band.sweepCount(), 2);
}

TEST(SpectrumSettingsClear, SpectrumDataOfBothBandsAndTheAccessPoints) {
    auto s = std::make_unique<SpectrumSettings>();
    const float values[2] = {-40, -50};
    for (BandSweepBuffers* band : {&s->band24, &s->band5}) {
        band->appendSweep(values, 2);
        band->newSweep = false;
        band->processedPointCount = 2;
        band->peakLists[1][0] = PeakEntry{3, -20.0f};
        band->tracesReady = true;
        band->heatMap.counts.assign(10, 1);
        band->heatMap.columns = 5;
        band->heatMap.rows = 2;
        band->heatMap.dirty = false;
        band->heatMap.cumulative = true;
        band->waterfallDirty = false;
    }
    s->accessPoints.push_back(std::make_unique<AccessPoint>());
    s->runtime.scanCount = 4;
    s->runtime.ssidTableChanged = false;

    s->clearSpectrumData();

    for (BandSweepBuffers* band : {&s->band24, &s->band5}) {
        EXPECT_TRUE(band->sweepHistory.empty());
        EXPECT_EQ(band->sweepPointCount, -1);
        EXPECT_TRUE(band->newSweep);
        EXPECT_EQ(band->processedPointCount, 0);
        EXPECT_EQ(band->peakLists[1][0].index, -1);
        EXPECT_TRUE(std::isnan(band->peakLists[1][0].value));
        EXPECT_FALSE(band->tracesReady);
        EXPECT_TRUE(band->heatMap.counts.empty());
        EXPECT_EQ(band->heatMap.columns, 0);
        EXPECT_EQ(band->heatMap.rows, 0);
        EXPECT_TRUE(band->heatMap.dirty);
        EXPECT_FALSE(band->heatMap.cumulative);
        EXPECT_TRUE(band->waterfallDirty);
        EXPECT_EQ(band->traces[BandSweepBuffers::kAverageTrace].size(),
                  static_cast<size_t>(band->pointsPerSweep()));
    }
    EXPECT_TRUE(s->accessPoints.empty());
    EXPECT_EQ(s->runtime.scanCount, 0);
    EXPECT_TRUE(s->runtime.ssidTableChanged);
}

TEST(SpectrumSettingsClear, AfterConfigurationChangeAlsoResetsReadouts) {
    auto s = std::make_unique<SpectrumSettings>();
    s->cursorReadouts.index[1] = 17;
    s->cursorReadouts.level[CursorReadouts::kMaximum][0] = -3.0f;
    s->cursorReadouts.peakLists[2][0] = PeakEntry{1, 2.0f};
    s->live.history.push_back({1.0f});
    const float values[1] = {-40};
    s->band5.appendSweep(values, 1);

    s->clearAfterConfigurationChange();

    EXPECT_EQ(s->cursorReadouts.index[1], -1);
    EXPECT_EQ(s->cursorReadouts.level[CursorReadouts::kMaximum][0], 0.0f);
    EXPECT_EQ(s->cursorReadouts.peakLists[2][0].index, -1);
    EXPECT_TRUE(s->live.history.empty());
    EXPECT_EQ(s->band5.sweepCount(), 0);
}

}  // namespace
