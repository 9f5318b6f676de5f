#pragma once

#include <vector>

// Seconds per division of the power view, by time-base index, for the accessories with a power
// meter. Indices below the roll limit run the view in rolling mode.
inline const std::vector<float>& powerTimeBaseTable() {
    static const std::vector<float> table = {
        1.0f,   0.4f,    0.2f,    0.1f,    0.04f,    0.02f,    0.01f,    0.004f,    0.002f,
        0.001f, 0.0004f, 0.0002f, 0.0001f, 0.00004f, 0.00002f, 0.00001f, 0.000004f, 0.000002f};
    return table;
}

constexpr int kPowerRollLimitIndex = 4;
