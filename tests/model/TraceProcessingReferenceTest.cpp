// The band's traces and peaks against a straightforward re-reading of the history after every
// sweep, bit for bit, while the history wraps, the point count and the settings change and the
// band is cleared.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "model/BandSweepBuffers.h"
#include "model/TraceProcessing.h"
#include "model/TraceProcessingWindows.h"

namespace {

struct ReferenceTraces {
    std::array<std::vector<float>, 5> traces;  // BandSweepBuffers::Trace order
    int processedPointCount = 0;
};

// Every trace from the rows of the history, one point and one row at a time, newest row first;
// the average adds its rows in double and rounds their mean to float once.
void referenceProcess(const BandSweepBuffers& band, const TraceProcessing::Settings& settings,
                      ReferenceTraces& out) {
    const int h = band.sweepCount();
    if (h == 0) {
        out.processedPointCount = 0;
        return;
    }
    const int p = TraceProcessing::effectivePointCount(band.sweepPointCount, band.pointsPerSweep());
    auto& raw = out.traces[BandSweepBuffers::kRawTrace];
    auto& decay = out.traces[BandSweepBuffers::kDecayTrace];
    auto& maximum = out.traces[BandSweepBuffers::kMaxTrace];
    auto& minimum = out.traces[BandSweepBuffers::kMinTrace];
    auto& average = out.traces[BandSweepBuffers::kAverageTrace];
    const float* newest = band.sweep(h - 1);
    for (int i = 0; i < p; ++i)
        raw[i] = newest[i];
    if (out.processedPointCount == 0) {
        for (auto* trace : {&decay, &maximum, &minimum, &average})
            for (int i = 0; i < p; ++i)
                (*trace)[i] = raw[i];
        out.processedPointCount = p;
        return;
    }
    const int hold = TraceProcessing::windowSweeps(settings.holdTime, settings.sweepPeriod, h);
    const int window = TraceProcessing::windowSweeps(settings.averageTime, settings.sweepPeriod, h);
    for (int i = 0; i < p; ++i) {
        if (hold > 0) {
            float d = decay[i] - settings.decayStep;
            for (int k = 0; k < hold; ++k) {
                const float v = band.sweep(h - 1 - k)[i];
                d = d < v ? v : d;
            }
            decay[i] = d;
        }
        if (window > 0) {
            double sum = band.sweep(h - 1)[i];
            for (int k = 1; k < window; ++k)
                sum += band.sweep(h - 1 - k)[i];
            average[i] = static_cast<float>(sum / static_cast<double>(window));
        }
        maximum[i] = maximum[i] < raw[i] ? raw[i] : maximum[i];
        minimum[i] = raw[i] < minimum[i] ? raw[i] : minimum[i];
    }
    out.processedPointCount = p;
}

// Levels as the first generation decodes them (a byte times a scale that is no power of two),
// with the odd NaN, -inf, signed zero and tiny or huge value an accessory or a file could
// bring, in one row of eight. Few distinct bytes make many rows tie for a point's largest.
class LevelSource {
  public:
    LevelSource(unsigned seed, unsigned distinct) : random_(seed), distinct_(distinct) {}

    void startRow() { oddRow_ = pick(8) == 0; }

    float next() {
        const int roll = oddRow_ ? static_cast<int>(random_() % 100) : 100;
        if (roll == 0)
            return std::numeric_limits<float>::quiet_NaN();
        if (roll == 1)
            return -0.0f;
        if (roll == 2)
            return 0.0f;
        if (roll == 3)
            return -std::numeric_limits<float>::infinity();
        if (roll == 4)
            return std::numeric_limits<float>::infinity();
        if (roll == 7)
            return 2e38f;
        if (roll == 5)
            return 1e-3f;
        if (roll == 6)
            return 3e5f;
        return static_cast<float>(random_() % distinct_) * 0.36290324f - 100.0f;
    }
    unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }

  private:
    std::mt19937 random_;
    unsigned distinct_;
    bool oddRow_ = false;
};

void expectSame(const BandSweepBuffers& band, const ReferenceTraces& reference, int sweep) {
    ASSERT_EQ(band.processedPointCount, reference.processedPointCount) << "sweep " << sweep;
    for (size_t t = 0; t < reference.traces.size(); ++t) {
        const std::vector<float>& got = band.traces[t];
        const std::vector<float>& expected = reference.traces[t];
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            // Where +inf meets -inf the sum is NaN, with whichever bits the compiler's order of
            // the addition gives; any NaN is the same reading.
            if (std::isnan(got[i]) && std::isnan(expected[i]))
                continue;
            ASSERT_EQ(std::memcmp(&got[i], &expected[i], sizeof(float)), 0)
                << "trace " << t << " point " << i << " after sweep " << sweep << ": " << got[i]
                << " for " << expected[i];
        }
    }
}

void expectPeaksOf(const BandSweepBuffers& band, const ReferenceTraces& reference, int list,
                   int sweep) {
    static constexpr int kTraceOfList[5] = {
        BandSweepBuffers::kRawTrace, BandSweepBuffers::kDecayTrace, BandSweepBuffers::kAverageTrace,
        BandSweepBuffers::kMaxTrace, BandSweepBuffers::kMinTrace};
    PeakList expected;
    TraceProcessing::findTopPeaks(reference.traces[kTraceOfList[list]].data(),
                                  reference.processedPointCount, expected);
    const PeakList& got = band.peaks(list);
    for (size_t e = 0; e < expected.size(); ++e) {
        ASSERT_EQ(got[e].index, expected[e].index) << "list " << list << " sweep " << sweep;
        if (std::isnan(got[e].value) && std::isnan(expected[e].value))
            continue;
        ASSERT_EQ(std::memcmp(&got[e].value, &expected[e].value, sizeof(float)), 0)
            << "list " << list << " sweep " << sweep;
    }
}

