#pragma once

#include <cstddef>
#include <cstdint>

// Which accessory the simulator plays. The values follow the demonstration menu's hardware
// choice (0 first, 1 second, 2 third generation).
enum class SimGeneration : uint8_t { Tarno = 0, Tarno2 = 1, TarnoDuo = 2 };

// The two spectrum bands. Band24 is the only band of the first two generations.
enum class SimBand : uint8_t { Band24 = 0, Band5 = 1 };

// Frequency of point i of a sweep: startMHz + i * stepMHz.
struct SweepGrid {
    double startMHz;
    double stepMHz;
    int points;

    double frequencyMHz(int i) const { return startMHz + stepMHz * i; }
};

// One measurement packet: its total length, the header bytes before the values, the values it
// carries and how many packets make up one sweep or capture.
struct PacketLayout {
    uint16_t length;
    uint8_t headerLength;
    uint16_t values;
    uint8_t segments;

    int totalValues() const { return values * segments; }
};

// Where the power trigger fields lie in a generation's settings command (all 0 without a power
// meter). Level is a big-endian 16-bit count, length and pre-trigger big-endian 32-bit counts.
struct PowerCommandFields {
    uint8_t level;
    uint8_t option;
    uint8_t mode;
    uint8_t captureLength;
    uint8_t preTrigger;
};

// dBm = raw * scale + offset; the floor is the lowest raw count the detector reports.
struct LevelCalibration {
    float scale;
    float offset;
    uint8_t floorRaw;

    float levelOf(uint8_t raw) const { return static_cast<float>(raw) * scale + offset; }
    uint8_t rawOf(double dbm) const;  // rounded to the nearest count, clamped to floor..255
};

// Everything that differs between the generations as data: packet sizes, timing, calibration and
// identity. The firmware models and the encoder look these up instead of branching on the
// generation wherever a table suffices.
struct GenerationProfile {
    SimGeneration generation;
    uint8_t generationCode;  // discovery reply byte 2
    const char* folder;      // resource folder below "packets/"
    const char* filePrefix;  // file name prefix inside that folder

    uint16_t discoveryLength;
    uint8_t settingsLength;  // also byte 1 of the settings command
    PowerCommandFields powerCommand;
    bool streams;  // streams after a request until halted (else answers each request)
    bool hasPower;
    bool hasScan;
    bool scansWhileSweeping;  // a scan runs beside the measurement stream (else replaces it)
    bool has5GHz;

    PacketLayout spectrum24;
    PacketLayout spectrum5;  // length 0 without the band
    PacketLayout power;      // length 0 without a power meter

    uint32_t sweepPeriodMs24;
    uint32_t sweepPeriodMs5;
    uint32_t scanDurationMs;  // one pass over all channels

    SweepGrid grid24;
    SweepGrid grid5;

    LevelCalibration spectrumCal24;
    LevelCalibration spectrumCal5;
    LevelCalibration powerCal;

    uint8_t revision[2];
    uint8_t version[2];
    uint8_t model;
    uint8_t identity[17];  // serial number bytes; the third generation sends the first 12
};

const GenerationProfile& generationProfile(SimGeneration generation);

// Seconds per division of the eighteen power time bases, by index.
extern const float kSimTimeBases[18];

// Attenuation of the first generation's internal attenuator steps, in dB.
extern const float kSimInternalAttenuations[8];
