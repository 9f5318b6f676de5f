#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "model/MeasurementRecords.h"

class SpectrumSettings;

// Pulse measurements of one power capture (or of the newest roll samples). Pure arithmetic on
// the samples: the link runs it on every stored capture, `tarno-cli measure` on logged rows.
// Levels are in the units of the samples (dBm) and carry no attenuation offset; times are
// seconds. NaN marks a value the samples cannot give (too few edges, a window that never closed).
class PulseMeasurement {
  public:
    // Positions in the result record; the same numbers are the measurement ids of the panel.
    // Ids without a computed value (delay, burst width, phase, overshoots, amplitude, high, low)
    // stay NaN.
    enum Id : int {
        kPeriod = 0,
        kFrequency = 1,
        kDelay = 2,
        kRiseTime = 3,
        kFallTime = 4,
        kDutyPlus = 5,
        kDutyMinus = 6,
        kPulsePlus = 7,
        kPulseMinus = 8,
        kBurstWidth = 9,
        kPhase = 10,
        kOvershootPlus = 11,
        kOvershootMinus = 12,
        kPeakToPeak = 13,
        kAmplitude = 14,
        kHigh = 15,
        kLow = 16,
        kMax = 17,
        kMin = 18,
        kMean = 19,
        kCycleMean = 20,
        kRms = 21,
        kCycleRms = 22,
    };

    using Results = std::array<float, kPulseMeasurementCount>;

    // Nothing (nullopt) for no samples or a sample interval that is not a positive finite number.
    // A capture holding a non-finite sample gives a record of NaN.
    static std::optional<Results> measure(const float* values, size_t count, float sampleInterval);

    // The controller's pulse-measurement hook: measures and, when there was something to
    // measure, stores the record in the live trace's pulseMeasurements and adds it to the
    // model's pulseStatistics.
    static void storeInModel(SpectrumSettings& model, const float* values, size_t count,
                             float sampleInterval);
};
