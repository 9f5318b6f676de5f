// Trace processing of one band: seeding, decaying peak hold, average, maximum and minimum
// windows, point counts from the accessory, and the peak search.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/TraceProcessing.h"

namespace {

using Trace = BandSweepBuffers;

std::vector<float> flat(int n, float level) {
    return std::vector<float>(static_cast<size_t>(n), level);
}

// A 2.4 GHz band after `levels.size()` sweeps of constant levels, the first one processed.
struct Band {
    BandSweepBuffers band{256};
    TraceProcessing::Settings settings;

    void append(float level, int points = 256) {
        std::vector<float> row = flat(points, level);
        band.appendSweep(row.data(), points);
    }
    void appendAndProcess(float level) {
        append(level);
        EXPECT_TRUE(TraceProcessing::processBand(band, settings));
    }
    float at(int trace, int i = 0) const { return band.traces[trace][static_cast<size_t>(i)]; }
};

}  // namespace

TEST(TraceProcessing, NothingWithoutANewSweep) {
    Band b;
    b.append(-50);
    b.band.newSweep = false;
    EXPECT_FALSE(TraceProcessing::processBand(b.band, b.settings));
    EXPECT_FALSE(b.band.tracesReady);
    EXPECT_EQ(b.band.processedPointCount, 0);
}

TEST(TraceProcessing, PointCountsOutsideTheRowMeanTheWholeRow) {
    for (int count : {300, -1, 256}) {
        Band b;
        std::vector<float> row(256);
        for (int i = 0; i < 256; ++i)
            row[static_cast<size_t>(i)] = -100.f + static_cast<float>(i) * 0.25f;
        b.band.appendSweep(row.data(), 256);
        b.band.sweepPointCount = count;
        ASSERT_TRUE(TraceProcessing::processBand(b.band, b.settings));
        EXPECT_EQ(b.band.processedPointCount, 256) << count;
        EXPECT_FLOAT_EQ(b.at(Trace::kRawTrace, 255), row[255]) << count;
        EXPECT_EQ(b.band.peaks(0)[0].index, 255) << count;
    }
    // Inside the row the count is taken as given.
    Band b;
    b.append(-60, 95);
    ASSERT_TRUE(TraceProcessing::processBand(b.band, b.settings));
    EXPECT_EQ(b.band.processedPointCount, 95);
}

TEST(TraceProcessing, FirstSweepAfterAResetSeedsEveryTrace) {
    Band b;
    b.appendAndProcess(-40);
    b.appendAndProcess(-80);
    EXPECT_FLOAT_EQ(b.at(Trace::kMaxTrace), -40);
    // A reset empties the history; the empty pass marks the band as unprocessed.
    b.band.clear();
    b.band.newSweep = true;
    EXPECT_TRUE(TraceProcessing::processBand(b.band, b.settings));
    EXPECT_EQ(b.band.processedPointCount, 0);
    b.appendAndProcess(-70);
    for (int t = 0; t < 5; ++t)
        EXPECT_FLOAT_EQ(b.at(t, 100), -70) << "trace " << t;
    EXPECT_TRUE(b.band.tracesReady);
    EXPECT_FALSE(b.band.newSweep);
}

TEST(TraceProcessing, HoldShorterThanASweepFreezesTheDecay) {
    Band b;
    b.settings.holdTime = 0.05f;  // half a sweep period
    b.appendAndProcess(-40);
    b.appendAndProcess(-20);
    b.appendAndProcess(-90);
    // Not lowered and not raised.
    EXPECT_FLOAT_EQ(b.at(Trace::kDecayTrace), -40);
}

TEST(TraceProcessing, DecayFallsByItsStepAndHoldsTheWindowMaximum) {
    Band b;
    b.settings.holdTime = 0.3f;  // three sweeps
    b.settings.decayStep = 2.f;
    b.appendAndProcess(-30);
    b.appendAndProcess(-90);  // window: -90, -30 → max -30 versus -32 after the step
    EXPECT_FLOAT_EQ(b.at(Trace::kDecayTrace), -30);
    b.appendAndProcess(-90);  // window -90, -90, -30
    EXPECT_FLOAT_EQ(b.at(Trace::kDecayTrace), -30);
    b.appendAndProcess(-90);  // -30 has left the window: lowered once
    EXPECT_FLOAT_EQ(b.at(Trace::kDecayTrace), -32);
    b.appendAndProcess(-90);
    EXPECT_FLOAT_EQ(b.at(Trace::kDecayTrace), -34);
}

