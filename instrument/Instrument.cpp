#include "instrument/Instrument.h"

#include <cstdio>

#include "model/AccessoryControl.h"
#include "model/LinkSettings.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"

Instrument::Instrument(SpectrumSettings& model, AccessoryControl* control)
    : model_(model), control_(control), run_(model.runtime) {
    run_.setAccessoryControl(control);
}

void Instrument::setAccessoryControl(AccessoryControl* control) {
    control_ = control;
    run_.setAccessoryControl(control);
}

// --- The funnel --------------------------------------------------------------------------------

bool Instrument::inModel(const void* field, size_t size) const {
    const auto* begin = reinterpret_cast<const unsigned char*>(&model_);
    const auto* at = static_cast<const unsigned char*>(field);
    return at >= begin && at + size <= begin + sizeof(SpectrumSettings);
}

std::function<bool(SpectrumSettings&)> Instrument::rejectForeignField() {
    // A field of another model (or of no model) would change what nobody draws or sends.
    std::fprintf(stderr, "Tarno: a setting outside the instrument's model was not written\n");
    return [](SpectrumSettings&) { return false; };
}

bool Instrument::write(const std::function<bool(SpectrumSettings&)>& apply) {
    bool changedNow = false;
    {
        ScopedModelLocks lock(model_, ScopedModelLocks::kSettings);
        changedNow = apply(model_);
    }
    if (changedNow)
        changed();
    return changedNow;
}

void Instrument::changed() {
    storeDirty_ = true;
    ++changes_;
    // Before any request goes: the worker builds what it sends from the published copy.
    if (control_)
        control_->publishSettings(LinkSettings::of(model_));
}

bool Instrument::edit(SettingChange change, const std::function<bool(SpectrumSettings&)>& apply) {
    if (!write(apply))
        return false;
    commit(change);
    return true;
}

bool Instrument::stageEdit(SettingChange, const std::function<bool(SpectrumSettings&)>& apply) {
    return write(apply);
}

void Instrument::commit(SettingChange change) {
    if (!control_)
        return;
    switch (SettingRules::effectOf(change)) {
        case AccessoryEffect::kNone:
            break;
        // Without an identified accessory there are no settings to send: the discovery that
        // identifies one sends them anyway.
        case AccessoryEffect::kReconfigure:
            if (control_->identified())
                control_->requestReconfigure(false);
            break;
        case AccessoryEffect::kReconfigureClearingData:
            if (control_->identified())
                control_->requestReconfigure(true);
            break;
        case AccessoryEffect::kRestartPlayback:
            control_->restartPlayback();
            break;
    }
}

// --- Changes with more to them -----------------------------------------------------------------

bool Instrument::chooseBand(int band) {
    return edit(SettingChange::kBand, [band](SpectrumSettings& m) {
        if (m.spectrum_settings.band == band &&
            m.common_settings.spectrumMode == CommonSettings::kSpectrumMode)
            return false;
        m.common_settings.spectrumMode = CommonSettings::kSpectrumMode;
        m.spectrum_settings.band = band;
        return true;
    });
}

bool Instrument::setSpectrumMode(uint8_t mode) {
    const bool switched =
        set(SettingChange::kSpectrumMode, model_.common_settings.spectrumMode, mode);
    forgetCaptureRescale();
    return switched;
}

void Instrument::forgetCaptureRescale() {
    model_.runtime.captureRescale = false;
}

bool Instrument::setSsidScan(bool on) {
    const bool changedNow = write([on](SpectrumSettings& m) {
        SpectrumViewSettings& view = m.spectrum_settings;
        // Switching on again also ends a slow scan the controller was asked to finish.
        if ((view.ssidScanOn != 0) == on && !(on && view.ssidReserved != 0))
            return false;
        view.ssidScanOn = on ? 1 : 0;
        if (on)
            view.ssidReserved = 0;
        return true;
    });
    if (!changedNow)
        return false;
    // A frozen list (the utilization table being edited) is kept.
    if (!model_.runtime.scanPaused) {
        ScopedModelLocks locks(model_, ScopedModelLocks::kApList);
        model_.clearAccessPoints();
    }
    model_.runtime.ssidTableChanged = true;
    model_.runtime.utilizationChanged = true;
    commit(SettingChange::kSsidScan);
    return true;
}

bool Instrument::setDemoHardware(uint8_t hardware) {
    return set(SettingChange::kDemoHardware, model_.demo.hardware, hardware);
}

bool Instrument::loadConfiguration(int slot) {
    const uint8_t hardware = model_.demo.hardware;
    const int mode = model_.common_settings.spectrumMode;
    const bool loaded = model_.loadConfigurationLocked(slot);
    afterConfigurationChange(hardware, mode);
    return loaded;
}

void Instrument::resetConfiguration() {
    const uint8_t hardware = model_.demo.hardware;
    const int mode = model_.common_settings.spectrumMode;
    model_.resetConfiguration();
    afterConfigurationChange(hardware, mode);
}

void Instrument::afterConfigurationChange(uint8_t demoHardwareBefore, int modeBefore) {
    // A loaded mode or band the accessory cannot do is corrected as a new description would be.
    if (model_.accessory.generation != 0) {
        ScopedModelLocks locks(model_, ScopedModelLocks::kSettings);
        model_.applyDescriptionCorrections();
    }
    changed();
    if (model_.common_settings.spectrumMode != modeBefore)
        forgetCaptureRescale();
    if (!model_.runtime.deviceConnected && model_.demo.hardware != demoHardwareBefore)
        commit(SettingChange::kDemoHardware);
    else
        commit(SettingChange::kConfiguration);
}

bool Instrument::startDataLog() {
    const int state = model_.runtime.dataLogState.load();
    if (state == SpectrumSettings::kDataLogStartRequested || state == SpectrumSettings::kDataLogOn)
        return false;
    model_.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    return true;
}

bool Instrument::stopDataLog() {
    const int state = model_.runtime.dataLogState.load();
    if (state == SpectrumSettings::kDataLogOff || state == SpectrumSettings::kDataLogStopRequested)
        return false;
    model_.runtime.dataLogState = SpectrumSettings::kDataLogStopRequested;
    return true;
}
