#include "link/PowerCaptureIntake.h"

#include <algorithm>

#include "link/ControllerState.h"
#include "model/DataLogger.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "protocol/AccessoryProtocol.h"

namespace {

constexpr int kFirstGenerationCode = 2;

}  // namespace

PowerCaptureIntake::PowerCaptureIntake(SpectrumSettings& model, ControllerState& state,
                                       DataLogger& logger)
    : model_(model), state_(state), logger_(logger) {}

void PowerCaptureIntake::clear() {
    segments_.clear();
    rollCountdown_ = 0;
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
        model_.runtime.triggerStatus = 0;
        return;
    }
    const uint64_t last = state_.lastTriggerTime;
    const uint64_t seconds = (now >= last ? now - last : 0) / 1000;
    if (seconds >= 10) {
        model_.runtime.triggerStatus = 1;
    } else if (seconds >= 2) {
        model_.runtime.triggerStatus = 2;
    }
}

void PowerCaptureIntake::storeRollingValues(const float* values, size_t count) {
    const AccessoryDescription& a = model_.accessory;
    const std::vector<float>& bases = a.powerTimeBases;
    // Keep every (k + 1)-th sample so that the roll moves at the speed of the chosen time base.
    int64_t k = 0;
    if (a.secondLimit >= 0) {
        const bool first = a.generation == kFirstGenerationCode;
        const int referenceIndex = first ? a.powerRollLimitIndex : a.secondLimit;
        if (referenceIndex >= 0 && static_cast<size_t>(referenceIndex) < bases.size() &&
            bases[referenceIndex] > 0.0f) {
            double ratio = model_.timeBaseNow() / bases[referenceIndex];
            if (ratio > 0.0) {
                k = static_cast<int64_t>(std::min(ratio, 1e6));
            }
            if (first && model_.power_setting.powerTimeBaseIndex == a.powerRollLimitIndex - 1) {
                k *= 2;
            }
        }
    }
    kept_.clear();
    for (size_t i = 0; i < count; ++i) {
        if (rollCountdown_ == 0) {
            kept_.push_back(values[i]);
            rollCountdown_ = static_cast<int>(k);
        } else {
            --rollCountdown_;
        }
    }
    std::vector<float>& history = model_.live.rollingHistory;
    history.insert(history.end(), kept_.begin(), kept_.end());
    if (history.size() > PowerTraceSet::kMaxRollingValues) {
        history.erase(history.begin(), history.end() - static_cast<std::ptrdiff_t>(
                                                           PowerTraceSet::kMaxRollingValues));
    }
    model_.live.powerDataChanged = true;
    const int points = a.powerRollPoints;
    if (points > 0) {
        size_t shown = std::min(history.size(), static_cast<size_t>(points));
        runPulseMeasurements(history.data() + (history.size() - shown), shown,
                             model_.timeBaseNow() * 10.0f / static_cast<float>(points));
    }
    logger_.logRollingSamples(model_, kept_.data(), kept_.size());
}

void PowerCaptureIntake::storeCapture(const float* values, size_t count) {
    auto& history = model_.live.history;
    if (history.size() >= kMaxPendingCaptures) {
        history.erase(history.begin(),
                      history.begin() +
                          static_cast<std::ptrdiff_t>(history.size() - kMaxPendingCaptures + 1));
    }
    history.emplace_back(values, values + count);
    model_.live.powerDataChanged = true;
    const int points = model_.accessory.powerRollPoints;
    if (points > 0) {
        runPulseMeasurements(values, count,
                             model_.timeBaseNow() * 10.0f / static_cast<float>(points));
    }
    logger_.logPowerCapture(model_, values, count);
}

void PowerCaptureIntake::runPulseMeasurements(const float* values, size_t count,
                                              float sampleInterval) {
    // The caller holds traceLock and settingsLock.
    if (pulseMeasurement_ && values != nullptr && count > 0) {
        pulseMeasurement_(model_, values, count, sampleInterval);
    }
}
