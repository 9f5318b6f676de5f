#include "sim/GenerationProfile.h"

#include <cmath>

const float kSimTimeBases[18] = {1.0f,    0.4f,     0.2f,     0.1f,     0.04f,     0.02f,
                                 0.01f,   0.004f,   0.002f,   0.001f,   0.0004f,   0.0002f,
                                 0.0001f, 0.00004f, 0.00002f, 0.00001f, 0.000004f, 0.000002f};

// Nominal 4 dB steps as measured on the bench for this unit.
const float kSimInternalAttenuations[8] = {0.0f, 4.1f, 8.0f, 12.2f, 16.1f, 20.3f, 24.2f, 28.4f};

uint8_t LevelCalibration::rawOf(double dbm) const {
    double raw = std::floor((dbm - offset) / scale + 0.5);
    if (!(raw >= floorRaw)) {  // also catches NaN
        return floorRaw;
    }
    return raw > 255.0 ? 255 : static_cast<uint8_t>(raw);
}

namespace {

// The first generation's spectrum scale is fixed in its host software (90 dB over 248 counts);
// the reply carries the same numbers for completeness.
constexpr float kTarnoSpectrumScale = 0.36290324f;

const GenerationProfile kProfiles[3] = {
    {
        .generation = SimGeneration::Tarno,
        .generationCode = 2,
        .folder = "Tarno",
        .filePrefix = "Tarno_",
        .discoveryLength = 68,
        .settingsLength = 32,
        .powerCommand =
            {.level = 4, .option = 9, .mode = 10, .captureLength = 24, .preTrigger = 28},
        .streams = false,
        .hasPower = true,
        .hasScan = false,
        .scansWhileSweeping = false,
        .has5GHz = false,
        .spectrum24 = {52, 2, 50, 2},
        .spectrum5 = {0, 0, 0, 0},
        .power = {62, 2, 40, 6},
        .sweepPeriodMs24 = 100,
        .sweepPeriodMs5 = 0,
        .scanDurationMs = 0,
        .grid24 = {2400.0, 1.0, 100},
        .grid5 = {0.0, 0.0, 0},
        .spectrumCal24 = {kTarnoSpectrumScale, -100.0f, 8},
        .spectrumCal5 = {1.0f, 0.0f, 0},
        .powerCal = {0.2f, -50.0f, 0},
        .revision = {1, 4},
        .version = {2, 11},
        .model = 3,
        .identity = {},
    },
    {
        .generation = SimGeneration::Tarno2,
        .generationCode = 6,
        .folder = "Tarno2",
        .filePrefix = "Tarno2_",
        .discoveryLength = 60,
        .settingsLength = 20,
        .powerCommand = {.level = 6, .option = 8, .mode = 9, .captureLength = 12, .preTrigger = 16},
        .streams = true,
        .hasPower = true,
        .hasScan = true,
        .scansWhileSweeping = true,
        .has5GHz = false,
        .spectrum24 = {260, 4, 256, 1},
        .spectrum5 = {0, 0, 0, 0},
        .power = {1254, 4, 1000, 1},
        .sweepPeriodMs24 = 200,
        .sweepPeriodMs5 = 0,
        .scanDurationMs = 1800,
        .grid24 = {2400.0, 100.0 / 255.0, 256},
        .grid5 = {0.0, 0.0, 0},
        .spectrumCal24 = {0.5f, -120.0f, 30},
        .spectrumCal5 = {1.0f, 0.0f, 0},
        .powerCal = {0.2f, -50.0f, 0},
        .revision = {2, 1},
        .version = {3, 7},
        .model = 21,
        .identity = {0x54, 0x32, 0x00, 0x17, 0x4b, 0x9e, 0x02, 0xc1, 0x5d, 0x33, 0x08, 0x7a, 0x11,
                     0xe4, 0x90, 0x06, 0x2f},
    },
    {
        .generation = SimGeneration::TarnoDuo,
        .generationCode = 7,
        .folder = "TarnoDuo",
        .filePrefix = "TarnoDuo_",
        .discoveryLength = 56,
        .settingsLength = 8,
        .powerCommand = {},
        .streams = true,
        .hasPower = false,
        .hasScan = true,
        .scansWhileSweeping = false,
        .has5GHz = true,
        .spectrum24 = {260, 4, 256, 1},
        .spectrum5 = {516, 4, 512, 1},
        .power = {0, 0, 0, 0},
        .sweepPeriodMs24 = 250,
        .sweepPeriodMs5 = 1250,
        .scanDurationMs = 2600,
        .grid24 = {2400.0, 100.0 / 255.0, 256},
        .grid5 = {5145.0, 715.0 / 511.0, 512},
        .spectrumCal24 = {0.5f, -120.0f, 36},
        .spectrumCal5 = {0.5f, -120.0f, 40},
        .powerCal = {1.0f, 0.0f, 0},
        .revision = {3, 2},
        .version = {0, 0},
        .model = 0,
        .identity = {0x44, 0x55, 0x4f, 0x03, 0x19, 0x7c, 0xa0, 0x5e, 0x21, 0x08, 0xb3, 0x6d},
    },
};

}  // namespace

const GenerationProfile& generationProfile(SimGeneration generation) {
    unsigned index = static_cast<unsigned>(generation);
    return kProfiles[index < 3 ? index : 0];
}
