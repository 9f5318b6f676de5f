#pragma once

#include <cstdint>

class SpectrumSettings;

// Grades how well each 2.4 GHz access point is served by its channel, from the access-point list
// and the newest sweeps of the 2.4 GHz spectrum, recommends channels for the selected access
// points and computes the per-channel figures in scanStatistics.
//
// Every quotient is guarded: a level at or below the floor counts as 1 dB above it, a range of
// no bins gives 0, and every grade is finite and within 0..100 whatever the list holds.
class UtilizationGrading {
  public:
    static constexpr int kSweepsGraded = 100;
    static constexpr uint8_t kCounterLimit = 100;      // unforced calls between gradings
    static constexpr float kMinimumLevelSpan = 1.0f;   // dB
    static constexpr float kOffChannelWeight = 0.75f;  // candidates other than 1, 6 and 11
    static constexpr float kNoChannel = -10000.0f;

    // One call of the grading. Grades when the history holds kSweepsGraded sweeps, the floor
    // (2.4 GHz level range bottom) is finite and the call is forced or the counter has reached
    // kCounterLimit; otherwise only advances the counter. Either way sets statisticsUpdated.
    // True when it graded.
    static bool run(SpectrumSettings& model, bool force);

    // Grade from the received level, utilization % and the interference sums, clamped 0..100.
    static float gradeOf(float rssi, float utilization, float adjacentSum, float coChannelSum);

    // 0.75 for channels other than 1, 6 and 11, whose 20 MHz do not overlap each other.
    static float channelWeight(int channel);
};
