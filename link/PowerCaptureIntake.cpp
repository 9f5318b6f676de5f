#include "link/PowerCaptureIntake.h"

#include <algorithm>

#include "acquisition/FrameQueue.h"
#include "link/ControllerState.h"
#include "link/SettingsPublication.h"
#include "model/RuntimeState.h"
#include "protocol/AccessoryProtocol.h"

PowerCaptureIntake::PowerCaptureIntake(SettingsPublication& settings, ControllerState& state,
                                       FrameQueue& frames)
    : settings_(settings),
      state_(state),
      frames_(frames),
      triggerStatus_(RuntimeState::kNoTriggerFor2s) {}

void PowerCaptureIntake::settingsAcknowledged() {
    triggerStatus_ = RuntimeState::kNoTriggerFor2s;
}

void PowerCaptureIntake::handle(const AccessoryProtocol& protocol, const uint8_t* bytes,
                                size_t length, uint64_t now, bool demonstration) {
    int count = 0;
    int segment = 255;
    bool marker = false;
    if (protocol.parsePowerSamples(bytes, length, scratch_.data(), scratch_.size(), &count,
                                   &segment, &marker) != 0 ||
        count <= 0 || segment == 255) {
        return;
    }
    const size_t n = std::min(static_cast<size_t>(count), scratch_.size());
    updateTriggerStatus(marker, now);

    const SettingsPublication::Settings settings = settings_.current();
    const bool rolling = settings->isRolling();
    if (!rolling && !settings->power.triggerAuto && !marker) {
        return;
    }
    if (rolling) {
        push(true, scratch_.data(), n, demonstration);
        return;
    }
    const int segmentCount = protocol.powerSegmentCount();
    if (segmentCount < 2) {
        push(false, scratch_.data(), n, demonstration);
    } else if (segments_.add(protocol, scratch_.data(), n, segment, segmentCount) ==
               SegmentAssembler::Result::kComplete) {
        push(false, segments_.values().data(), segments_.values().size(), demonstration);
    }
}

void PowerCaptureIntake::push(bool rolling, const float* values, size_t count, bool demonstration) {
    frames_.push(PowerFrame{rolling, std::vector<float>(values, values + count), demonstration});
}

void PowerCaptureIntake::updateTriggerStatus(bool marker, uint64_t now) {
    int32_t status = triggerStatus_;
    if (marker) {
        state_.lastTriggerTime = now;
        status = RuntimeState::kTriggered;
    } else {
        const uint64_t last = state_.lastTriggerTime;
        const uint64_t seconds = (now >= last ? now - last : 0) / 1000;
        if (seconds >= 10) {
            status = RuntimeState::kNoTriggerFor10s;
        } else if (seconds >= 2) {
            status = RuntimeState::kNoTriggerFor2s;
        }
    }
    if (status != triggerStatus_) {
        triggerStatus_ = status;
        frames_.push(LinkEvent::make(LinkEvent::kTriggerStatus, false, status));
    }
}
