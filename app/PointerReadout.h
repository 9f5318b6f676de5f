#pragma once

#include <string>

#include "engine/base/Types.h"

class SpectrumSettings;

// What lies under the pointer in the plot: frequency and level in spectrum mode, time from the
// trigger point and level in power mode. Pure arithmetic on the model, so it is checked without
// a window. `plot` is the plotting rectangle; `traceOffset` the power view's vertical offset of
// the live trace (its ground handle), 0 in spectrum mode.
struct PointerReadout {
    bool inside = false;
    bool spectrum = true;
    float x = 0;      // MHz in spectrum mode, seconds from the trigger in power mode
    float level = 0;  // dBm, attenuation included

    static PointerReadout at(const SpectrumSettings& model, const engine::Rect& plot,
                             const engine::Vec2& point, float traceOffset = 0);
    // "2437.50 MHz  -72.30 dBm", "t: 1.20 ms  -12.00 dBm"; empty outside the plot.
    std::string text() const;
};
