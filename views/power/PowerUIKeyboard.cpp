// PowerUIAndTouchLayer: the handles moved by keys rather than by fingers.
#include <algorithm>
#include <cmath>

#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerUIAndTouchLayer.h"

namespace {

constexpr float kDivisions = 10.f;

}  // namespace

bool PowerUIAndTouchLayer::nudgeTriggerLevel(int steps) {
    if (!model_->runtime.deviceConnected || model_->isRolling() ||
        !model_->power_setting.triggerOnPower || !touches_.empty())
        return false;
    const AccessoryDescription& a = model_->accessory;
    const float level = model_->power_setting.triggerLevel + static_cast<float>(steps);
    // Kept on the axis shown, where the handle can still be seen.
    const float offset = model_->amplitudeOffset();
    const float low = std::min(a.powerAxisMin, a.powerAxisMax) + offset;
    const float high = std::max(a.powerAxisMin, a.powerAxisMax) + offset;
    if (!std::isfinite(level) || !(low <= high))
        return false;
    instrument_->stage(SettingChange::kTriggerLevelHandle, model_->power_setting.triggerLevel,
                       std::clamp(level, low, high));
    instrument_->runControl().rearmTakenShot();
    refreshAll();
    instrument_->commit(SettingChange::kTriggerLevelHandle);
    return true;
}

bool PowerUIAndTouchLayer::nudgeTriggerDelay(int steps) {
    if (!model_->runtime.deviceConnected || (!held() && model_->isRolling()) || !touches_.empty())
        return false;
    const float span = kDivisions * secondsPerDivision();
    float delay = model_->power_setting.triggerDelay + span / kDivisions / 10.f * steps;
    // As dragging: the trigger point stops at the right edge; to the left there is no limit.
    delay = std::max(delay, -span / 2.f);
    if (!std::isfinite(delay))
        return false;
    instrument_->stage(SettingChange::kTriggerDelayHandle, model_->power_setting.triggerDelay,
                       delay);
    refreshAll();
    instrument_->commit(SettingChange::kTriggerDelayHandle);
    return true;
}