TEST(TraceProcessing, AverageWindows) {
    Band b;
    b.settings.averageTime = 0.1f;  // one sweep period: the average is the raw trace
    b.appendAndProcess(-30);
    b.appendAndProcess(-60);
    EXPECT_FLOAT_EQ(b.at(Trace::kAverageTrace), b.at(Trace::kRawTrace));

    Band c;
    c.settings.averageTime = 0.3f;
    c.appendAndProcess(-10);  // seeds
    c.appendAndProcess(-40);  // window limited by the history: (-10 - 40) / 2
    EXPECT_FLOAT_EQ(c.at(Trace::kAverageTrace), -25);
    c.appendAndProcess(-70);
    EXPECT_FLOAT_EQ(c.at(Trace::kAverageTrace), -40);
    c.appendAndProcess(-70);  // -10 has left: (-40 - 70 - 70) / 3
    EXPECT_FLOAT_EQ(c.at(Trace::kAverageTrace), -60);
}

TEST(TraceProcessing, MaximumAndMinimumSinceTheReset) {
    Band b;
    for (float level : {-50.f, -20.f, -80.f, -60.f})
        b.appendAndProcess(level);
    EXPECT_FLOAT_EQ(b.at(Trace::kMaxTrace), -20);
    EXPECT_FLOAT_EQ(b.at(Trace::kMinTrace), -80);
    EXPECT_FLOAT_EQ(b.at(Trace::kRawTrace), -60);
}

TEST(TraceProcessing, PeakListsFollowRawDecayAverageMaximumMinimum) {
    Band b;
    b.appendAndProcess(-50);
    b.appendAndProcess(-80);
    EXPECT_FLOAT_EQ(b.band.peaks(0)[0].value, -80);  // raw
    EXPECT_FLOAT_EQ(b.band.peaks(3)[0].value, -50);  // maximum
    EXPECT_FLOAT_EQ(b.band.peaks(4)[0].value, -80);  // minimum
    EXPECT_FLOAT_EQ(b.band.peaks(2)[0].value, -65);  // average of two
}

TEST(TraceProcessing, WindowLengthsInSweeps) {
    // Float division as stored: one second of 0.1 s sweeps is ten, not nine.
    EXPECT_EQ(TraceProcessing::windowSweeps(1.f, 0.1f, 100), 10);
    EXPECT_EQ(TraceProcessing::windowSweeps(3.f, 0.1f, 100), 30);
    EXPECT_EQ(TraceProcessing::windowSweeps(3.f, 0.1f, 7), 7);
    EXPECT_EQ(TraceProcessing::windowSweeps(0.f, 0.1f, 7), 0);
    // A broken sweep period from an accessory must not wrap or trap.
    EXPECT_EQ(TraceProcessing::windowSweeps(1.f, 0.f, 7), 7);
    EXPECT_EQ(TraceProcessing::windowSweeps(0.f, 0.f, 7), 0);
    EXPECT_EQ(TraceProcessing::windowSweeps(1.f, -0.1f, 7), 0);
    EXPECT_EQ(TraceProcessing::windowSweeps(1e30f, 1e-30f, 7), 7);
}

TEST(FindTopPeaks, FlatTracePeaksAtTheFirstFiveIndices) {
    const std::vector<float> values = flat(50, -70);
    PeakList peaks;
    TraceProcessing::findTopPeaks(values.data(), 50, peaks);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(peaks[static_cast<size_t>(i)].index, i);
        EXPECT_FLOAT_EQ(peaks[static_cast<size_t>(i)].value, -70);
    }
}

TEST(FindTopPeaks, HighestFirstNeighboursAllowed) {
    const std::vector<float> values = {-90, -10, -11, -50, -10, -95, -12, -30};
    PeakList peaks;
    TraceProcessing::findTopPeaks(values.data(), static_cast<int>(values.size()), peaks);
    const int indices[] = {1, 4, 2, 6, 7};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(peaks[static_cast<size_t>(i)].index, indices[i]) << i;
}

TEST(FindTopPeaks, ShortTracesLeaveEmptyEntries) {
    const std::vector<float> values = {-60, -40};
    PeakList peaks;
    peaks.fill(PeakEntry{9, 1.f});
    TraceProcessing::findTopPeaks(values.data(), 2, peaks);
    EXPECT_EQ(peaks[0].index, 1);
    EXPECT_EQ(peaks[1].index, 0);
    for (size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(peaks[i].index, -1);
        EXPECT_TRUE(std::isnan(peaks[i].value));
    }
    TraceProcessing::findTopPeaks(values.data(), 0, peaks);
    EXPECT_EQ(peaks[0].index, -1);
}

TEST(TraceMask, SlotsOrTogetherAndUnknownKindsSetNothing) {
    const uint8_t same[3] = {2, 2, 2};
    EXPECT_EQ(TraceProcessing::maskForModes(same), TraceProcessing::kDecayBit);
    const uint8_t mixed[3] = {6, 1, 5};
    EXPECT_EQ(TraceProcessing::maskForModes(mixed),
              TraceProcessing::kHeatMapBit | TraceProcessing::kRawBit | TraceProcessing::kMinBit);
    const uint8_t unknown[3] = {0, 7, 255};
    EXPECT_EQ(TraceProcessing::maskForModes(unknown), 0);
}
