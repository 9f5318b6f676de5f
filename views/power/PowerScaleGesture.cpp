#include "views/power/PowerScaleGesture.h"

#include <cmath>

#include "engine/base/Touch.h"
#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/ScalingPopoverLayer.h"

using engine::Vec2;

void PowerScaleGesture::begin() {
    horizontal_ = 0;
    vertical_ = 0;
}

void PowerScaleGesture::pinchMoved(const engine::Touch& a, const engine::Touch& b,
                                   const PopoverFinder& popover) {
    const Vec2 da = a.getLocation() - a.getPreviousLocation();
    const Vec2 db = b.getLocation() - b.getPreviousLocation();
    const Vec2 before = a.getPreviousLocation() - b.getPreviousLocation();
    const Vec2 now = a.getLocation() - b.getLocation();
    const bool spreading =
        before.x * before.x + before.y * before.y < now.x * now.x + now.y * now.y;
    horizontal_ += std::fabs(da.x) + std::fabs(db.x);
    vertical_ += std::fabs(da.y) + std::fabs(db.y);
    int time = 0, amplitude = 0;
    if (horizontal_ >= kPinchStep) {
        horizontal_ = 0;
        time = spreading ? 1 : -1;
    }
    if (vertical_ >= kPinchStep) {
        vertical_ = 0;
        amplitude = spreading ? 1 : -1;
    }
    stepBy(time, amplitude, popover);
}

void PowerScaleGesture::stepBy(int timeSteps, int amplitudeSteps, const PopoverFinder& popover) {
    SpectrumSettings& model = instrument_.model();
    const int oldTime = model.clampedTimeBaseIndex();
    const int oldAmplitude = model.clampedAmplitudeIndex();
    // Sent once the gesture (or the wheel) rests.
    const bool changed =
        instrument_.stageEdit(SettingChange::kPowerScales, [&](SpectrumSettings& m) {
            bool stepped = false;
            for (; timeSteps > 0; --timeSteps)
                stepped |= m.stepTimeBaseUp();
            for (; timeSteps < 0; ++timeSteps)
                stepped |= m.stepTimeBaseDown();
            for (; amplitudeSteps > 0; --amplitudeSteps)
                stepped |= m.stepAmplitudeUp();
            for (; amplitudeSteps < 0; ++amplitudeSteps)
                stepped |= m.stepAmplitudeDown();
            return stepped;
        });
    ScalingPopoverLayer* shown = changed && popover ? popover() : nullptr;
    if (!shown) {
        return;
    }
    const int times = static_cast<int>(model.accessory.powerTimeBases.size());
    const int amplitudes = static_cast<int>(model.accessory.powerAmplitudes.size());
    shown->horizontalSteps = times < 2 ? 0 : times;
    shown->horizontalNew = model.clampedTimeBaseIndex();
    shown->verticalSteps = amplitudes < 2 ? 0 : amplitudes;
    shown->verticalNew = model.clampedAmplitudeIndex();
    if (shown->getOpacity() == 0) {
        shown->horizontalOld = oldTime;
        shown->verticalOld = oldAmplitude;
    }
    shown->powerTimeValue = model.timeBaseNow();
    shown->needsLayout = true;
    shown->touchHeld = true;
}

void PowerScaleGesture::release() {
    instrument_.commit(SettingChange::kPowerScales);
}
