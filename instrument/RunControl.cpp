#include "instrument/RunControl.h"

#include "model/AccessoryControl.h"
#include "model/SpectrumSettings.h"

using S = SpectrumSettings;

int32_t RunControl::state() const {
    return runtime_.runState.load();
}

void RunControl::set(int32_t state) {
    runtime_.runState = state;
    // Before any request goes: the worker streams by the state it was told.
    if (control_)
        control_->runStateChanged(state);
}

bool RunControl::identified() const {
    return control_ && control_->identified();
}

void RunControl::tap() {
    switch (state()) {
        case S::kRunning:
            set(S::kPaused);
            if (control_)
                control_->requestHalt();
            break;
        case S::kPaused:
            set(S::kRunning);
            if (identified())
                control_->resumeStreaming();
            break;
        default:
            set(S::kSingleShotArmed);
            if (identified())
                control_->requestSingleSweep();
            break;
    }
}

void RunControl::holdFired() {
    const int32_t now = state();
    set(now == S::kRunning || now == S::kPaused ? S::kSingleShotArmed : S::kRunning);
}

void RunControl::releaseAfterHold() {
    switch (state()) {
        case S::kRunning:
            if (identified())
                control_->resumeStreaming();
            break;
        case S::kPaused:
            if (control_)
                control_->requestHalt();
            break;
        default:
            if (identified())
                control_->requestSingleSweep();
            break;
    }
}

void RunControl::armSingleShot() {
    set(S::kSingleShotArmed);
    if (identified())
        control_->requestSingleSweep();
}

void RunControl::runKey() {
    const int32_t now = state();
    if (now == S::kRunning || now == S::kPaused) {
        tap();
        return;
    }
    set(S::kRunning);
    if (identified())
        control_->resumeStreaming();
}

void RunControl::toggleSingleShot() {
    const int32_t now = state();
    if (now == S::kRunning || now == S::kPaused)
        armSingleShot();
    else
        runKey();
}

void RunControl::rearmTakenShot() {
    if (state() == S::kSingleShotTaken)
        set(S::kSingleShotArmed);
}
