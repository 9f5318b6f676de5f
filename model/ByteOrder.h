#pragma once

#include <bit>
#include <cstdint>

// Multi-byte fields read and written byte by byte, never by casting bytes to a struct, so
// alignment and host order never matter. The accessory's wire formats are big-endian; the stored
// configuration record images are little-endian. Lives in model/ so that protocol/, sim/ and the
// configuration store all share it.
namespace byte_order {

// --- Big-endian (accessory wire) ---

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
    return std::bit_cast<float>(readU32be(p));
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

inline void writeFloatBe(uint8_t* p, float value) {
    writeU32be(p, std::bit_cast<uint32_t>(value));
}

// --- Little-endian (stored record images) ---

inline uint32_t readU32le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline int32_t readS32le(const uint8_t* p) {
    return static_cast<int32_t>(readU32le(p));
}

inline float readFloatLe(const uint8_t* p) {
    return std::bit_cast<float>(readU32le(p));
}

inline void writeU32le(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

inline void writeS32le(uint8_t* p, int32_t value) {
    writeU32le(p, static_cast<uint32_t>(value));
}

inline void writeFloatLe(uint8_t* p, float value) {
    writeU32le(p, std::bit_cast<uint32_t>(value));
}

}  // namespace byte_order
