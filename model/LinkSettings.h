#pragma once

#include <cstdint>

#include "model/AccessoryDescription.h"
#include "model/StoredSettings.h"

class SpectrumSettings;

// The settings the link and the protocols' command builders read, as one immutable value. The
// model's owner copies them out after every change and publishes the copy; the link never reads
// the model itself, so no setting is ever shared between threads.
struct LinkSettings {
    AccessoryDescription accessory;
    CommonSettings common;
    SpectrumViewSettings view;
    PowerSettings power;
    DemoSelection demo;
    bool deviceConnected = false;  // a USB accessory is attached: its attenuations count

    static LinkSettings of(const SpectrumSettings& model);

    // Whether a run state (SpectrumSettings::RunState) wants measurements: running, or a single
    // shot armed.
    static bool measuring(int32_t runState);

    // The same readings as the model's, from the copy.
    float amplitudeOffset() const;
    int clampedTimeBaseIndex() const;
    float timeBaseNow() const;
    bool isRolling() const;
    bool spectrumMode() const { return common.spectrumMode != CommonSettings::kPowerMode; }

    // What a newly arrived description corrects in the settings: a valid time-base and amplitude
    // step for negative indices, and a mode the accessory can do. True when the mode was switched.
    static bool correctForDescription(const AccessoryDescription& accessory, PowerSettings& power,
                                      CommonSettings& common);

    bool operator==(const LinkSettings& other) const;
};
