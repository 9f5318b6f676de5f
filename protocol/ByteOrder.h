#pragma once

#include <cstdint>
#include <cstring>

// Multi-byte fields on the accessory wire are big-endian. Fields are read byte by byte, never by
// casting a packet to a struct, so alignment and host order never matter.
namespace byte_order {

inline uint16_t readU16be(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline int16_t readS16be(const uint8_t* p) {
    return static_cast<int16_t>(readU16be(p));
}

inline uint32_t readU32be(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// IEEE-754 single precision sent big-endian.
inline float readFloatBe(const uint8_t* p) {
    uint32_t bits = readU32be(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void writeU16be(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value);
}

inline void writeU32be(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

}  // namespace byte_order
