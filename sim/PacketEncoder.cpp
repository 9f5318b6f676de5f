#include "sim/PacketEncoder.h"

#include <algorithm>
#include <cstring>

#include "model/ByteOrder.h"

using byte_order::writeFloatBe;
using byte_order::writeU16be;
using byte_order::writeU32be;

namespace {

// Packet types in the top three bits of byte 1.
constexpr uint8_t kTypePower = 1 << 5;
constexpr uint8_t kTypeSettingsAck = 2 << 5;
constexpr uint8_t kTypeDiscovery = 3 << 5;
constexpr uint8_t kTypeSpectrum = 5 << 5;
constexpr uint8_t kTypeHaltAck = 6 << 5;
constexpr uint8_t kTypeAccessPoints = 7 << 5;
constexpr uint8_t kMarkerBit = 0x10;

// Bandwidth and secondary-channel bits of record bytes 10-11.
uint16_t channelWord(const SimAccessPoint& ap) {
    uint16_t w = 0;
    switch (ap.bandwidthMHz) {
        case 10:
            w = 0x0400;
            break;
        case 20:
            w = 0x0800;
            break;
        case 40:
        case 80:
            w = 0x0C00;
            break;
        default:
            break;
    }
    if (ap.secondary == 1) {
        w |= 0x0100;
    } else if (ap.secondary == 2) {
        w |= 0x0200;
    }
    return w;
}

// The second generation reports one standard per network, the newest it speaks at 2.4 GHz.
uint8_t singleStandard(uint8_t standards) {
    if (standards & 0x04) {
        return 0x04;
    }
    if (standards & 0x02) {
        return 0x02;
    }
    return standards & 0x01;
}

}  // namespace

void PacketEncoder::discoveryReply(std::vector<uint8_t>& out) const {
    size_t at = out.size();
    out.resize(at + profile_.discoveryLength, 0);
    uint8_t* reply = out.data() + at;
    reply[0] = kSync;
    reply[1] = kTypeDiscovery;
    reply[2] = profile_.generationCode;
    reply[3] = profile_.revision[0];
    reply[4] = profile_.revision[1];
    switch (profile_.generation) {
        case SimGeneration::Tarno:
            discoveryTarno(reply);
            break;
        case SimGeneration::Tarno2:
            discoveryTarno2(reply);
            break;
        case SimGeneration::TarnoDuo:
            discoveryTarnoDuo(reply);
            break;
    }
}

void PacketEncoder::discoveryTarno(uint8_t* reply) const {
    reply[6] = profile_.version[0];
    reply[7] = profile_.version[1];
    reply[8] = 1;  // spectrum hardware
    reply[9] = 1;  // power meter
    reply[11] = profile_.model;
    for (int i = 0; i < 8; ++i) {
        writeFloatBe(reply + 12 + 4 * i, kSimInternalAttenuations[i]);
    }
    writeFloatBe(reply + 44, profile_.powerCal.scale);
    writeFloatBe(reply + 48, profile_.powerCal.offset);
    writeFloatBe(reply + 52, profile_.spectrumCal24.scale);
    writeFloatBe(reply + 56, profile_.spectrumCal24.offset);
    writeU32be(reply + 60, 0x00010000);  // board options word
    reply[64] = profile_.spectrumCal24.floorRaw;
}

void PacketEncoder::discoveryTarno2(uint8_t* reply) const {
    reply[6] = profile_.version[0];
    reply[7] = profile_.version[1];
    reply[8] = 1;  // spectrum and scanning radio
    reply[9] = 1;  // power meter
    reply[15] = profile_.model;
    std::memcpy(reply + 16, profile_.identity, 17);
    writeFloatBe(reply + 36, profile_.powerCal.scale);
    // The host subtracts 5 dB from the power offset it receives (detector coupling loss).
    writeFloatBe(reply + 40, profile_.powerCal.offset + 5.0f);
    writeFloatBe(reply + 44, profile_.spectrumCal24.scale);
    writeFloatBe(reply + 48, profile_.spectrumCal24.offset);
    reply[56] = profile_.spectrumCal24.floorRaw;
}

void PacketEncoder::discoveryTarnoDuo(uint8_t* reply) const {
    reply[8] = 1;   // scanning radio
    reply[9] = 1;   // 2.4 GHz spectrum
    reply[10] = 1;  // 5 GHz spectrum
    std::memcpy(reply + 12, profile_.identity, 12);
    writeFloatBe(reply + 24, profile_.spectrumCal24.scale);
    writeFloatBe(reply + 28, profile_.spectrumCal24.offset);
    reply[36] = profile_.spectrumCal24.floorRaw;
    writeFloatBe(reply + 40, profile_.spectrumCal5.scale);
    writeFloatBe(reply + 44, profile_.spectrumCal5.offset);
    reply[52] = profile_.spectrumCal5.floorRaw;
}

