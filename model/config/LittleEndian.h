#pragma once

#include <bit>
#include <cstdint>

// Field access in stored record images, which are little-endian whatever the host is.
namespace little_endian {

inline void putU32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

inline void putI32(uint8_t* at, int32_t value) {
    putU32(at, static_cast<uint32_t>(value));
}

inline void putF32(uint8_t* at, float value) {
    putU32(at, std::bit_cast<uint32_t>(value));
}

inline uint32_t getU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

inline int32_t getI32(const uint8_t* at) {
    return static_cast<int32_t>(getU32(at));
}

inline float getF32(const uint8_t* at) {
    return std::bit_cast<float>(getU32(at));
}

}  // namespace little_endian
