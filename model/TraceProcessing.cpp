#include "model/TraceProcessing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/SpectrumSettings.h"

namespace {

// Point-wise loops over rows that never overlap. Each runs in blocks of eight points with a fixed
// trip count, which the compiler turns into vector instructions at -O2 (a loop of unknown length
// stays scalar there), and a scalar tail. Vectors go across points, so each point still sees
// its operations in the order written. (a < b ? b : a) keeps the comparison the traces were
// defined with, NaN and signed zeros included.
constexpr int kBlock = 8;

void raiseTo(float* __restrict trace, const float* __restrict row, int count) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            trace[i + j] = trace[i + j] < row[i + j] ? row[i + j] : trace[i + j];
    for (; i < count; ++i)
        trace[i] = trace[i] < row[i] ? row[i] : trace[i];
}

void lowerTo(float* __restrict trace, const float* __restrict row, int count) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            trace[i + j] = row[i + j] < trace[i + j] ? row[i + j] : trace[i + j];
    for (; i < count; ++i)
        trace[i] = row[i] < trace[i] ? row[i] : trace[i];
}

// Row pointers gathered at a time, newest first, for the loops over many rows.
constexpr int kRowsAtOnce = 32;

// Folds the rows into the trace in turn, t = op(t, row value), point by point. A block of points
// stays in registers across the rows, so a row costs one load per point instead of a load and a
// store of the trace. The last, partial block runs as a whole one where rows and trace are
// `width` wide enough (the points past `count` are worked out and dropped), so only a row of
// odd width has a scalar tail.
template <typename Op>
void foldRows(float* __restrict trace, const float* const* rows, int rowCount, int count, int width,
              Op op) {
    int i = 0;
    for (; i < count && i + kBlock <= width; i += kBlock) {
        float t[kBlock];
        for (int j = 0; j < kBlock; ++j)
            t[j] = trace[i + j];
        for (int k = 0; k < rowCount; ++k) {
            const float* row = rows[k] + i;
            for (int j = 0; j < kBlock; ++j)
                t[j] = op(t[j], row[j]);
        }
        if (i + kBlock <= count) {
            for (int j = 0; j < kBlock; ++j)
                trace[i + j] = t[j];
        } else {
            for (int j = 0; j < count - i; ++j)
                trace[i + j] = t[j];
        }
    }
    for (; i < count; ++i) {
        float t = trace[i];
        for (int k = 0; k < rowCount; ++k)
            t = op(t, rows[k][i]);
        trace[i] = t;
    }
}

// (a < b ? b : a), as raiseTo; lambdas, so that the fold inlines them.
constexpr auto raised = [](float t, float v) { return t < v ? v : t; };
constexpr auto added = [](float t, float v) { return t + v; };

// Calls f(rows, n) for the sweeps `first`..`last` - 1 back from the newest (0: the newest),
// newest first, kRowsAtOnce at a time.
template <typename F>
void eachRowChunk(const BandSweepBuffers& band, int first, int last, F&& f) {
    const float* rows[kRowsAtOnce];
    const int newest = band.sweepCount() - 1;
    for (int k = first; k < last; k += kRowsAtOnce) {
        const int n = std::min(kRowsAtOnce, last - k);
        for (int r = 0; r < n; ++r)
            rows[r] = band.sweep(newest - (k + r));
        f(rows, n);
    }
}

void subtract(float* trace, float amount, int count) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            trace[i + j] -= amount;
    for (; i < count; ++i)
        trace[i] -= amount;
}

void divide(float* trace, float divisor, int count) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            trace[i + j] /= divisor;
    for (; i < count; ++i)
        trace[i] /= divisor;
}

}  // namespace

TraceProcessing::Settings TraceProcessing::settingsFor(const SpectrumSettings& model, bool band24) {
    const SpectrumViewSettings& view = model.spectrum_settings;
    Settings settings;
    settings.sweepPeriod =
        band24 ? model.accessory.spectrumInterval24 : model.accessory.spectrumInterval5;
    settings.holdTime = view.holdTime;
    settings.averageTime = view.averageTime;
    settings.decayStep = view.decayStep;
    return settings;
}

