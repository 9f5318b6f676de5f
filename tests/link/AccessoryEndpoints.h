#pragma once

#include <cstddef>
#include <cstdint>

// The accessory's side of its two bulk endpoints, as a test sees it: what the host writes to OUT
// 0x03 arrives in receive(), and every IN 0x84 transfer asks transmit() for bytes. Both the fake
// backend and the umockdev emulation drive this interface, so a scripted responder and the full
// accessory simulator are interchangeable behind it. Implementations must accept calls from any
// thread.
class AccessoryEndpoints {
  public:
    virtual ~AccessoryEndpoints() = default;

    virtual void receive(const uint8_t* data, size_t length) = 0;
    // Fills at most `capacity` bytes for one IN transfer; 0 when there is nothing to send now.
    virtual size_t transmit(uint8_t* buffer, size_t capacity) = 0;
};
