#pragma once

#include <cstdint>

#include "protocol/CalibrationRecord.h"

struct LinkSettings;

// The power-mode trigger and capture fields that the first and second generations both send, in
// their own byte positions: computed once here from the settings and the calibration.
struct PowerTriggerFields {
    uint16_t levelRaw = 0;    // trigger level as raw count (POWER trigger)
    uint8_t optionCode = 0;   // 1 power edge chosen, 3 digital edge B chosen, else 0
    uint8_t modeCode = 0;     // 1 auto, 0 normal
    uint8_t combination = 0;  // digital combination 1-4, 0 for a power trigger
    uint8_t channels = 0;     // digital channel nibbles: A low, B high
    uint32_t captureLength = 1;
    uint32_t preTrigger = 0;

    // Fields of a triggered (not rolling) capture. `timeBaseIndex` is the clamped index whose
    // table entry sets the screen time; `rollPoints` the samples across one screen.
    static PowerTriggerFields compute(const LinkSettings& settings,
                                      const CalibrationRecord& calibration, int timeBaseIndex,
                                      int rollPoints);

    // A sample count from seconds, clamped to what 32 bits hold (NaN counts as 0).
    static uint32_t sampleCount(double samples);
};
