#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "model/PeakList.h"

// Values at the two vertical cursors, written by the trace layers under the trace lock and read
// by the cursor and overlay layers.
struct CursorReadouts {
    // Trace kinds in the order of the readout words.
    enum ReadoutTrace { kRaw = 0, kDecay = 1, kAverage = 2, kMaximum = 3, kMinimum = 4 };

    int32_t index[2] = {-1, -1};  // point (or sample) index under cursor 0 and 1
    int32_t pointCount = 0;       // points of the measured trace
    float level[5][2] = {};       // [ReadoutTrace][cursor], dBm
    float screenY[5][2] = {};     // [ReadoutTrace][cursor], layer units
    std::array<PeakList, 4> peakLists;

    void reset() { *this = CursorReadouts{}; }
};

// The lists shared by the live and the reference power trace. Vertex lists hold interleaved
// (x, y) float pairs.
struct PowerTraceLists {
    std::vector<std::vector<float>> history;           // captures in dBm, oldest first
    std::vector<std::vector<float>> processedHistory;  // one vertex list per capture on screen
    std::vector<float> alpha;                          // brightness 0..1 per processedHistory entry
    std::vector<float> rollingHistory;                 // roll-mode values, oldest first
    std::vector<float> processedRollingHistory;        // vertex list of rollingHistory

    // Removes the `count` oldest captures from the raw captures, their vertex lists and their
    // brightness together, so that the three stay in step.
    void dropOldestCaptures(size_t count) {
        auto drop = [count](auto& list) {
            list.erase(list.begin(),
                       list.begin() + static_cast<std::ptrdiff_t>(std::min(count, list.size())));
        };
        drop(history);
        drop(processedHistory);
        drop(alpha);
    }

    void clearLists() {
        history.clear();
        processedHistory.clear();
        alpha.clear();
        rollingHistory.clear();
        processedRollingHistory.clear();
    }
};

inline constexpr int kPulseMeasurementCount = 23;

// The live power trace.
struct PowerTraceSet : PowerTraceLists {
    static constexpr size_t kMaxRollingValues = 2000;

    // Captures kept at most. Without a power view (headless logging) nothing expires them.
    static constexpr size_t kMaxCaptures = 64;

    bool powerDataChanged = false;
    std::array<float, kPulseMeasurementCount> pulseMeasurements = notMeasured();  // NaN: none

    // Stores a new capture, dropping the oldest ones (with their vertex lists and brightness)
    // beyond kMaxCaptures, and marks the power data changed.
    void appendCapture(const float* values, size_t count) {
        if (history.size() >= kMaxCaptures) {
            // The oldest capture's storage takes the newest: no allocation per capture.
            std::vector<float> recycled = std::move(history.front());
            dropOldestCaptures(history.size() - kMaxCaptures + 1);
            recycled.assign(values, values + count);
            history.push_back(std::move(recycled));
        } else {
            history.emplace_back(values, values + count);
        }
        powerDataChanged = true;
    }

    static constexpr std::array<float, kPulseMeasurementCount> notMeasured() {
        std::array<float, kPulseMeasurementCount> values{};
        values.fill(std::numeric_limits<float>::quiet_NaN());
        return values;
    }
};

// The reference trace grabbed from the live one.
struct PowerReferenceSet : PowerTraceLists {
    int32_t maxRollPointsNeeded = 0;
    int32_t timeScaleIndex = -1;
    int32_t amplitudeScaleIndex = -1;
    bool isValid = false;
};

// Access-point statistics kept for the access-point views (240 bytes).
struct ScanStatistics {
    uint8_t selection[20][6] = {};      // BSSIDs selected for optimisation; all-zero = free slot
    float channelUtilization[14] = {};  // channels 1..14
    uint16_t channelApCount[14] = {};   // channels 1..14
    uint8_t reserved[34] = {};
    uint8_t gradingCounter = 0;  // 0..100
    bool statisticsUpdated = false;

    void clear() { *this = ScanStatistics{}; }
};

static_assert(sizeof(ScanStatistics) == 240);
