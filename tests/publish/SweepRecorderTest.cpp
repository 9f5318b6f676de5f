// Every sweep of the model once, with the traces the window shows after it, however the sweeps
// are batched between two collections.
#include <gtest/gtest.h>

#include <vector>

#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"
#include "publish/SweepRecorder.h"

namespace {

constexpr uint8_t kAllTraces = TraceProcessing::kRawBit | TraceProcessing::kDecayBit |
                               TraceProcessing::kMaxBit | TraceProcessing::kMinBit |
                               TraceProcessing::kAverageBit;

// A sweep of `points` with a moving peak, different every time.
std::vector<float> sweepNumber(int n, int points) {
    std::vector<float> values(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        values[static_cast<size_t>(i)] =
            -90.f + static_cast<float>((i * 7 + n * 13) % 23) + (i == n % points ? 40.f : 0.f);
    return values;
}

void append(SpectrumSettings& model, int n, int points = 256) {
    const std::vector<float> values = sweepNumber(n, points);
    model.band24.appendSweep(values.data(), points);
}

}  // namespace

TEST(SweepRecorder, BatchedSweepsGiveTheRecordsOfOneAtATime) {
    SpectrumSettings one, batched;
    one.accessory.spectrumInterval24 = 0.25f;  // hold and average span four sweeps
    batched.accessory.spectrumInterval24 = 0.25f;
    SweepRecorder single(0, kAllTraces), batches(0, kAllTraces);
    std::vector<SweepRecord> a, b;
    const int sizes[] = {1, 3, 1, 5, 2, 7};
    int n = 0;
    for (int size : sizes) {
        for (int k = 0; k < size; ++k, ++n) {
            append(one, n);
            single.collect(one, 1000u * static_cast<uint64_t>(n), a);
            // The spectrum view, drawing a frame after every sweep.
            TraceProcessing::processBand(one.band24, TraceProcessing::settingsFor(one, true));
            append(batched, n);
        }
        batches.collect(batched, 1000u * static_cast<uint64_t>(n - 1), b);
    }
    ASSERT_EQ(a.size(), 19u);
    ASSERT_EQ(b.size(), a.size());
    for (size_t s = 0; s < a.size(); ++s) {
        EXPECT_EQ(a[s].levels, sweepNumber(static_cast<int>(s), 256)) << s;
        EXPECT_EQ(b[s].levels, a[s].levels) << s;
        for (size_t t = 0; t < SweepRecord::kTraceCount; ++t) {
            EXPECT_EQ(b[s].traces[t], a[s].traces[t]) << s << " trace " << t;
            ASSERT_EQ(a[s].traces[t].size(), 256u);
            for (size_t p = 0; p < 5; ++p) {
                EXPECT_EQ(b[s].peaks[t][p].index, a[s].peaks[t][p].index);
            }
        }
        // The moving peak is the live trace's highest point.
        EXPECT_EQ(a[s].peaks[0][0].index, static_cast<int>(s));
    }
    // What the view shows agrees with the last record.
    EXPECT_EQ(std::vector<float>(one.band24.traces[BandSweepBuffers::kAverageTrace]),
              a.back().traces[BandSweepBuffers::kAverageTrace]);
    EXPECT_EQ(std::vector<float>(one.band24.traces[BandSweepBuffers::kDecayTrace]),
              a.back().traces[BandSweepBuffers::kDecayTrace]);
    EXPECT_EQ(std::vector<float>(one.band24.traces[BandSweepBuffers::kMaxTrace]),
              a.back().traces[BandSweepBuffers::kMaxTrace]);
    EXPECT_EQ(single.missed(), 0u);
}

TEST(SweepRecorder, LevelsCarryTheAttenuationOffsetOnceConnected) {
    SpectrumSettings model;
    model.common_settings.externalAttenuation = 20;
    SweepRecorder recorder(0, TraceProcessing::kMaxBit);
    std::vector<SweepRecord> out;
    append(model, 0);
    recorder.collect(model, 0, out);
    model.runtime.deviceConnected = true;
    append(model, 1);
    recorder.collect(model, 0, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].levels[5], sweepNumber(0, 256)[5]);
    EXPECT_EQ(out[1].levels[5], sweepNumber(1, 256)[5] + 20.f);
    EXPECT_EQ(out[1].peaks[BandSweepBuffers::kMaxTrace][0].value,
              out[1].traces[BandSweepBuffers::kMaxTrace][static_cast<size_t>(
                  out[1].peaks[BandSweepBuffers::kMaxTrace][0].index)]);
    EXPECT_TRUE(out[1].traces[BandSweepBuffers::kDecayTrace].empty());  // not asked for
}

TEST(SweepRecorder, ShortSweepsAndTheirGrid) {
    SpectrumSettings model;
    SweepRecorder recorder(0, 0);
    std::vector<SweepRecord> out;
    append(model, 0, 100);
    recorder.collect(model, 7, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].levels.size(), 100u);
    EXPECT_EQ(out[0].timeUs, 7u);
    EXPECT_EQ(out[0].startHz, 2400000000u);
    EXPECT_EQ(out[0].stepHz, 1010101u);  // 100 MHz over 99 intervals
    EXPECT_EQ(SweepRecorder::stepHz(1, 512), 1399217u);
    EXPECT_EQ(SweepRecorder::startHz(1), 5145000000u);
}

TEST(SweepRecorder, AClearedHistoryRestartsTheTracesAndLostSweepsAreCounted) {
    SpectrumSettings model;
    model.band24.sweepLimit = 4;
    SweepRecorder recorder(0, TraceProcessing::kMaxBit);
    std::vector<SweepRecord> out;
    append(model, 0);
    recorder.collect(model, 0, out);
    // Six sweeps while nobody collects: the model keeps four, two are gone.
    for (int n = 1; n <= 6; ++n)
        append(model, n);
    recorder.collect(model, 0, out);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(recorder.missed(), 2u);
    EXPECT_EQ(out[1].levels, sweepNumber(3, 256));
    // The maximum starts again from the first sweep after the gap.
    EXPECT_EQ(out[1].traces[BandSweepBuffers::kMaxTrace], out[1].levels);

    model.band24.clear();  // a new configuration
    recorder.collect(model, 0, out);
    EXPECT_EQ(out.size(), 5u);
    append(model, 40);
    recorder.collect(model, 0, out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[5].traces[BandSweepBuffers::kMaxTrace], out[5].levels);
    EXPECT_EQ(recorder.missed(), 2u);  // a clear loses nothing
}
