#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// What an accessory reports about itself on discovery. The protocols fill it from the discovery
// reply; the controller copies the whole record into the model. Defaults are the values that
// hold before any accessory has answered.
struct AccessoryDescription {
    uint8_t generation = 0;  // 2, 6 or 7
    uint8_t revision[2] = {0, 0};
    uint8_t reserved = 0;
    uint8_t version[2] = {0, 0};
    uint8_t model = 0;
    uint8_t modelCopy = 0;

    bool hasSpectrum24 = false;
    bool hasSpectrum5 = false;
    bool hasSsidScan24 = false;
    bool hasSsidScan5 = false;
    bool hasPowerMeter = false;
    bool hasInternalAttenuator = false;
    bool scanKeepsRefresh = false;

    std::string serialText;
    int textValid = 0;

    float internalAttenuations[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    int internalAttenuationCount = 0;
    uint32_t reservedWord = 0;
    uint8_t optionBytes[4] = {1, 1, 1, 0};

    int rawPoints24 = 100;
    int rawPoints5 = 1000;
    int powerRollPoints = 240;
    int shownPoints24 = 95;
    int shownPoints5 = 1000;
    int levelRows24 = 256;
    int levelRows5 = 256;

    float spectrumInterval24 = 0.1f;  // seconds per 2.4 GHz sweep
    float spectrumInterval5 = 0.1f;   // seconds per 5 GHz sweep
    float powerInterval = 0.1f;
    float scanFirstDelay = NAN;  // unset until a description arrives
    float scanRepeatInterval = NAN;

    std::vector<float> powerTimeBases;  // seconds per division, by time-base index
    int powerRollLimitIndex = -1;       // time-base indices below this roll
    int secondLimit = -1;               // time-base index the second generation sends when rolling
    std::vector<float> powerAmplitudes;
    float powerAxisMin = -40.0f;
    float powerAxisMax = 0.0f;
    float levelMin24 = -90.0f;
    float levelMax24 = -10.0f;
    float levelMin5 = -90.0f;
    float levelMax5 = -10.0f;
};
