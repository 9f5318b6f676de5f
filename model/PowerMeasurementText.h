#pragma once

#include <cstdint>
#include <string>

#include "model/PulseMeasurement.h"

// The rows of the power view's measurement panel: the name of a measurement id and the text of
// its value, with the attenuation offset applied to levels.
class PowerMeasurementText {
  public:
    static constexpr uint8_t kNone = 255;

    // True for the ids 0..22 of a panel row; anything else in a slot (255 or a damaged value)
    // is no row.
    static bool isMeasurement(int id) { return id >= 0 && id < kPulseMeasurementCount; }

    // "Period", "Freq", ... ; empty for an id that is not a measurement.
    static const char* name(int id);
    // The menu's words: "Period", "Frequency", ... and "None" for kNone; empty for any other id.
    static const char* longName(int id);

    // The value text: times, frequency and duty in the two-decimal SI-prefix format with their
    // unit ("1.23 ms"), levels + offset as "-30.00dBm" or in watts ("1.00 mW"). Undefined values
    // read "Low Freq" (cycle-based ones) or "--". Ids without a computed value give an empty
    // text. P-P carries no offset in dBm; in watts it is W(max + offset) - W(min + offset).
    static std::string value(int id, const PulseMeasurement::Results& results, float offset,
                             bool watts);

    // The same text for one figure `v` of measurement `id` (a statistic over captures); P-P in
    // watts is taken from `peakToPeakMilliwatts` (W(max) - W(min) without the offset).
    static std::string figure(int id, float v, float peakToPeakMilliwatts, float offset,
                              bool watts);
};
