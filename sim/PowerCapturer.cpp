#include "sim/PowerCapturer.h"

#include <algorithm>
#include <cmath>

#include "sim/SimRandom.h"

namespace {

// A streaming power meter sends at most ten captures a second; USB and the host's decoding
// could not keep up with more.
constexpr uint64_t kCapturePacingMs = 100;
// In AUTO the capture is taken untriggered when no edge comes within this time.
constexpr double kAutoTimeoutSeconds = 0.1;
// In NORMAL a polled capture waits this long for an edge before the request is dropped.
constexpr double kNormalTimeoutSeconds = 1.0;

uint64_t ceilMs(double seconds) {
    double ms = std::ceil(seconds * 1000.0 - 1e-6);
    return ms <= 0.0 ? 0 : static_cast<uint64_t>(ms);
}

}  // namespace

double internalAttenuationDb(const GenerationProfile& profile, const FirmwareSettings& settings) {
    if (profile.generation != SimGeneration::Tarno) {
        return 0.0;
    }
    return kSimInternalAttenuations[std::clamp(settings.attenuatorIndex, 0, 7)];
}

double PowerCapturer::sampleInterval(const FirmwareSettings& settings) const {
    int index = std::clamp(settings.timeBaseIndex, 0, 17);
    int samples = std::max(1, profile_.power.totalValues());
    return 10.0 * kSimTimeBases[index] / samples;
}

uint8_t PowerCapturer::sample(double t, uint64_t noiseSeed, double attenuation) const {
    SimRandom rng(noiseSeed);
    return profile_.powerCal.rawOf(pulseTrain_.sampleDbm(t, rng) - attenuation);
}

uint64_t PowerCapturer::plan(uint64_t fromMs, const FirmwareSettings& settings) {
    double from = fromMs / 1000.0;
    double dt = sampleInterval(settings);
    int samples = profile_.power.totalValues();
    triggered_ = false;
    if (settings.sweepMode == FirmwareSettings::SweepMode::Rolling) {
        // The detector is sampled continuously; a block goes out once all its samples exist.
        // What the host does not fetch in time is overwritten in the capture memory.
        rolling_ = true;
        int block = profile_.streams ? samples : profile_.power.values;
        if (rollCursor_ < 0.0) {
            rollCursor_ = from;
        } else if (from - rollCursor_ > samples * dt) {
            rollCursor_ = from - samples * dt;
        }
        start_ = rollCursor_;
        return std::max(fromMs, ceilMs(start_ + block * dt));
    }
    rolling_ = false;
    uint8_t levelRaw = static_cast<uint8_t>(std::min<uint16_t>(settings.triggerRaw, 255));
    double levelDbm =
        profile_.powerCal.levelOf(levelRaw) + internalAttenuationDb(profile_, settings);
    bool rising = settings.risingEdge;
    if (settings.digitalTrigger) {
        // The digital input follows the transmitter's keying line: its rising edge is the
        // pulse's rising edge at half height.
        const PulseTrainScene::Shape& shape = pulseTrain_.shape();
        levelDbm = 0.5 * (shape.highDbm + shape.lowDbm);
        rising = true;
    }
    bool autoMode = settings.sweepMode == FirmwareSettings::SweepMode::Auto;
    double window = autoMode ? kAutoTimeoutSeconds : kNormalTimeoutSeconds;
    // The trigger arms once the previous capture has been read out, which takes a varying
    // time, so captures meet the pulse bursts at random points.
    SimRandom arming(SimRandom::mix(seed_, 0xA2, count_));
    double armed = from + arming.uniform(0.0, pulseTrain_.shape().burstPeriod);
    double crossing = 0.0;
    planned_ = true;
    if (pulseTrain_.nextCrossing(armed, window, levelDbm, rising, &crossing)) {
        triggered_ = true;
        // Early in a run the pre-trigger samples reach back before time 0.
        start_ = crossing - settings.preTrigger * dt;
    } else if (autoMode) {
        start_ = armed + window;
    } else {
        // No edge at this level: NORMAL waits. A polled request is given up; a stream looks
        // again a little later.
        planned_ = false;
        return profile_.streams ? fromMs + kCapturePacingMs : kNever;
    }
    return std::max(fromMs, ceilMs(start_ + samples * dt));
}

void PowerCapturer::finish(const FirmwareSettings& settings, std::vector<uint8_t>& out) {
    double dt = sampleInterval(settings);
    double attenuation = internalAttenuationDb(profile_, settings);
    if (rolling_) {
        int block = profile_.streams ? profile_.power.totalValues() : profile_.power.values;
        std::vector<uint8_t> raw(static_cast<size_t>(block));
        for (int k = 0; k < block; ++k) {
            double t = rollCursor_ + k * dt;
            // Noise is drawn per sample time so overlapping blocks agree.
            uint64_t tag = static_cast<uint64_t>(std::llround(t * 1e7));
            raw[static_cast<size_t>(k)] =
                sample(t, SimRandom::mix(seed_, 0x7011, tag), attenuation);
        }
        if (profile_.streams) {
            encoder_.powerCapture(raw, false, false, out);
        } else {
            int segment = static_cast<int>(count_ % profile_.power.segments);
            encoder_.powerSegment(segment, raw, false, out);
        }
        ++count_;
        rollCursor_ += block * dt;
        return;
    }
    if (!planned_) {
        return;
    }
    int samples = profile_.power.totalValues();
    std::vector<uint8_t> raw(static_cast<size_t>(samples));
    uint64_t captureSeed = SimRandom::mix(seed_, 0xCA97, count_++);
    for (int k = 0; k < samples; ++k) {
        raw[static_cast<size_t>(k)] = sample(
            start_ + k * dt, SimRandom::mix(captureSeed, static_cast<uint64_t>(k)), attenuation);
    }
    encoder_.powerCapture(raw, triggered_, true, out);
    planned_ = false;
}

uint64_t PowerCapturer::nextStart(uint64_t finishedAt, uint64_t lastStart) const {
    return rolling_ ? finishedAt : std::max(finishedAt, lastStart + kCapturePacingMs);
}