bool TraceProcessing::processBand(BandSweepBuffers& band, const Settings& settings) {
    if (!band.newSweep)
        return false;
    const int n = band.pointsPerSweep();
    const int h = band.sweepCount();
    if (h == 0) {
        band.processedPointCount = 0;
        band.newSweep = false;
        band.tracesReady = true;
        return true;
    }
    const int p = effectivePointCount(band.sweepPointCount, n);
    const size_t bytes = static_cast<size_t>(p) * sizeof(float);
    float* raw = band.traces[BandSweepBuffers::kRawTrace].data();
    float* decay = band.traces[BandSweepBuffers::kDecayTrace].data();
    float* maximum = band.traces[BandSweepBuffers::kMaxTrace].data();
    float* minimum = band.traces[BandSweepBuffers::kMinTrace].data();
    float* average = band.traces[BandSweepBuffers::kAverageTrace].data();
    std::memcpy(raw, band.sweep(h - 1), bytes);

    if (band.processedPointCount == 0) {
        // First sweep after a reset: every trace starts from it.
        for (float* trace : {decay, maximum, minimum, average})
            std::memcpy(trace, raw, bytes);
    } else {
        // Per point, the same operations in the same order as one row at a time: decay falls,
        // then rises to each sweep of the hold window, newest first; the average sums its window
        // from the newest sweep back.
        const int hold = windowSweeps(settings.holdTime, settings.sweepPeriod, h);
        if (hold > 0) {
            subtract(decay, settings.decayStep, p);
            eachRowChunk(band, 0, hold, [&](const float* const* rows, int count) {
                foldRows(decay, rows, count, p, n, raised);
            });
        }
        const int window = windowSweeps(settings.averageTime, settings.sweepPeriod, h);
        if (window > 0) {
            std::memcpy(average, raw, bytes);
            eachRowChunk(band, 1, window, [&](const float* const* rows, int count) {
                foldRows(average, rows, count, p, n, added);
            });
        }
        if (window > 1)
            divide(average, static_cast<float>(window), p);
        raiseTo(maximum, raw, p);
        lowerTo(minimum, raw, p);
    }

    band.processedPointCount = p;
    band.tracesChanged();
    band.newSweep = false;
    band.tracesReady = true;
    return true;
}

int TraceProcessing::effectivePointCount(int sweepPointCount, int pointsPerSweep) {
    if (sweepPointCount < 0 || sweepPointCount > pointsPerSweep - 1)
        return pointsPerSweep;
    return sweepPointCount;
}

int TraceProcessing::windowSweeps(float seconds, float sweepPeriod, int available) {
    // A zero or broken sweep period from the accessory must not become an undefined
    // float-to-int conversion: the window is then the whole history (or nothing for NaN).
    // Float division as the settings are stored: 1 s / 0.1 s must give 10 sweeps, not 9.
    const float ratio = seconds / sweepPeriod;
    if (std::isnan(ratio) || ratio < 1.f)
        return 0;
    if (ratio >= static_cast<float>(available))
        return available;
    return static_cast<int>(ratio);
}

void TraceProcessing::offerPeak(PeakList& peaks, int index, float value) {
    // The list is filled from the front and kept in falling order, so a full list whose last
    // entry is not below the value takes nothing: most points of a sweep stop here.
    if (peaks.empty() || (peaks.back().index >= 0 && !(peaks.back().value < value)))
        return;
    for (size_t j = 0; j < peaks.size(); ++j) {
        if (peaks[j].index < 0 || peaks[j].value < value) {
            for (size_t k = peaks.size() - 1; k > j; --k)
                peaks[k] = peaks[k - 1];
            peaks[j] = PeakEntry{index, value};
            return;
        }
    }
}

void TraceProcessing::findTopPeaks(const float* values, int count, PeakList& peaks) {
    resetPeakList(peaks);
    if (!values)
        return;
    const PeakEntry& last = peaks.back();
    for (int i = 0; i < count; ++i) {
        // offerPeak's own first test, here so the common case costs no call.
        if (last.index >= 0 && !(last.value < values[i]))
            continue;
        offerPeak(peaks, i, values[i]);
    }
}

uint8_t TraceProcessing::maskBitForKind(int kind) {
    switch (kind) {
        case 1:
            return kRawBit;
        case 2:
            return kDecayBit;
        case 3:
            return kAverageBit;
        case 4:
            return kMaxBit;
        case 5:
            return kMinBit;
        case 6:
            return kHeatMapBit;
        default:
            return 0;
    }
}

uint8_t TraceProcessing::maskForModes(const uint8_t modes[3]) {
    return static_cast<uint8_t>(maskBitForKind(modes[0]) | maskBitForKind(modes[1]) |
                                maskBitForKind(modes[2]));
}
