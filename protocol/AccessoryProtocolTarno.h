#pragma once

#include "protocol/AccessoryProtocol.h"

// First generation (discovery code 2): 2.4 GHz spectrum in two interleaved 50-point segments,
// power traces in six interleaved 40-sample segments, a 32-byte settings command and an internal
// attenuator. Streams without a request per packet; no halt, no access-point scan.
class AccessoryProtocolTarno : public AccessoryProtocol {
  public:
    AccessoryProtocolTarno();
    ~AccessoryProtocolTarno() override;

    int parseDescription(const uint8_t* bytes, size_t length,
                         AccessoryDescription* description) override;
    int buildSettingsCommand(uint8_t* buffer, size_t length, const LinkSettings* settings) override;

    // The reply's own spectrum scale and offset are not trusted; this receiver's are fixed.
    static constexpr float kSpectrumScale = 0.36290324f;
    static constexpr float kSpectrumOffset = -100.0f;
};
