// The demonstration's sweeps through the packet path with no view at all: the model holds, after
// every pass, the traces, peaks and heat map the spectrum view used to compute for itself one
// frame per sweep, and the headless records of the same sweeps agree with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "acquisition/HeatMapBuilder.h"
#include "model/TraceProcessing.h"
#include "publish/SweepRecorder.h"
#include "tests/controller/ControllerTestSupport.h"

namespace {

constexpr uint8_t kAllTraces = TraceProcessing::kRawBit | TraceProcessing::kDecayBit |
                               TraceProcessing::kMaxBit | TraceProcessing::kMinBit |
                               TraceProcessing::kAverageBit;

// What the spectrum view did before the traces moved below it: a frame per new sweep, processing
// the newest sweep of the history it reads. Fed the model's sweeps by serial, one at a time.
struct ViewReplay {
    explicit ViewReplay(int points) : drawn(points) {}

    void catchUp(const SpectrumSettings& model) {
        const BandSweepBuffers& band = model.band24;
        if (band.firstSerial() > next) {
            // A new configuration emptied the history: the view's traces start again too.
            drawn.clear();
            next = band.firstSerial();
        }
        const uint64_t end = band.firstSerial() + static_cast<uint64_t>(band.sweepCount());
        for (; next < end; ++next) {
            const float* row = band.sweep(static_cast<int>(next - band.firstSerial()));
            drawn.appendSweep(row, TraceProcessing::effectivePointCount(band.sweepPointCount,
                                                                        band.pointsPerSweep()));
            TraceProcessing::processBand(drawn, TraceProcessing::settingsFor(model, true));
        }
    }

    BandSweepBuffers drawn;
    uint64_t next = 0;
};

struct DemonstrationRig : ControllerRig {
    DemonstrationRig() : ControllerRig(&MemoryResources::recordings(SimGeneration::Tarno2)) {
        model.demo.hardware = 1;
        model.demo.signalType = 1;  // Wi-Fi bursts: traces that differ from sweep to sweep
        model.spectrum_settings.ssidScanOn = 0;
        // Windows of several sweeps, so hold, average and decay all have history to work on.
        model.spectrum_settings.holdTime = 0.6f;
        model.spectrum_settings.averageTime = 0.9f;
        model.spectrum_settings.decayStep = 1.5f;
    }
};

}  // namespace

TEST(DemonstrationTraces, EveryPassLeavesTheTracesAndPeaksTheViewDrew) {
    DemonstrationRig rig;
    rig.pass();
    ASSERT_TRUE(rig.controller.identified());
    ViewReplay view(rig.model.band24.pointsPerSweep());
    int compared = 0;
    for (int pass = 0; pass < 120 && compared < 40; ++pass) {
        rig.pass();
        const BandSweepBuffers& band = rig.model.band24;
        if (band.sweepCount() == 0)
            continue;
        view.catchUp(rig.model);
        ++compared;
        const int p = band.processedPointCount;
        ASSERT_EQ(p, view.drawn.processedPointCount);
        ASSERT_GT(p, 1);
        for (size_t t = 0; t < band.traces.size(); ++t) {
            ASSERT_TRUE(std::equal(band.traces[t].begin(), band.traces[t].begin() + p,
                                   view.drawn.traces[t].begin()))
                << "trace " << t << " after pass " << pass;
            const int list = static_cast<int>(t);
            for (size_t e = 0; e < band.peaks(list).size(); ++e) {
                EXPECT_EQ(band.peaks(list)[e].index, view.drawn.peaks(list)[e].index);
                EXPECT_EQ(band.peaks(list)[e].value, view.drawn.peaks(list)[e].value);
            }
        }
        EXPECT_TRUE(band.tracesReady);
        EXPECT_FALSE(band.newSweep) << "processed at arrival, nothing left for a view";
    }
    ASSERT_EQ(compared, 40);

    // The physics, from the history itself: maximum and minimum since the start, the live trace
    // the newest sweep, and every heat-map column one hit per sweep of the newest fifty.
    const BandSweepBuffers& band = rig.model.band24;
    const int p = band.processedPointCount;
    const int sweeps = band.sweepCount();
    ASSERT_GE(sweeps, 10);
    for (int i = 0; i < p; ++i) {
        float highest = band.sweep(0)[i];
        float lowest = highest;
        for (int s = 1; s < sweeps; ++s) {
            highest = std::max(highest, band.sweep(s)[i]);
            lowest = std::min(lowest, band.sweep(s)[i]);
        }
        ASSERT_EQ(band.traces[BandSweepBuffers::kMaxTrace][static_cast<size_t>(i)], highest) << i;
        ASSERT_EQ(band.traces[BandSweepBuffers::kMinTrace][static_cast<size_t>(i)], lowest) << i;
        ASSERT_EQ(band.traces[BandSweepBuffers::kRawTrace][static_cast<size_t>(i)],
                  band.sweep(sweeps - 1)[i]);
    }
    const HeatMap& map = band.heatMap;
    ASSERT_EQ(map.columns, p);
    ASSERT_GT(map.rows, 1);
    for (int column = 0; column < map.columns; ++column) {
        int hits = 0;
        for (int row = 0; row < map.rows; ++row)
            hits += map.counts[static_cast<size_t>(row * map.columns + column)];
        ASSERT_EQ(hits, std::min(sweeps, HeatMapBuilder::kNewestSweeps)) << column;
    }
}

TEST(DemonstrationTraces, HeadlessRecordsCarryWhatTheWindowShows) {
    DemonstrationRig rig;
    SweepRecorder recorder(0, kAllTraces);
    std::vector<SweepRecord> records;
    // Collected every third pass only, so that several sweeps arrive between two collections.
    for (int pass = 0; pass < 90; ++pass) {
        rig.pass();
        if (pass % 3 == 2)
            recorder.collect(rig.model, static_cast<uint64_t>(pass), records);
    }
    recorder.collect(rig.model, 90, records);
    const BandSweepBuffers& band = rig.model.band24;
    ASSERT_GE(records.size(), 10u);
    EXPECT_EQ(records.size(), static_cast<size_t>(band.sweepCount()));
    EXPECT_EQ(recorder.missed(), 0u);
    const SweepRecord& last = records.back();
    const size_t p = static_cast<size_t>(band.processedPointCount);
    ASSERT_EQ(last.levels.size(), p);
    for (int t = 0; t < SweepRecord::kTraceCount; ++t) {
        const std::vector<float>& shown = band.traces[static_cast<size_t>(t)];
        EXPECT_EQ(last.traces[static_cast<size_t>(t)],
                  std::vector<float>(shown.begin(), shown.begin() + static_cast<long>(p)))
            << "trace " << t;
    }
}
