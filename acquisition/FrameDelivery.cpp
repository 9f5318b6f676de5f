#include "acquisition/FrameDelivery.h"

#include <algorithm>

#include "model/AccessoryControl.h"
#include "model/DemoTriggerPresets.h"
#include "model/LinkSettings.h"
#include "model/SpectrumSettings.h"

FrameDelivery::FrameDelivery(SpectrumSettings& model, DataLogFile& logFile)
    : model_(model), logger_(logFile) {}

DiagnosticSink* FrameDelivery::screenLog() const {
    return model_.runtime.screenLog.load();
}

void FrameDelivery::publish() {
    if (control_ == nullptr)
        return;
    control_->publishSettings(LinkSettings::of(model_));
    control_->runStateChanged(model_.runtime.runState);
}

size_t FrameDelivery::deliver(std::vector<LinkFrame>& frames) {
    // Settings written outside the instrument reach the link too, at the latest here.
    publish();
    size_t sweeps = 0;
    bool onlySweeps = true;
    for (LinkFrame& frame : frames) {
        if (auto* sweep = std::get_if<SweepFrame>(&frame)) {
            sweeps += apply(*sweep) ? 1 : 0;
            continue;
        }
        onlySweeps = false;
        if (auto* power = std::get_if<PowerFrame>(&frame)) {
            apply(*power);
        } else if (auto* list = std::get_if<AccessPointFrame>(&frame)) {
            apply(*list);
        } else {
            apply(std::get<LinkEvent>(frame));
        }
    }
    // Events may have corrected settings (a description, a demonstration's trigger preset).
    // Sweeps change none of what the link reads (a single shot tells its run state itself), and
    // a copy of the settings costs about as much as a sweep's heat map: not again for them.
    if (!onlySweeps)
        publish();
    return sweeps;
}

bool FrameDelivery::measuring() const {
    return LinkSettings::measuring(model_.runtime.runState);
}

void FrameDelivery::takeSingleShot() {
    if (model_.runtime.runState != SpectrumSettings::kSingleShotArmed)
        return;
    model_.runtime.runState = SpectrumSettings::kSingleShotTaken;
    if (control_ != nullptr) {
        control_->runStateChanged(SpectrumSettings::kSingleShotTaken);
        control_->requestHalt();
    }
}

bool FrameDelivery::apply(SweepFrame& frame) {
    // Frames of a pause, or after the single shot, are not shown.
    if (!measuring())
        return false;
    const int band = frame.band;
    if (band != SpectrumAcquisition::kBand24 && band != SpectrumAcquisition::kBand5)
        return false;
    const BandSweepBuffers& buffers =
        band == SpectrumAcquisition::kBand24 ? model_.band24 : model_.band5;
    const size_t n =
        std::min(frame.levels.size(), static_cast<size_t>(std::max(buffers.pointsPerSweep(), 0)));
    if (n == 0)
        return false;
    spectrum_.addSweep(model_, band, frame.levels.data(), n);
    logger_.setDemonstration(frame.demonstration);
    logger_.logSweep(
        model_,
        band == SpectrumAcquisition::kBand24 ? LogMeasurement::kSweep24 : LogMeasurement::kSweep5,
        frame.levels.data(), n);
    if (band == SpectrumAcquisition::kBand24 && model_.accessory.hasSsidScan24)
        accessPoints_.sweepArrived(model_);
    // The first generation's power mode starts with one sweep; it must not take the shot.
    if (model_.common_settings.spectrumMode != CommonSettings::kPowerMode)
        takeSingleShot();
    return true;
}

void FrameDelivery::apply(PowerFrame& frame) {
    if (!measuring() || frame.values.empty())
        return;
    logger_.setDemonstration(frame.demonstration);
    bool shot = true;
    if (frame.rolling) {
        const std::vector<float>& kept =
            power_.addRollingSamples(model_, frame.values.data(), frame.values.size());
        logger_.logRollingSamples(model_, kept.data(), kept.size());
        // A rolling single shot is taken once the display is full.
        shot = model_.live.rollingHistory.size() >= PowerTraceSet::kMaxRollingValues;
    } else {
        power_.addCapture(model_, frame.values.data(), frame.values.size());
        logger_.logPowerCapture(model_, frame.values.data(), frame.values.size());
    }
    model_.runtime.captureRescale = false;
    if (shot)
        takeSingleShot();
}

void FrameDelivery::apply(AccessPointFrame& frame) {
    // A frozen list (the utilization table being edited) takes no scans.
    if (frame.list && !model_.runtime.scanPaused)
        accessPoints_.addScan(model_, *frame.list, frame.now);
}

void FrameDelivery::apply(const LinkEvent& event) {
    RuntimeState& runtime = model_.runtime;
    switch (event.kind) {
        case LinkEvent::kIdentified:
            if (event.description)
                model_.applyDescription(*event.description);
            break;
        case LinkEvent::kSettingsAcknowledged:
            logger_.setScaleChanged();
            power_.clear();
            if (event.flag) {
                model_.clearSpectrumData();
                model_.clearPowerData();
                model_.resetCursorReadouts();
            }
            runtime.triggerStatus = RuntimeState::kNoTriggerFor2s;
            break;
        case LinkEvent::kConnected:
            power_.clear();
            runtime.deviceConnected = true;
            runtime.ssidAcquiring = false;
            break;
        case LinkEvent::kDisconnected:
            power_.clear();
            logger_.closeOnDisconnect(model_);
            runtime.deviceConnected = false;
            runtime.dataLogState = SpectrumSettings::kDataLogOff;
            runtime.ssidAcquiring = false;
            break;
        case LinkEvent::kTriggerStatus:
            runtime.triggerStatus = event.value;
            break;
        case LinkEvent::kSsidAcquiring:
            runtime.ssidAcquiring = event.flag;
            break;
        case LinkEvent::kDemoTriggerPreset:
            // The user's own trigger outlives every demonstration start.
            if (DemoTriggerPresets::unchosen(model_.power_setting))
                DemoTriggerPresets::apply(model_.power_setting, event.value);
            break;
    }
}
