#pragma once

#include <cstdint>

#include "model/StoredSettings.h"

struct LinkSettings;

// The settings a worker pass or a packet decision reads, taken from one published copy so that
// one decision never mixes two states of the settings.
struct SettingsSnapshot {
    bool spectrumMode = true;
    bool ssidScanOn = false;
    bool waterfall = false;
    bool ssidReserved = false;
    bool scanKeepsRefresh = false;
    float refreshInterval = 0.0f;
    int band = 0;
    DemoSelection demo;
    float powerInterval = 0.0f;
    float spectrumInterval24 = 0.0f;
    float spectrumInterval5 = 0.0f;
    float scanFirstDelay = 0.0f;
    float scanRepeatInterval = 0.0f;

    static SettingsSnapshot of(const LinkSettings& settings);

    // Seconds from the settings or a description as whole milliseconds; nothing sensible is longer
    // than a day, and NaN or negative means no wait.
    static uint64_t milliseconds(double seconds);
};
