#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/StoredSettings.h"

// Spectrum view settings stored by the two earlier store versions, converted field by field into
// the current record.
//
// Version 1 (88 bytes) lacked the reserved byte after the scan switch, so everything after it
// sits one byte earlier up to the colours, and its hold, decay and average values and third trace
// mode meant something else then: those are not taken, and neither is the reserved byte. Version 0
// (84 bytes) had a single channel guide, the 2.4 GHz one; it is read as a version 1 record built on
// the defaults, so the 5 GHz guide becomes "NONE".
//
// Both answer false and leave the record alone when the image is shorter than its version's size.

inline constexpr size_t kSpectrumImageSizeV1 = 88;
inline constexpr size_t kSpectrumImageSizeV0 = 84;

bool convertSpectrumSettingsV1(std::span<const uint8_t> image, SpectrumViewSettings& record);
bool convertSpectrumSettingsV0(std::span<const uint8_t> image, SpectrumViewSettings& record);
