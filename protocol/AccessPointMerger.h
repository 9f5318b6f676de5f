#pragma once

#include <cstdint>
#include <functional>
#include <random>

#include "protocol/AccessoryProtocol.h"

class SpectrumSettings;

// Folds one decoded scan into the model's access-point list: a known bssid updates its entry and
// keeps its colour, levels and grading, a new one is appended with a fresh colour.
class AccessPointMerger {
  public:
    // Source of colour components; only the low byte of each draw is used.
    using RandomSource = std::function<uint32_t()>;

    explicit AccessPointMerger(uint32_t seed = 0x7A5E0);
    explicit AccessPointMerger(RandomSource random);

    // Takes the records of `scan` (left empty) and stamps them last seen at `now`: the caller's
    // millisecond clock, so that simulated time ages the list as real time would.
    void merge(SpectrumSettings& model, AccessPointList& scan, uint64_t now);

    // Seen counts above four digits wrap to kSeenCountWrap.
    static constexpr int32_t kSeenCountLimit = 9999;
    static constexpr int32_t kSeenCountWrap = 99;
    // A minimum brightness (red + green + blue) keeps outlines visible on the dark plot.
    static constexpr int kMinimumColourSum = 240;

  private:
    void firstSighting(SpectrumSettings& model, AccessPoint& ap, uint64_t now);
    uint8_t drawComponent();

    std::mt19937 engine_;
    RandomSource random_;
};
