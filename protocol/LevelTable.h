#pragma once

#include <array>
#include <cstdint>

#include "protocol/CalibrationRecord.h"

// The 256 levels a spectrum byte decodes to under one band calibration (raw × scale + offset,
// raised to the floor), worked out once per calibration, so that decoding a point is one look-up.
// Each entry is the very float the formula gives for its byte.
class LevelTable {
  public:
    // The table for `band`; worked out again whenever any of its three values changed.
    const float* levelsFor(const BandCalibration& band);

    static float convert(uint8_t raw, const BandCalibration& band) {
        const float v = static_cast<float>(raw) * band.scale + band.offset;
        return v < band.floor ? band.floor : v;
    }

  private:
    bool valid_ = false;
    std::array<uint32_t, 3> key_{};  // the bits of scale, offset and floor
    std::array<float, 256> levels_{};
};
