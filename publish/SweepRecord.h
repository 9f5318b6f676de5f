#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/PeakList.h"

// One sweep of a band as tarno-cli prints it and the publisher sends it: levels in dB with the
// attenuation offset the window adds, on points start + i × step Hz, and the processed traces
// and peaks the window would show after this sweep.
struct SweepRecord {
    // Processed traces in BandSweepBuffers::Trace order (raw, decay, maximum, minimum, average).
    static constexpr int kTraceCount = 5;

    uint64_t timeUs = 0;  // UTC, microseconds since 1970
    int band = 0;         // 0: 2.4 GHz, 1: 5 GHz
    uint64_t startHz = 0;
    uint64_t stepHz = 0;
    std::vector<float> levels;
    uint8_t traceMask = 0;  // TraceProcessing mask bits of the traces and peaks carried
    std::array<std::vector<float>, kTraceCount> traces;
    std::array<PeakList, kTraceCount> peaks;  // same order as traces
};
