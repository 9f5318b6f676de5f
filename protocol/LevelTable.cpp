#include "protocol/LevelTable.h"

#include <cstring>

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

const float* LevelTable::levelsFor(const BandCalibration& band) {
    // By bits: a NaN calibration still matches itself, and -0 and +0 offsets stay apart.
    const std::array<uint32_t, 3> key{bitsOf(band.scale), bitsOf(band.offset), bitsOf(band.floor)};
    if (!valid_ || key != key_) {
        for (int raw = 0; raw < 256; ++raw)
            levels_[static_cast<size_t>(raw)] = convert(static_cast<uint8_t>(raw), band);
        key_ = key;
        valid_ = true;
    }
    return levels_.data();
}
