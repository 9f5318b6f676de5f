#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"

namespace {

// A sweep of `points` values that tells its number: value i is number + i / 1000.
std::vector<float> numbered(int number, int points) {
    std::vector<float> values(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        values[static_cast<size_t>(i)] = static_cast<float>(number) + static_cast<float>(i) / 1000;
    }
    return values;
}

void appendNumbered(BandSweepBuffers& band, int number, int points) {
    std::vector<float> values = numbered(number, points);
    ASSERT_TRUE(band.appendSweep(values.data(), points));
}

// The number of every sweep held, oldest first, after checking each row is whole.
std::vector<int> numbers(const BandSweepBuffers& band, int points) {
    std::vector<int> out;
    for (int i = 0; i < band.sweepCount(); ++i) {
        const float* row = band.sweep(i);
        const int number = static_cast<int>(row[0]);
        EXPECT_EQ(std::vector<float>(row, row + points), numbered(number, points)) << "sweep " << i;
        out.push_back(number);
    }
    return out;
}

TEST(BandSweepBuffers, SweepsAreWholeRowsAndTheOldestIsDroppedAtTheLimit) {
    BandSweepBuffers band(4);
    band.sweepLimit = 3;
    for (int i = 0; i < 5; ++i) {
        const float values[3] = {static_cast<float>(i), -1.0f, -2.0f};
        ASSERT_TRUE(band.appendSweep(values, 3));
    }
    EXPECT_EQ(band.sweepCount(), 3);
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
    EXPECT_EQ(band.sweepCount(), 1);
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

TEST(BandSweepBuffers, OldestFirstWithSerialsAfterTheHistoryWrapsAround) {
    BandSweepBuffers band(8);
    band.sweepLimit = 5;
    const uint64_t serial = band.firstSerial();
    for (int s = 0; s < 23; ++s) {
        appendNumbered(band, s, 8);
    }
    EXPECT_EQ(numbers(band, 8), (std::vector<int>{18, 19, 20, 21, 22}));
    EXPECT_EQ(band.firstSerial(), serial + 18);
    EXPECT_EQ(band.sweep(5), nullptr);
}

TEST(BandSweepBuffers, LimitChangesAfterTheWrapKeepTheOrder) {
    BandSweepBuffers band(4);
    band.sweepLimit = 4;
    for (int s = 0; s < 10; ++s) {
        appendNumbered(band, s, 4);
    }
    band.sweepLimit = 7;  // raised: the history grows again, the wrapped rows in order
    for (int s = 10; s < 14; ++s) {
        appendNumbered(band, s, 4);
    }
    EXPECT_EQ(numbers(band, 4), (std::vector<int>{7, 8, 9, 10, 11, 12, 13}));
    band.sweepLimit = 3;  // lowered: the next sweep leaves the newest three
    appendNumbered(band, 14, 4);
    EXPECT_EQ(numbers(band, 4), (std::vector<int>{12, 13, 14}));
    const uint64_t serial = band.firstSerial();
    band.sweepLimit = 0;  // no limit: nothing is dropped
    for (int s = 15; s < 40; ++s) {
        appendNumbered(band, s, 4);
    }
    EXPECT_EQ(band.sweepCount(), 28);
    EXPECT_EQ(numbers(band, 4).front(), 12);
    EXPECT_EQ(numbers(band, 4).back(), 39);
    EXPECT_EQ(band.firstSerial(), serial);
}

TEST(BandSweepBuffers, ClearingAWrappedHistoryStartsAfterItsSerials) {
    BandSweepBuffers band(4);
    band.sweepLimit = 3;
    for (int s = 0; s < 8; ++s) {
        appendNumbered(band, s, 4);
    }
    const uint64_t end = band.firstSerial() + static_cast<uint64_t>(band.sweepCount());
    band.clear();
    EXPECT_EQ(band.sweepCount(), 0);
    EXPECT_EQ(band.sweep(0), nullptr);
    EXPECT_EQ(band.firstSerial(), end);
    appendNumbered(band, 100, 4);
    appendNumbered(band, 101, 4);
    EXPECT_EQ(numbers(band, 4), (std::vector<int>{100, 101}));
    EXPECT_EQ(band.firstSerial(), end);
}

TEST(BandSweepBuffers, AShorterSweepInAReusedRowEndsInZeros) {
    BandSweepBuffers band(6);
    band.sweepLimit = 2;
    for (int s = 0; s < 3; ++s) {
        appendNumbered(band, s, 6);
    }
    // The band's point count changes: the row the oldest sweep left is reused for four points.
    appendNumbered(band, 3, 4);
    EXPECT_EQ(band.sweepPointCount, 4);
    EXPECT_EQ(numbers(band, 4), (std::vector<int>{2, 3}));
    EXPECT_EQ(band.sweep(1)[4], 0.0f);
    EXPECT_EQ(band.sweep(1)[5], 0.0f);
    EXPECT_EQ(band.sweep(0)[5], numbered(2, 6)[5]);  // the full sweep before it keeps all six
}

// What a reader sees of a history that wrapped equals what it sees of one holding the same
// sweeps from its first row on.
TEST(BandSweepBuffers, ReadersSeeAWrappedHistoryAsAStraightOne) {
    BandSweepBuffers wrapped(16);
    BandSweepBuffers straight(16);
    wrapped.sweepLimit = 30;
    straight.sweepLimit = 30;
    std::vector<float> levels(16);
    std::vector<std::vector<float>> sweeps;
    for (int s = 0; s < 77; ++s) {
        for (int i = 0; i < 16; ++i) {
            levels[static_cast<size_t>(i)] = -90.0f + static_cast<float>((s * 7 + i * 13) % 61);
        }
        sweeps.push_back(levels);
        wrapped.appendSweep(levels.data(), 16);
    }
    for (size_t s = sweeps.size() - 30; s < sweeps.size(); ++s) {
        straight.appendSweep(sweeps[s].data(), 16);
    }
    ASSERT_EQ(wrapped.sweepCount(), straight.sweepCount());
    for (int i = 0; i < wrapped.sweepCount(); ++i) {
        ASSERT_EQ(std::vector<float>(wrapped.sweep(i), wrapped.sweep(i) + 16),
                  std::vector<float>(straight.sweep(i), straight.sweep(i) + 16))
            << "sweep " << i;
    }
    TraceProcessing::Settings settings;
    settings.sweepPeriod = 0.1f;
    settings.holdTime = 2.0f;
    settings.averageTime = 2.5f;
    for (BandSweepBuffers* band : {&wrapped, &straight}) {
        band->newSweep = true;
        band->processedPointCount = 1;  // hold and average over the history, not a seed
        ASSERT_TRUE(TraceProcessing::processBand(*band, settings));
    }
    for (size_t t = 0; t < wrapped.traces.size(); ++t) {
        EXPECT_EQ(wrapped.traces[t], straight.traces[t]) << "trace " << t;
    }
}

TEST(SpectrumSettingsClear, SpectrumDataOfBothBandsAndTheAccessPoints) {
    auto s = std::make_unique<SpectrumSettings>();
    const float values[2] = {-40, -50};
    for (BandSweepBuffers* band : {&s->band24, &s->band5}) {
        band->appendSweep(values, 2);
        band->newSweep = false;
        band->processedPointCount = 2;
        band->setPeaks(1, PeakList{PeakEntry{3, -20.0f}});
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
        EXPECT_EQ(band->sweepCount(), 0);
        EXPECT_EQ(band->sweepPointCount, -1);
        EXPECT_TRUE(band->newSweep);
        EXPECT_EQ(band->processedPointCount, 0);
        EXPECT_EQ(band->peaks(1)[0].index, -1);
        EXPECT_TRUE(std::isnan(band->peaks(1)[0].value));
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

TEST(PowerTraceSet, CapturesPastTheLimitReplaceTheOldestInOrder) {
    PowerTraceSet set;
    const size_t limit = PowerTraceSet::kMaxCaptures;
    for (size_t i = 0; i < limit + 3; ++i) {
        // Lengths vary, so a recycled capture must take the new one's length.
        std::vector<float> capture(1 + i % 4, static_cast<float>(i));
        set.appendCapture(capture.data(), capture.size());
    }
    ASSERT_EQ(set.history.size(), limit);
    for (size_t k = 0; k < limit; ++k) {
        const size_t i = k + 3;
        EXPECT_EQ(set.history[k], std::vector<float>(1 + i % 4, static_cast<float>(i))) << k;
    }
    EXPECT_TRUE(set.powerDataChanged);
}
