#include "views/power/PowerCaptureRescale.h"

#include "model/SpectrumSettings.h"

void PowerCaptureRescale::record() {
    RuntimeState& run = model_.runtime;
    if (run.captureRescale) {
        return;
    }
    const PowerSettings& power = model_.power_setting;
    run.captureDelay = run.viewDelay = power.triggerDelay;
    run.captureAmplitudeIndex = run.viewAmplitudeIndex = power.powerAmplitudeIndex;
    run.captureTimeBaseIndex = run.viewTimeBaseIndex = power.powerTimeBaseIndex;
    run.captureRescale = true;
}

void PowerCaptureRescale::followDelay(float delay) {
    model_.runtime.viewDelay = delay;
}

void PowerCaptureRescale::followScales() {
    model_.runtime.viewTimeBaseIndex = model_.power_setting.powerTimeBaseIndex;
    model_.runtime.viewAmplitudeIndex = model_.power_setting.powerAmplitudeIndex;
}

void PowerCaptureRescale::forget() {
    model_.runtime.captureRescale = false;
}
