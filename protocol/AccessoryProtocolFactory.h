#pragma once

#include <cstdint>
#include <memory>

#include "protocol/AccessoryProtocol.h"

// The protocol object for the generation code of a discovery reply (byte 2): 2 first, 6 second,
// 7 third generation, each with a fresh calibration record. Null for any other code.
std::unique_ptr<AccessoryProtocol> createAccessoryProtocol(uint8_t generationCode);
