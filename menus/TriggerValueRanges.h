#pragma once

#include <memory>
#include <string>

#include "menus/NumericRangePickerSource.h"
#include "menus/ValueTablePickerSource.h"

// The rows of the trigger menu's value pickers and the texts of their values.
//   DELAY: -5 to +5 divisions of the time base in half divisions, the trigger point from the
//          left edge to the right edge; 0.1 s/div while the accessory has no time bases.
//   HOLDOFF: 0, then 1-2-5 steps from 1 µs to 10 s.
//   LEVEL: the power axis with the attenuation offset, on whole half dBs inside it; no rows
//          while either end of the axis is not a number.
class TriggerValueRanges {
  public:
    static constexpr float kFallbackSecondsPerDivision = 0.1f;
    static constexpr double kLevelStep = 0.5;

    // secondsPerDivision 0 (no time bases) or not a positive number uses the fallback.
    static std::unique_ptr<NumericRangePickerSource> delayRows(float secondsPerDivision);
    static std::unique_ptr<ValueTablePickerSource> holdoffRows();
    static std::unique_ptr<NumericRangePickerSource> levelRows(float axisMin, float axisMax,
                                                               float offset);
    static bool levelRangeKnown(float axisMin, float axisMax);

    // "16.00 µs", "0.00 s", "-1.50 ms".
    static std::string secondsText(float seconds);
    // "-30.56dBm".
    static std::string levelText(float dbm);
};
