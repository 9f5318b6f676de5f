#pragma once

#include <cstdint>
#include <vector>

#include "sim/FirmwareSettings.h"
#include "sim/GenerationProfile.h"
#include "sim/PacketEncoder.h"
#include "sim/PulseTrainScene.h"

// The power meter's capture engine: samples the pulse train at the rate of the commanded time
// base, fires the trigger on the commanded edge and level, and encodes finished captures.
// Triggered captures are placed so the crossing lands on the pre-trigger sample; rolling mode
// samples continuously and hands out blocks in time order.
class PowerCapturer {
  public:
    static constexpr uint64_t kNever = UINT64_MAX;

    PowerCapturer(const GenerationProfile& profile, uint64_t seed)
        : profile_(profile), encoder_(profile), seed_(seed), pulseTrain_(seed) {}

    const PulseTrainScene& pulseTrain() const { return pulseTrain_; }

    // New settings: the rolling stream starts afresh.
    void restart() { rollCursor_ = -1.0; }

    // Plans the capture that starts being taken at `fromMs` and returns when it is complete.
    // kNever when a polled capture will never come (NORMAL with no edge at the level).
    uint64_t plan(uint64_t fromMs, const FirmwareSettings& settings);

    // Encodes the planned capture into `out` (nothing when a streaming NORMAL capture found no
    // edge and only waited).
    void finish(const FirmwareSettings& settings, std::vector<uint8_t>& out);

    // When a stream starts its next capture: rolling blocks follow each other without a gap,
    // triggered captures are paced.
    uint64_t nextStart(uint64_t finishedAt, uint64_t lastStart) const;

  private:
    double sampleInterval(const FirmwareSettings& settings) const;
    double attenuationDb(const FirmwareSettings& settings) const;
    uint8_t sample(double t, uint64_t noiseSeed, double attenuation) const;

    const GenerationProfile& profile_;
    PacketEncoder encoder_;
    uint64_t seed_;
    PulseTrainScene pulseTrain_;

    bool rolling_ = false;
    bool triggered_ = false;
    bool planned_ = false;      // a capture is planned (NORMAL with no edge only waits)
    double start_ = 0.0;        // seconds of the planned capture's first sample; may be < 0
    double rollCursor_ = -1.0;  // seconds of the next rolling sample not yet sent
    uint64_t count_ = 0;        // captures and rolling blocks sent
};

// Attenuation the first generation's internal attenuator puts before its detectors, in dB.
double internalAttenuationDb(const GenerationProfile& profile, const FirmwareSettings& settings);
