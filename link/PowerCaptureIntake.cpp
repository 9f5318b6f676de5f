#include "link/PowerCaptureIntake.h"

#include <algorithm>

#include "link/ControllerState.h"
#include "model/DataLogger.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocol.h"

PowerCaptureIntake::PowerCaptureIntake(SpectrumSettings& model, ControllerState& state,
                                       DataLogger& logger)
    : model_(model), state_(state), logger_(logger) {}

void PowerCaptureIntake::clear() {
    segments_.clear();
    acquisition_.clear();
}

bool PowerCaptureIntake::handle(const AccessoryProtocol& protocol, const uint8_t* bytes,
                                size_t length, uint64_t now) {
    int count = 0;
    int segment = 255;
    bool marker = false;
    if (protocol.parsePowerSamples(bytes, length, scratch_.data(), scratch_.size(), &count,
                                   &segment, &marker) != 0 ||
        count <= 0 || segment == 255) {
        return false;
    }
    const size_t n = std::min(static_cast<size_t>(count), scratch_.size());
    updateTriggerStatus(marker, now);

    bool completed = false;
    bool shot = false;
    {
        ScopedModelLocks locks(model_, ScopedModelLocks::kTrace | ScopedModelLocks::kSettings);
        const bool rolling = model_.isRolling();
        if (!rolling && !model_.power_setting.triggerAuto && !marker) {
            return false;
        }
        if (rolling) {
            storeRollingValues(scratch_.data(), n);
            completed = true;
        } else {
            const int segmentCount = protocol.powerSegmentCount();
            if (segmentCount >= 2) {
                if (segments_.add(protocol, scratch_.data(), n, segment, segmentCount) ==
                    SegmentAssembler::Result::kComplete) {
                    storeCapture(segments_.values().data(), segments_.values().size());
                    completed = true;
                }
            } else {
                storeCapture(scratch_.data(), n);
                completed = true;
            }
        }
        // A rolling single shot is taken once the display is full.
        shot = completed &&
               (!rolling || model_.live.rollingHistory.size() >= PowerTraceSet::kMaxRollingValues);
    }
    if (completed) {
        model_.runtime.captureRescale = false;
    }
    return shot;
}

void PowerCaptureIntake::updateTriggerStatus(bool marker, uint64_t now) {
    if (marker) {
        state_.lastTriggerTime = now;
        model_.runtime.triggerStatus = RuntimeState::kTriggered;
        return;
    }
    const uint64_t last = state_.lastTriggerTime;
    const uint64_t seconds = (now >= last ? now - last : 0) / 1000;
    if (seconds >= 10) {
        model_.runtime.triggerStatus = RuntimeState::kNoTriggerFor10s;
    } else if (seconds >= 2) {
        model_.runtime.triggerStatus = RuntimeState::kNoTriggerFor2s;
    }
}

void PowerCaptureIntake::storeRollingValues(const float* values, size_t count) {
    const std::vector<float>& kept = acquisition_.addRollingSamples(model_, values, count);
    logger_.logRollingSamples(model_, kept.data(), kept.size());
}

void PowerCaptureIntake::storeCapture(const float* values, size_t count) {
    acquisition_.addCapture(model_, values, count);
    logger_.logPowerCapture(model_, values, count);
}
