#pragma once

#include <cstdint>
#include <string>

// Wire-level view of one access point as the scanning firmware reports it.
struct SimAccessPoint {
    std::string name;  // up to 31 characters
    uint8_t bssid[6] = {};
    uint8_t channel = 0;
    int16_t rssi = -100;  // dBm
    bool is5GHz = false;
    uint8_t bandwidthMHz = 20;  // 10, 20 or 40 on the wire; 80 is sent as 40 plus alt1
    uint8_t secondary = 0;      // 0 none, 1 above, 2 below
    uint8_t standards = 0;      // 0x01 b, 0x02 g, 0x04 n, 0x08 a, 0x10 ac
    uint8_t securityClass = 0;  // record byte 47
    uint32_t securityWord = 0;  // record bytes 52-55
    uint8_t alt1 = 0;           // centre channel of a bonded 80 MHz channel, else 0
    uint8_t alt2 = 0;

    // Centre and width of the occupied channel in MHz, as the radio actually transmits.
    double centreMHz() const;
    double occupiedMHz() const;
};

// Security words as the firmware reports them.
namespace SimSecurity {
constexpr uint32_t kOpen = 0;
constexpr uint32_t kWep = 0x1;
constexpr uint32_t kWpaTkip = 0x200000 | 0x2;
constexpr uint32_t kWpa2Aes = 0x400000 | 0x4;
constexpr uint32_t kWpa2Mixed = 0x400000 | 0x2 | 0x4;
constexpr uint32_t kWps = 0x100000 | 0x4;
}  // namespace SimSecurity
