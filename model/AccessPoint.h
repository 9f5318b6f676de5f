#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/AccessPointGrading.h"

// One scanned Wi-Fi access point. Created by a protocol's access-point list decoder, owned by the
// model's access-point list after merging. A fresh record has security class 3 and bandwidth,
// security and cipher -1; everything else is zero.
struct AccessPoint {
    uint64_t lastSeen = 0;  // system clock in milliseconds at the latest scan that contained it
    int32_t seenCount = 0;
    uint8_t name[32] = {};  // byte 0 is the length, bytes 1..31 the characters
    uint8_t nameSpare = 0;
    uint8_t bssid[6] = {};
    int32_t securityClass = 3;
    int32_t is5GHz = 0;
    uint8_t standards = 0;  // 0x01 b, 0x02 g, 0x04 n, 0x08 a, 0x10 ac
    uint16_t channel = 0;
    int32_t spareWord = 0;
    int32_t alt1 = 0;
    int32_t alt2 = 0;
    int32_t bandwidthMHz = -1;     // 10, 20, 40 (80, 160 on the third generation) or -1
    int32_t secondaryChannel = 0;  // 1 above, 2 below, 0 none
    int32_t security = -1;
    int32_t cipher = -1;
    float rssi = 0.0f;  // dBm
    float levelA = 0.0f;
    float levelB = 0.0f;
    float previousRssi = 0.0f;
    uint8_t color[4] = {0, 0, 0, 0};  // red, green, blue, alpha

    // Maintained by the access-point views; carried along when a scan is merged.
    float gradePercent = 0.0f;  // first utilization figure: the channel utilization %
    float grade = 0.0f;         // second utilization figure: the grade 0..100
    AccessPointGrading grading;
    uint8_t viewBytes[16] = {};
    std::vector<uint8_t> viewList;

    // Name characters as a string (length byte clamped to the 31 stored characters).
    std::string_view nameView() const {
        size_t n = name[0] > 31 ? 31 : name[0];
        return std::string_view(reinterpret_cast<const char*>(name + 1), n);
    }
};
