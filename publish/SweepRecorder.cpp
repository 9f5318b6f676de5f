#include "publish/SweepRecorder.h"

#include <algorithm>
#include <cmath>

#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"

namespace {

// Band peak lists run raw, decay, average, maximum, minimum; records keep the trace order.
constexpr int kPeakListOfTrace[SweepRecord::kTraceCount] = {0, 1, 3, 4, 2};
constexpr uint8_t kTraceBit[SweepRecord::kTraceCount] = {
    TraceProcessing::kRawBit, TraceProcessing::kDecayBit, TraceProcessing::kMaxBit,
    TraceProcessing::kMinBit, TraceProcessing::kAverageBit};

}  // namespace

SweepRecorder::SweepRecorder(int band, uint8_t traceMask)
    : band_(band), traceMask_(traceMask), history_(band == 0 ? 256 : 512) {}

uint64_t SweepRecorder::startHz(int band) {
    return band == 0 ? 2400000000u : 5145000000u;
}

uint64_t SweepRecorder::stepHz(int band, int points) {
    // The window spreads a sweep's points evenly from the band's first to its last frequency;
    // whole hertz, so that a reader recomputes every point as start + i × step.
    const double span = band == 0 ? 100e6 : 715e6;
    return points > 1 ? static_cast<uint64_t>(std::llround(span / (points - 1))) : 0;
}

void SweepRecorder::collect(const SpectrumSettings& model, uint64_t timeUs,
                            std::vector<SweepRecord>& out) {
    const BandSweepBuffers& band = band_ == 0 ? model.band24 : model.band5;
    const uint64_t first = band.firstSerial();
    const uint64_t end = first + static_cast<uint64_t>(band.sweepCount());
    if (end <= nextSerial_)
        return;
    if (nextSerial_ == 0 || first >= nextSerial_) {
        // None of the sweeps taken before is still held: the model cleared its history (a new
        // configuration), or sweeps went by uncollected. Either way the traces start again, as
        // the window's do after a clear.
        if (nextSerial_ != 0 && first > nextSerial_)
            missed_ += first - nextSerial_;
        history_.clear();
        nextSerial_ = first;
    }
    const int points =
        TraceProcessing::effectivePointCount(band.sweepPointCount, band.pointsPerSweep());
    const TraceProcessing::Settings settings = TraceProcessing::settingsFor(model, band_ == 0);
    const float offset = model.amplitudeOffset();
    const uint64_t start = startHz(band_);
    const uint64_t step = stepHz(band_, points);
    history_.sweepLimit = band.sweepLimit;
    for (uint64_t serial = nextSerial_; serial < end; ++serial) {
        const float* row = band.sweep(static_cast<int>(serial - first));
        // No level grid: the records carry no heat map.
        acquisition_.add(history_, row, static_cast<size_t>(points), LevelGrid{}, settings);
        SweepRecord record;
        record.timeUs = timeUs;
        record.band = band_;
        record.startHz = start;
        record.stepHz = step;
        record.levels.assign(row, row + points);
        for (float& level : record.levels)
            level += offset;
        record.traceMask = traceMask_;
        for (int t = 0; t < SweepRecord::kTraceCount; ++t) {
            if (!(traceMask_ & kTraceBit[t]))
                continue;
            const std::vector<float>& trace = history_.traces[static_cast<size_t>(t)];
            record.traces[static_cast<size_t>(t)].assign(trace.begin(), trace.begin() + points);
            for (float& level : record.traces[static_cast<size_t>(t)])
                level += offset;
            PeakList peaks = history_.peaks(kPeakListOfTrace[t]);
            for (PeakEntry& peak : peaks)
                peak.value += offset;
            record.peaks[static_cast<size_t>(t)] = peaks;
        }
        out.push_back(std::move(record));
    }
    nextSerial_ = end;
}
