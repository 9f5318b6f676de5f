#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/GenerationProfile.h"
#include "sim/SimAccessPoint.h"

// Builds the packets one generation's firmware sends, byte for byte. Every function appends to
// `out` so a caller can collect a whole burst of packets in one buffer.
class PacketEncoder {
  public:
    static constexpr uint8_t kSync = 0xAA;
    static constexpr size_t kRecordLength = 64;
    static constexpr size_t kMaxRecordsPerList = 20;

    explicit PacketEncoder(const GenerationProfile& profile) : profile_(profile) {}

    const GenerationProfile& profile() const { return profile_; }

    void discoveryReply(std::vector<uint8_t>& out) const;
    void settingsAck(uint8_t sequence, std::vector<uint8_t>& out) const;
    void haltAck(std::vector<uint8_t>& out) const;

    // One sweep of raw counts (spectrumLayout(band).totalValues() of them) as its segments,
    // segment s carrying points s, s + n, s + 2n, ... of an n-segment sweep.
    void spectrumSweep(SimBand band, std::span<const uint8_t> raw, std::vector<uint8_t>& out) const;

    // One power capture of raw counts. Triggered captures are interleaved across the segments
    // like sweeps; rolling captures go out in time order, one run of samples per segment.
    void powerCapture(std::span<const uint8_t> raw, bool marker, bool interleaved,
                      std::vector<uint8_t>& out) const;

    // One power packet carrying `raw` (power.values of them) as segment `segment`.
    void powerSegment(int segment, std::span<const uint8_t> raw, bool marker,
                      std::vector<uint8_t>& out) const;

    // One access-point list packet of at most kMaxRecordsPerList records.
    void accessPointList(std::span<const SimAccessPoint> accessPoints,
                         std::vector<uint8_t>& out) const;

    // The 64-byte record of one access point; byte 0 balances the sum of all 64 bytes to 0.
    void accessPointRecord(const SimAccessPoint& ap, uint8_t record[kRecordLength]) const;

    const PacketLayout& spectrumLayout(SimBand band) const {
        return band == SimBand::Band5 ? profile_.spectrum5 : profile_.spectrum24;
    }

  private:
    void discoveryTarno(uint8_t* reply) const;
    void discoveryTarno2(uint8_t* reply) const;
    void discoveryTarnoDuo(uint8_t* reply) const;

    const GenerationProfile& profile_;
};
