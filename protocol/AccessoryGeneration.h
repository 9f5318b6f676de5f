#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/GenerationLayout.h"

// One hardware generation as data: its wire layout, the numbers its commands and description are
// made of, and where its demonstration recordings live. The protocols, the packet path and the
// demonstration playback look a generation up here instead of switching on its code or index.
struct AccessoryGeneration {
    const char* name;  // also the folder and file prefix of its demonstration recordings
    int hardware;      // the demonstration menu's hardware choice: 0 first, 1 second, 2 third
    GenerationLayout layout;
    int powerRollPoints;   // power samples one rolling screen holds; 0 without a power meter
    int maxTimeBaseIndex;  // last power time base the settings command can name
    int identityOffset;    // serial number bytes in the discovery reply; length 0: none
    int identityLength;

    // "packets/<name>/<name>_": the start of every demonstration file name of this generation.
    std::string packetPrefix() const;
};

// Discovery codes (byte 2 of the discovery reply).
namespace generation_code {
constexpr uint8_t kTarno = 2;
constexpr uint8_t kTarno2 = 6;
constexpr uint8_t kTarnoDuo = 7;
}  // namespace generation_code

// The three generations, by hardware index.
std::span<const AccessoryGeneration> accessoryGenerations();
// Null for a code or index no generation has.
const AccessoryGeneration* generationByCode(uint8_t generationCode);
const AccessoryGeneration* generationByHardware(int hardware);
