#pragma once

#include <cstdint>
#include <vector>

#include "sim/GenerationProfile.h"

// Commands as the host application sends them, for driving a simulated accessory without the
// host's settings model (the demonstration recorder, tests, a fake device's scripted host).
class HostCommands {
  public:
    static constexpr uint8_t kPower = 0x01;
    static constexpr uint8_t kDiscovery = 0x03;
    static constexpr uint8_t kSpectrum = 0x05;
    static constexpr uint8_t kHalt = 0x06;
    static constexpr uint8_t kScan = 0x07;

    // Triggered power-meter set-up; levels in dBm, times in seconds.
    struct PowerSetup {
        int timeBaseIndex = 9;
        bool rolling = false;
        bool autoTrigger = true;
        bool risingEdge = true;
        float triggerLevelDbm = -30.0f;
        float triggerDelay = 0.0f;
        float triggerHoldoff = 0.0f;
    };

    static std::vector<uint8_t> request(uint8_t code);
    static std::vector<uint8_t> spectrumSettings(const GenerationProfile& profile, uint8_t sequence,
                                                 SimBand band);
    static std::vector<uint8_t> powerSettings(const GenerationProfile& profile, uint8_t sequence,
                                              const PowerSetup& setup);
};
