#pragma once

#include <cstdint>

// How a packet of one type is framed (its length told from its first bytes).
enum class FrameKind : uint8_t {
    NotPacket,      // never sent by this generation: skip the header
    Fixed,          // `length` bytes; need more until they are all present
    Discovery,      // `length` bytes; a bare 3-byte header when the rest is missing
    ShortAck,       // `length` bytes; fewer is not a packet
    NeverComplete,  // the type is unknown to this generation but not rejected: always need more
    RecordList,     // byte 2 records of 64 bytes after a 4-byte header; more than `length`: reject
    BandSweep,  // byte 2 selects the band's spectrum packet; a lone 4-byte header is an empty sweep
};

struct FrameRule {
    FrameKind kind;
    uint16_t length;
};

// Where the 8-bit amplitudes of one measurement packet lie.
struct ValueBlock {
    uint16_t packetBytes = 0;  // 0: this generation has no such packet
    uint16_t firstByte = 0;
    uint16_t count = 0;
};

enum class RecordFormat : uint8_t {
    None,      // no access-point scanner
    Single,    // second generation: every record kept, every record logged
    DualBand,  // third generation: empty records dropped, alt channels, 5 GHz records logged
};

// Everything that differs between the generations and can be said as data.
struct GenerationLayout {
    uint8_t generationCode;
    uint16_t discoveryLength;
    FrameRule frames[8];  // by packet type (byte 1 >> 5)
    ValueBlock power;
    ValueBlock spectrum[2];        // 2.4 GHz, 5 GHz
    bool bandInHeader;             // byte 2 of a spectrum packet names its band
    bool spectrumSegmentInHeader;  // segment index of a spectrum packet from byte 1
    uint8_t powerRequest;          // request codes; 0: no such request
    uint8_t spectrumRequest;
    uint8_t ssidRequest;
    uint8_t haltRequest;
    int spectrumSegments;      // packets per sweep
    int powerSegments;         // packets per power trace
    bool streaming;            // keeps sending without a request per packet
    bool interleavedSegments;  // segments interleave point by point rather than in blocks
    uint16_t settingsLength;
    RecordFormat records;
    uint16_t maxPacketLength;  // longest packet the generation can send
};

// Packet types in byte 1 >> 5.
namespace packet_type {
constexpr int kPower = 1;
constexpr int kSettingsAck = 2;
constexpr int kDiscovery = 3;
constexpr int kSpectrum = 5;
constexpr int kHaltAck = 6;
constexpr int kAccessPoints = 7;
}  // namespace packet_type

constexpr uint8_t kSyncByte = 0xAA;
// Request code of the discovery request, the one command every generation shares.
constexpr uint8_t kDiscoveryRequestCode = 0x03;
constexpr int kRecordBytes = 64;
constexpr int kRecordListHeader = 4;
