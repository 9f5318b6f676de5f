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

void addRow(float* __restrict sum, const float* __restrict row, int count) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (int j = 0; j < kBlock; ++j)
            sum[i + j] += row[i + j];
    for (; i < count; ++i)
        sum[i] += row[i];
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
        const int hold = windowSweeps(settings.holdTime, settings.sweepPeriod, h);
        for (int k = 0; k < hold; ++k) {
            const float* record = band.sweep(h - 1 - k);
            if (k == 0)
                subtract(decay, settings.decayStep, p);
            raiseTo(decay, record, p);
        }
        const int window = windowSweeps(settings.averageTime, settings.sweepPeriod, h);
        for (int k = 0; k < window; ++k) {
            const float* record = band.sweep(h - 1 - k);
            if (k == 0) {
                std::memcpy(average, record, bytes);
            } else {
                addRow(average, record, p);
            }
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
