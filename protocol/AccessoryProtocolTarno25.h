#pragma once

#include "protocol/AccessoryProtocol.h"

// Third generation (discovery code 7): spectrum of the 2.4 GHz band (256 points) and the 5 GHz
// band (512 points), each sweep one packet naming its band, and an access-point scanner for both
// bands. No power meter; the 8-byte settings command only selects the band.
class AccessoryProtocolTarno25 : public AccessoryProtocol {
  public:
    AccessoryProtocolTarno25();
    ~AccessoryProtocolTarno25() override;

    int parseDescription(const uint8_t* bytes, size_t length,
                         AccessoryDescription* description) override;
    int buildSettingsCommand(uint8_t* buffer, size_t length, const LinkSettings* settings) override;
};
