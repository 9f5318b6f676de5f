#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "tests/link/AccessoryEndpoints.h"

// A canned first-generation accessory: it answers the discovery request AA 03 03 with a fixed
// 68-byte reply, acknowledges a settings command (AA 20 ...) and from then on streams numbered
// sweep packets, one per IN transfer. The link only moves bytes, so the contents are just
// recognisable, not a faithful firmware.
class ScriptedAccessory : public AccessoryEndpoints {
  public:
    static constexpr size_t kDiscoveryReplyLength = 68;
    static constexpr size_t kStreamPacketLength = 40;

    static std::vector<uint8_t> discoveryRequest();
    static std::vector<uint8_t> discoveryReply();
    static std::vector<uint8_t> settingsCommand(uint8_t sequence);
    static std::vector<uint8_t> settingsAck(uint8_t sequence);
    static std::vector<uint8_t> streamPacket(uint32_t number);

    void receive(const uint8_t* data, size_t length) override;
    size_t transmit(uint8_t* buffer, size_t capacity) override;

    // Every OUT transfer's bytes, oldest first.
    std::vector<std::vector<uint8_t>> received();
    bool streaming();
    // Back to the power-on state (after a re-plug).
    void reset();

  private:
    std::mutex lock_;
    std::vector<std::vector<uint8_t>> received_;
    std::deque<std::vector<uint8_t>> outbox_;
    bool streaming_ = false;
    uint32_t nextPacket_ = 0;
};
