#pragma once

#include <vector>

// One complete sweep as the link decoded it, handed to the model's owner unchanged.
struct SweepFrame {
    int band = 0;               // 1: 2.4 GHz, 2: 5 GHz, as the protocols number them
    std::vector<float> levels;  // dBm, in point order
};
