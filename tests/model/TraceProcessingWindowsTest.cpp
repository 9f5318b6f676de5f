// What the trace windows carry from sweep to sweep is used only for the band and the sweeps it
// was worked out from: anything else is worked out from the rows again.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "model/TraceProcessing.h"
#include "model/TraceProcessingWindows.h"

namespace {

// Levels that differ per band and sweep, so that a window mixed up between them shows.
std::vector<float> sweepOf(int band, int sweep, int points) {
    std::vector<float> levels(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        levels[static_cast<size_t>(i)] =
            -90.0f + static_cast<float>((band * 37 + sweep * 11 + i * 7) % 41) * 0.5f;
    return levels;
}

void expectSameTraces(const BandSweepBuffers& got, const BandSweepBuffers& expected, int sweep) {
    ASSERT_EQ(got.processedPointCount, expected.processedPointCount) << sweep;
    for (size_t t = 0; t < expected.traces.size(); ++t)
        ASSERT_EQ(std::memcmp(got.traces[t].data(), expected.traces[t].data(),
                              expected.traces[t].size() * sizeof(float)),
                  0)
            << "trace " << t << " after sweep " << sweep;
}

}  // namespace

TEST(TraceProcessingWindows, OneWindowsObjectForTwoBandsStillGivesEachItsOwnTraces) {
    constexpr int kPoints = 24;
    TraceProcessing::Settings settings;  // 0.1 s sweeps, 1 s hold and average: 10 rows
    BandSweepBuffers a(kPoints), b(kPoints), aFresh(kPoints), bFresh(kPoints);
    TraceProcessingWindows windows;
    for (int s = 0; s < 60; ++s) {
        // Band a twice, then b once: the windows must not carry a's sums or maxima over to b.
        for (BandSweepBuffers* band : {&a, &aFresh}) {
            const std::vector<float> levels = sweepOf(0, s, kPoints);
            band->appendSweep(levels.data(), kPoints);
        }
        ASSERT_TRUE(windows.process(a, settings));
        ASSERT_TRUE(TraceProcessing::processBand(aFresh, settings));
        expectSameTraces(a, aFresh, s);
        if (s % 3 == 2) {
            for (BandSweepBuffers* band : {&b, &bFresh}) {
                const std::vector<float> levels = sweepOf(1, s, kPoints);
                band->appendSweep(levels.data(), kPoints);
            }
            ASSERT_TRUE(windows.process(b, settings));
            ASSERT_TRUE(TraceProcessing::processBand(bFresh, settings));
            expectSameTraces(b, bFresh, s);
        }
    }
}

TEST(TraceProcessingWindows, SweepsAppendedWithoutProcessingAreNotSkippedOver) {
    constexpr int kPoints = 16;
    TraceProcessing::Settings settings;
    BandSweepBuffers band(kPoints), fresh(kPoints);
    TraceProcessingWindows windows;
    for (int s = 0; s < 80; ++s) {
        for (BandSweepBuffers* b : {&band, &fresh}) {
            const std::vector<float> levels = sweepOf(2, s, kPoints);
            b->appendSweep(levels.data(), kPoints);
        }
        if (s % 5 == 3)
            continue;  // two sweeps arrive before the next processing
        ASSERT_TRUE(windows.process(band, settings));
        ASSERT_TRUE(TraceProcessing::processBand(fresh, settings));
        expectSameTraces(band, fresh, s);
    }
}

TEST(TraceProcessingWindows, ACopyOfTheBandGoingOnWithOtherSweepsIsWorkedOutFromItsRows) {
    constexpr int kPoints = 16;
    TraceProcessing::Settings settings;
    BandSweepBuffers band(kPoints);
    TraceProcessingWindows windows;
    BandSweepBuffers copy(kPoints);
    for (int s = 0; s < 30; ++s) {
        if (s == 29)
            copy = band;  // goes on with other sweeps from here
        const std::vector<float> levels = sweepOf(3, s, kPoints);
        band.appendSweep(levels.data(), kPoints);
        ASSERT_TRUE(windows.process(band, settings));
    }
    // The copy's sweeps have the serials of the original's: its second is the one after the
    // last the windows saw, but the row before it differs.
    BandSweepBuffers fresh = copy;
    for (int s = 0; s < 2; ++s) {
        const std::vector<float> other = sweepOf(4, s, kPoints);
        copy.appendSweep(other.data(), kPoints);
        fresh.appendSweep(other.data(), kPoints);
    }
    ASSERT_TRUE(windows.process(copy, settings));
    ASSERT_TRUE(TraceProcessing::processBand(fresh, settings));
    expectSameTraces(copy, fresh, 31);
}
