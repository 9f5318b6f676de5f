#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "protocol/AccessoryProtocol.h"

// Decodes an access-point list packet: a 4-byte header whose byte 2 counts the 64-byte records
// that follow. Each record carries its own checksum (all 64 bytes add up to 0 modulo 256); a bad
// record is dropped on its own and the rest of the list still decodes.
class AccessPointRecordDecoder {
  public:
    AccessPointRecordDecoder(RecordFormat format, const ProtocolEnvironment& environment);

    int decode(const uint8_t* bytes, size_t length, std::unique_ptr<AccessPointList>* list) const;

    // One record (64 bytes, checksum already good) into a fresh access point; null when the
    // format drops it.
    std::unique_ptr<AccessPoint> decodeRecord(const uint8_t* record) const;

    // "a/b/g/n/ac/" style text of a standards bit set, in the order the logs use.
    static std::string standardsText(uint8_t standards);

  private:
    bool deviceConnected() const;
    void logRecord(int index, const AccessPoint& ap, uint16_t widthWord) const;

    RecordFormat format_;
    ProtocolEnvironment environment_;
};