// Runs `sweeps` sweeps through a band and the reference, changing the settings, the point count
// and the history limit on the way; reads some peak lists after some sweeps only.
void runAgainstReference(int pointsPerSweep, int sweepLimit, unsigned seed, int sweeps,
                         unsigned distinct = 256) {
    // Processed from the rows every sweep, and from what the windows held at the last sweep.
    BandSweepBuffers band(pointsPerSweep);
    BandSweepBuffers slid(pointsPerSweep);
    TraceProcessingWindows windows;
    BandSweepBuffers history(pointsPerSweep);  // the same rows for the reference to read
    band.sweepLimit = sweepLimit;
    slid.sweepLimit = sweepLimit;
    history.sweepLimit = sweepLimit;
    ReferenceTraces reference;
    for (auto& trace : reference.traces)
        trace.assign(static_cast<size_t>(pointsPerSweep), 0.0f);
    LevelSource source(seed, distinct);
    // Windows of none, one, a few and more sweeps than the history holds; a broken period.
    const float periods[] = {0.1f, 0.25f, 0.0f, 0.03f};
    const float times[] = {1.0f, 0.0f, 0.1f, 2.5f, 4.0f, 0.35f};
    const float steps[] = {2.0f, 0.0f, 0.37f, 10.0f};
    TraceProcessing::Settings settings;
    std::vector<float> levels(static_cast<size_t>(pointsPerSweep));
    int count = pointsPerSweep;
    for (int s = 0; s < sweeps; ++s) {
        if (s % 37 == 0) {
            settings.sweepPeriod = periods[source.pick(4)];
            settings.holdTime = times[source.pick(6)];
            settings.averageTime = times[source.pick(6)];
            settings.decayStep = steps[source.pick(4)];
        }
        if (s % 53 == 0)  // fewer points, or the whole row again
            count = source.pick(3) == 0
                        ? 1 + static_cast<int>(source.pick(static_cast<unsigned>(pointsPerSweep)))
                        : pointsPerSweep;
        if (s % 211 == 100) {
            band.clear();
            slid.clear();
            history.clear();
            reference.processedPointCount = 0;
        }
        source.startRow();
        for (int i = 0; i < count; ++i)
            levels[static_cast<size_t>(i)] = source.next();
        ASSERT_TRUE(band.appendSweep(levels.data(), count));
        ASSERT_TRUE(slid.appendSweep(levels.data(), count));
        ASSERT_TRUE(history.appendSweep(levels.data(), count));
        ASSERT_TRUE(TraceProcessing::processBand(band, settings));
        ASSERT_TRUE(windows.process(slid, settings));
        referenceProcess(history, settings, reference);
        expectSame(band, reference, s);
        expectSame(slid, reference, s);
        if (s % 3 == 0)  // some sweeps' peaks are never read
            expectPeaksOf(band, reference, static_cast<int>(source.pick(5)), s);
        if (s % 7 == 0)
            for (int list = 0; list < 5; ++list)
                expectPeaksOf(slid, reference, list, s);
    }
}

}  // namespace

TEST(TraceProcessingReference, TracesAndPeaksMatchAFreshReadingOfTheHistory) {
    runAgainstReference(256, 510, 1u, 1500);     // the 2.4 GHz row, history never full here
    runAgainstReference(37, 23, 2u, 1500);       // a row that is no multiple of a vector; wrapping
    runAgainstReference(512, 5, 3u, 400);        // a history shorter than the windows
    runAgainstReference(64, 0, 4u, 700);         // no limit
    runAgainstReference(100, 510, 5u, 1500, 6);  // few levels: many rows tie for the largest
    runAgainstReference(20, 12, 6u, 1500, 3);    // ties while the history wraps under the windows
}

TEST(TraceProcessingReference, PeaksOfAnUnprocessedOrClearedBandAreEmpty) {
    BandSweepBuffers band(16);
    for (int list = -1; list <= 5; ++list) {
        EXPECT_EQ(band.peaks(list)[0].index, -1) << list;
        EXPECT_TRUE(std::isnan(band.peaks(list)[0].value)) << list;
    }
    const float levels[3] = {-50.0f, -20.0f, -70.0f};
    band.appendSweep(levels, 3);
    ASSERT_TRUE(TraceProcessing::processBand(band, TraceProcessing::Settings{}));
    EXPECT_EQ(band.peaks(0)[0].index, 1);
    band.clear();
    EXPECT_EQ(band.peaks(0)[0].index, -1);
    // A list put in place stays until the traces change.
    band.setPeaks(3, PeakList{PeakEntry{7, -1.0f}});
    EXPECT_EQ(band.peaks(3)[0].index, 7);
    band.appendSweep(levels, 3);
    ASSERT_TRUE(TraceProcessing::processBand(band, TraceProcessing::Settings{}));
    EXPECT_EQ(band.peaks(3)[0].index, 1);
}
