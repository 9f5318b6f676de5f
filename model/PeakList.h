#pragma once

#include <array>
#include <cstdint>
#include <limits>

// One marked peak: the point index in the trace and its level. An empty entry is (-1, NaN).
struct PeakEntry {
    int32_t index = -1;
    float value = std::numeric_limits<float>::quiet_NaN();
};

// Five peaks, highest first.
using PeakList = std::array<PeakEntry, 5>;

inline void resetPeakList(PeakList& list) {
    list.fill(PeakEntry{});
}