void PacketEncoder::settingsAck(uint8_t sequence, std::vector<uint8_t>& out) const {
    out.insert(out.end(), {kSync, kTypeSettingsAck, sequence});
}

void PacketEncoder::haltAck(std::vector<uint8_t>& out) const {
    out.insert(out.end(), {kSync, kTypeHaltAck, 0, 0});
}

void PacketEncoder::spectrumSweep(SimBand band, std::span<const uint8_t> raw,
                                  std::vector<uint8_t>& out) const {
    const PacketLayout& layout = spectrumLayout(band);
    if (layout.length == 0) {
        return;
    }
    for (int s = 0; s < layout.segments; ++s) {
        size_t at = out.size();
        out.resize(at + layout.length, 0);
        uint8_t* p = out.data() + at;
        p[0] = kSync;
        p[1] = static_cast<uint8_t>(kTypeSpectrum | s);
        if (layout.headerLength >= 4) {
            p[2] = band == SimBand::Band5 ? 1 : 0;
        }
        for (int k = 0; k < layout.values; ++k) {
            size_t index = static_cast<size_t>(s + layout.segments * k);
            p[layout.headerLength + k] = index < raw.size() ? raw[index] : 0;
        }
    }
}

void PacketEncoder::powerCapture(std::span<const uint8_t> raw, bool marker, bool interleaved,
                                 std::vector<uint8_t>& out) const {
    const PacketLayout& layout = profile_.power;
    std::vector<uint8_t> segment(layout.values);
    for (int s = 0; s < layout.segments; ++s) {
        for (int k = 0; k < layout.values; ++k) {
            size_t index = interleaved ? static_cast<size_t>(s + layout.segments * k)
                                       : static_cast<size_t>(s * layout.values + k);
            segment[static_cast<size_t>(k)] = index < raw.size() ? raw[index] : 0;
        }
        powerSegment(s, segment, marker, out);
    }
}

void PacketEncoder::powerSegment(int segment, std::span<const uint8_t> raw, bool marker,
                                 std::vector<uint8_t>& out) const {
    const PacketLayout& layout = profile_.power;
    if (layout.length == 0) {
        return;
    }
    size_t at = out.size();
    out.resize(at + layout.length, 0);
    uint8_t* p = out.data() + at;
    p[0] = kSync;
    p[1] = static_cast<uint8_t>(kTypePower | (marker ? kMarkerBit : 0) | (segment & 0x0F));
    size_t count = std::min(raw.size(), static_cast<size_t>(layout.values));
    std::copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(count),
              p + layout.headerLength);
}

void PacketEncoder::accessPointList(std::span<const SimAccessPoint> accessPoints,
                                    std::vector<uint8_t>& out) const {
    size_t count = std::min(accessPoints.size(), kMaxRecordsPerList);
    size_t at = out.size();
    out.resize(at + 4 + count * kRecordLength, 0);
    uint8_t* p = out.data() + at;
    p[0] = kSync;
    p[1] = kTypeAccessPoints;
    p[2] = static_cast<uint8_t>(count);
    for (size_t i = 0; i < count; ++i) {
        accessPointRecord(accessPoints[i], p + 4 + i * kRecordLength);
    }
}

void PacketEncoder::accessPointRecord(const SimAccessPoint& ap,
                                      uint8_t record[kRecordLength]) const {
    std::memset(record, 0, kRecordLength);
    record[1] = ap.channel;
    writeU16be(record + 2, static_cast<uint16_t>(ap.rssi));
    std::memcpy(record + 4, ap.bssid, 6);
    writeU16be(record + 10, channelWord(ap));
    size_t nameLength = std::min<size_t>(ap.name.size(), 31);
    record[12] = static_cast<uint8_t>(nameLength);
    std::memcpy(record + 13, ap.name.data(), nameLength);
    bool duo = profile_.generation == SimGeneration::TarnoDuo;
    record[45] = duo ? ap.standards : singleStandard(ap.standards);
    record[46] = ap.is5GHz ? 0 : 1;
    record[47] = ap.securityClass;
    if (duo) {
        record[50] = ap.alt1;
        record[51] = ap.alt2;
    }
    writeU32be(record + 52, ap.securityWord);
    unsigned sum = 0;
    for (size_t i = 1; i < kRecordLength; ++i) {
        sum += record[i];
    }
    record[0] = static_cast<uint8_t>(-sum);
}
