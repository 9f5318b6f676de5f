#pragma once

#include <cstdint>
#include <vector>

#include "sim/HostCommands.h"
#include "sim/SimulatedAccessory.h"

// Splits simulator output into packets using only the lengths the simulator's generation uses;
// test-side framing independent of the protocol classes.
inline std::vector<std::vector<uint8_t>> splitPackets(const GenerationProfile& profile,
                                                      const std::vector<uint8_t>& bytes) {
    std::vector<std::vector<uint8_t>> packets;
    size_t pos = 0;
    while (pos + 3 <= bytes.size() && bytes[pos] == 0xAA) {
        int type = bytes[pos + 1] >> 5;
        size_t length = 0;
        switch (type) {
            case 1:
                length = profile.power.length;
                break;
            case 2:
                length = 3;
                break;
            case 3:
                length = profile.discoveryLength;
                break;
            case 5:
                length = bytes[pos + 2] == 1 && profile.has5GHz ? profile.spectrum5.length
                                                                : profile.spectrum24.length;
                break;
            case 6:
                length = 4;
                break;
            case 7:
                length = 4 + size_t{bytes[pos + 2]} * 64;
                break;
            default:
                return packets;
        }
        if (length == 0 || pos + length > bytes.size()) {
            break;
        }
        packets.emplace_back(bytes.begin() + static_cast<long>(pos),
                             bytes.begin() + static_cast<long>(pos + length));
        pos += length;
    }
    if (pos != bytes.size()) {
        packets.push_back({});  // an empty packet marks bytes that did not frame
    }
    return packets;
}

inline void send(SimulatedAccessory& sim, const std::vector<uint8_t>& command) {
    sim.receive(command);
}
