#pragma once

#include <cstdint>

#include "sim/GenerationProfile.h"

// What a settings command told the firmware, in the firmware's own terms.
struct FirmwareSettings {
    enum class SweepMode : uint8_t { Normal = 0, Auto = 1, Rolling = 2 };

    uint8_t sequence = 0;
    int timeBaseIndex = 9;  // index into kSimTimeBases of the capture's time base
    uint16_t triggerRaw = 128;
    bool risingEdge = true;
    bool digitalTrigger = false;
    SweepMode sweepMode = SweepMode::Auto;
    uint32_t captureLength = 1;
    uint32_t preTrigger = 0;
    int attenuatorIndex = 0;
    SimBand band = SimBand::Band24;
};
