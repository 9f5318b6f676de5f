#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "model/ByteOrder.h"
#include "model/LinkSettings.h"
#include "protocol/ProtocolResult.h"

namespace pr = protocol_result;

// Crafted accessory packets for the protocol tests.
namespace protocol_test {

// The settings copy a command is built from, alive to the end of the calling expression.
inline const LinkSettings* copyOf(const LinkSettings& settings) {
    return &settings;
}

using Bytes = std::vector<uint8_t>;

inline void putFloat(Bytes& b, size_t at, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    byte_order::writeU32be(b.data() + at, bits);
}

// A packet of `length` bytes with sync, type and the given low bits in byte 1.
inline Bytes packet(int type, size_t length, uint8_t low = 0) {
    Bytes b(length, 0);
    if (length > 0)
        b[0] = 0xAA;
    if (length > 1)
        b[1] = static_cast<uint8_t>((type << 5) | low);
    return b;
}

// First-generation discovery reply: spectrum and power present, power scale 0.25 dB and
// offset -60 dBm, floor at raw 20, attenuator steps 0, 4, ... 28 dB.
inline Bytes discoveryTarno(uint8_t floorRaw = 20) {
    Bytes b = packet(3, 68);
    b[2] = 2;
    b[3] = 0x11;
    b[4] = 0x22;
    b[6] = 0x33;
    b[7] = 0x44;
    b[8] = 1;
    b[9] = 1;
    b[11] = 0x5A;
    for (int i = 0; i < 8; ++i)
        putFloat(b, 12 + 4 * i, 4.0f * i);
    putFloat(b, 44, 0.25f);
    putFloat(b, 48, -60.0f);
    putFloat(b, 52, 9.0f);  // ignored by this generation
    putFloat(b, 56, 9.0f);
    b[60] = 0xDE;
    b[61] = 0xAD;
    b[62] = 0xBE;
    b[63] = 0xEF;
    b[64] = floorRaw;
    return b;
}

// Second-generation discovery reply: power scale 0.2, offset -55 (-60 after correction),
// spectrum scale 0.5, offset -120, floor raw 40 (-100 dBm).
inline Bytes discoveryTarno2() {
    Bytes b = packet(3, 60);
    b[2] = 6;
    b[3] = 1;
    b[4] = 2;
    b[6] = 3;
    b[7] = 4;
    b[8] = 1;
    b[9] = 1;
    b[15] = 0x77;
    for (int i = 0; i < 17; ++i)
        b[16 + i] = static_cast<uint8_t>(i * 15);
    putFloat(b, 36, 0.2f);
    putFloat(b, 40, -55.0f);
    putFloat(b, 44, 0.5f);
    putFloat(b, 48, -120.0f);
    b[56] = 40;
    return b;
}

// Third-generation discovery reply: both bands and the scanner, 2.4 GHz scale 0.5 offset -130
// floor raw 12, 5 GHz scale 0.25 offset -110 floor raw 30.
inline Bytes discoveryTarno25() {
    Bytes b = packet(3, 56);
    b[2] = 7;
    b[3] = 9;
    b[4] = 8;
    b[8] = 1;
    b[9] = 1;
    b[10] = 1;
    const uint8_t identity[12] = {0x00, 0x01, 0x0A, 0xFF, 0x10, 0x7E,
                                  0x80, 0x9C, 0xC3, 0x05, 0x42, 0xE0};
    std::memcpy(b.data() + 12, identity, sizeof identity);
    putFloat(b, 24, 0.5f);
    putFloat(b, 28, -130.0f);
    b[36] = 12;
    putFloat(b, 40, 0.25f);
    putFloat(b, 44, -110.0f);
    b[52] = 30;
    return b;
}

// One 64-byte access-point record with its checksum byte (record byte 0) set.
struct RecordFields {
    uint8_t channel = 6;
    int16_t rssi = -48;
    uint8_t bssid[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    uint16_t widthWord = 0x0D00;  // 40 MHz, secondary above
    const char* name = "Lab-AP";
    uint8_t standards = 4;
    uint8_t band = 1;  // 0 means 5 GHz
    uint8_t securityClass = 2;
    uint8_t alt1 = 0;
    uint8_t alt2 = 0;
    uint32_t securityWord = 0x400006;  // security 4, cipher 3
};

inline Bytes record(const RecordFields& s) {
    Bytes r(64, 0);
    r[1] = s.channel;
    byte_order::writeU16be(r.data() + 2, static_cast<uint16_t>(s.rssi));
    std::memcpy(r.data() + 4, s.bssid, 6);
    byte_order::writeU16be(r.data() + 10, s.widthWord);
    size_t n = std::strlen(s.name);
    r[12] = static_cast<uint8_t>(n);
    std::memcpy(r.data() + 13, s.name, n);
    r[45] = s.standards;
    r[46] = s.band;
    r[47] = s.securityClass;
    r[50] = s.alt1;
    r[51] = s.alt2;
    byte_order::writeU32be(r.data() + 52, s.securityWord);
    uint8_t sum = 0;
    for (uint8_t v : r)
        sum = static_cast<uint8_t>(sum + v);
    r[0] = static_cast<uint8_t>(-sum);
    return r;
}

inline Bytes recordList(std::initializer_list<Bytes> records) {
    Bytes b = packet(7, 4);
    b[2] = static_cast<uint8_t>(records.size());
    for (const Bytes& r : records)
        b.insert(b.end(), r.begin(), r.end());
    return b;
}

}  // namespace protocol_test
