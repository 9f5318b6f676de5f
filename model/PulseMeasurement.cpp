#include "model/PulseMeasurement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

double milliwatts(double dbm) {
    return std::pow(10.0, dbm / 10.0);
}

float dbm(double milliwatts) {
    return milliwattsToDbm(static_cast<float>(milliwatts));
}

// 10 % to 90 % transition in one direction: from the last crossing of the start threshold to
// the first sample beyond the end threshold after it. Both may fall on the same sample when the
// edge is steeper than one sample interval. Returns the samples between them, or -1.
long transitionSamples(const float* x, size_t count, double from, double to, bool rising) {
    long start = -1;
    for (size_t j = 1; j < count; ++j) {
        const double p = x[j - 1];
        const double c = x[j];
        if (start < 0) {
            if (rising ? (p < from && from <= c) : (p > from && from >= c)) {
                start = static_cast<long>(j);
            }
        } else if (rising ? c < from : c > from) {
            // Noise on the base line crossed the start threshold; the edge has not begun yet.
            start = -1;
            continue;
        }
        if (start >= 0 && (rising ? c >= to : c <= to)) {
            return static_cast<long>(j) - start;
        }
    }
    return -1;
}

}  // namespace

// --- Measurement ---------------------------------------------------------------------------

std::optional<PulseMeasurement::Results> PulseMeasurement::measure(const float* values,
                                                                   size_t count,
                                                                   float sampleInterval) {
    if (values == nullptr || count == 0 || !(sampleInterval > 0.0f) ||
        !std::isfinite(sampleInterval)) {
        return std::nullopt;
    }
    Results r;
    r.fill(kNaN);
    const double dt = sampleInterval;

    double max = values[0];
    double min = values[0];
    double sum = 0.0;
    double powerSum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double v = values[i];
        if (!std::isfinite(v)) {
            return r;
        }
        max = std::max(max, v);
        min = std::min(min, v);
        sum += v;
        powerSum += milliwatts(v);
    }
    const double amplitude = max - min;
    const double mid = (max + min) / 2.0;
    const double high = min + 0.9 * amplitude;
    const double low = min + 0.1 * amplitude;

    r[kMax] = static_cast<float>(max);
    r[kMin] = static_cast<float>(min);
    r[kPeakToPeak] = static_cast<float>(amplitude);
    r[kMean] = static_cast<float>(sum / static_cast<double>(count));
    // RMS of a power is its mean power: averaging dBm numbers would make -30 dBm read +30.
    r[kRms] = dbm(powerSum / static_cast<double>(count));

    const long rise = transitionSamples(values, count, low, high, true);
    const long fall = transitionSamples(values, count, high, low, false);
    if (rise >= 0) {
        r[kRiseTime] = static_cast<float>(static_cast<double>(rise) * dt);
    }
    if (fall >= 0) {
        r[kFallTime] = static_cast<float>(static_cast<double>(fall) * dt);
    }

    // Mid crossings: the first sample on the other side of mid.
    std::vector<size_t> crossings;
    for (size_t j = 1; j < count; ++j) {
        if ((values[j - 1] <= mid) != (values[j] <= mid)) {
            crossings.push_back(j);
        }
    }
    if (crossings.size() < 3) {
        return r;
    }
    // A period runs from one crossing to the second after it. Only such whole cycles are
    // averaged: the lead-in before the first edge and a trailing half cycle are not cycles.
    r[kPeriod] = static_cast<float>(static_cast<double>(crossings[2] - crossings[0]) * dt);
    r[kFrequency] = 1.0f / r[kPeriod];
    double cycleMeanSum = 0.0;
    double cyclePowerSum = 0.0;
    size_t cycles = 0;
    for (size_t k = 0; k + 2 < crossings.size(); k += 2) {
        double segmentSum = 0.0;
        double segmentPower = 0.0;
        const size_t length = crossings[k + 2] - crossings[k];
        for (size_t j = crossings[k]; j < crossings[k + 2]; ++j) {
            segmentSum += values[j];
            segmentPower += milliwatts(values[j]);
        }
        cycleMeanSum += segmentSum / static_cast<double>(length);
        cyclePowerSum += segmentPower / static_cast<double>(length);
        ++cycles;
    }
    r[kCycleMean] = static_cast<float>(cycleMeanSum / static_cast<double>(cycles));
    r[kCycleRms] = dbm(cyclePowerSum / static_cast<double>(cycles));

    // Duty window: one whole cycle from the first rising crossing to the next one. A window
    // that never closes would describe a partial cycle.
    size_t start = 0;
    bool started = false;
    for (size_t c : crossings) {
        if (values[c] <= mid) {
            continue;
        }
        if (!started) {
            start = c;
            started = true;
            continue;
        }
        size_t length = c - start;
        size_t highCount = 0;
        for (size_t j = start; j < c; ++j) {
            highCount += values[j] > mid ? 1 : 0;
        }
        const double share = static_cast<double>(highCount) / static_cast<double>(length);
        r[kDutyPlus] = static_cast<float>(share * 100.0);
        r[kDutyMinus] = static_cast<float>((1.0 - share) * 100.0);
        r[kPulsePlus] = static_cast<float>(static_cast<double>(highCount) * dt);
        r[kPulseMinus] = static_cast<float>(static_cast<double>(length - highCount) * dt);
        break;
    }
    return r;
}

// --- Controller hook -------------------------------------------------------------------------

void PulseMeasurement::storeInModel(SpectrumSettings& model, const float* values, size_t count,
                                    float sampleInterval) {
    if (std::optional<Results> results = measure(values, count, sampleInterval)) {
        model.live.pulseMeasurements = *results;
        model.pulseStatistics.add(*results);
    }
}
