#pragma once

#include "protocol/AccessoryProtocol.h"

// Second generation (discovery code 6): 256-point 2.4 GHz sweeps and 1000-sample power traces in
// single packets, a 20-byte settings command, halt with acknowledgement, and an access-point
// scanner whose lists arrive as 64-byte records. Sends one packet per request.
class AccessoryProtocolTarno2 : public AccessoryProtocol {
  public:
    AccessoryProtocolTarno2();
    ~AccessoryProtocolTarno2() override;

    int parseDescription(const uint8_t* bytes, size_t length,
                         AccessoryDescription* description) override;
    int buildSettingsCommand(uint8_t* buffer, size_t length, const LinkSettings* settings) override;
};
