#pragma once

#include <cstdint>
#include <vector>

// Amplitude conversion of one frequency band: value = raw * scale + offset, never below floor.
struct BandCalibration {
    float scale = 1.0f;     // dB per raw count
    float offset = 1.0f;    // dBm at raw 0
    float floor = -100.0f;  // lowest dBm a spectrum point may take
};

// What a protocol object learns from the discovery reply and keeps for decoding and encoding.
// Each generation sets its own starting values; a discovery reply overwrites them.
struct CalibrationRecord {
    uint8_t ssidFlag = 0;      // accessory can scan access points
    uint8_t spectrumFlag = 0;  // accessory has a spectrum receiver
    uint8_t powerFlag = 0;     // accessory has a power meter
    uint8_t hardware24 = 0;  // 2.4 GHz receiver present (single-band generations: copy of spectrum)
    uint8_t hardware5 = 0;   // 5 GHz receiver present
    BandCalibration bands[2];  // 0: 2.4 GHz, 1: 5 GHz
    float powerScale = 1.0f;
    float powerOffset = 0.0f;
    uint8_t sequence = 0;  // incremented before each settings command, wraps at 256
    std::vector<float>
        timeBases;            // seconds per division by index; empty when no power meter exists
    float extraValue = 1.0f;  // the one power amplitude step
};
