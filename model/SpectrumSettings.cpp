#include "model/SpectrumSettings.h"

#include <algorithm>
#include <mutex>

#include "model/AccessPointOrder.h"
#include "model/LinkSettings.h"

SpectrumSettings* SpectrumSettings::getInstance() {
    // Deliberately never destroyed: the link and worker threads keep the address until the
    // process ends.
    static SpectrumSettings* instance = new SpectrumSettings();
    return instance;
}

SpectrumSettings::SpectrumSettings() {
    resetToDefaults();
}

void SpectrumSettings::resetToDefaults() {
    graticule = kGraticuleAll;
    alerts = kAlertsBoth;
    cursors = CursorSettings{};
    common_settings = CommonSettings{};
    spectrum_settings = SpectrumViewSettings{};
    power_setting = PowerSettings{};
    power_channel = TraceChannel::liveDefaults();
    reference_channel = TraceChannel::referenceDefaults();
    demo = DemoSelection{};
    clearReference();
}

void SpectrumSettings::clearSpectrumData() {
    band24.clear();
    band5.clear();
    clearAccessPoints();
}

void SpectrumSettings::clearPowerData() {
    live.history.clear();
    live.processedHistory.clear();
    live.alpha.clear();
    live.rollingHistory.clear();
    live.processedRollingHistory.clear();
    live.powerDataChanged = true;
    live.pulseMeasurements = PowerTraceSet::notMeasured();
    pulseStatistics.reset();
}

void SpectrumSettings::clearAfterConfigurationChange() {
    clearSpectrumData();
    clearPowerData();
    resetCursorReadouts();
}

void SpectrumSettings::resetPulseStatistics() {
    std::lock_guard<ModelLock> guard(traceLock);
    pulseStatistics.reset();
}

void SpectrumSettings::grabReference() {
    std::lock_guard<ModelLock> guard(traceLock);
    reference.history.insert(reference.history.end(), live.history.begin(), live.history.end());
    reference.processedHistory.insert(reference.processedHistory.end(),
                                      live.processedHistory.begin(), live.processedHistory.end());
    reference.alpha = live.alpha;
    reference.rollingHistory = live.rollingHistory;
    reference.processedRollingHistory = live.processedRollingHistory;
    if (reference.alpha.size() > 1) {
        // Only the newest capture on screen becomes the reference.
        reference.alpha.erase(reference.alpha.begin(), reference.alpha.end() - 1);
        size_t k = std::min(reference.history.size(), reference.processedHistory.size());
        if (k > 1) {
            auto drop = static_cast<std::ptrdiff_t>(k - 1);
            reference.history.erase(reference.history.begin(), reference.history.begin() + drop);
            reference.processedHistory.erase(reference.processedHistory.begin(),
                                             reference.processedHistory.begin() + drop);
        }
    }
    reference.timeScaleIndex = power_setting.powerTimeBaseIndex;
    reference.amplitudeScaleIndex = power_setting.powerAmplitudeIndex;
    reference.maxRollPointsNeeded = accessory.powerRollPoints;
    reference.isValid = true;
}

void SpectrumSettings::clearReference() {
    reference.clearLists();
    reference.timeScaleIndex = -1;
    reference.amplitudeScaleIndex = -1;
    reference.maxRollPointsNeeded = 0;
    reference.isValid = false;
}

void SpectrumSettings::clearAccessPoints() {
    accessPoints.clear();
    scanStatistics.clear();
    runtime.scanCount = 0;
    runtime.ssidTableChanged = true;
    runtime.utilizationChanged = true;
}

void SpectrumSettings::sortAccessPoints(int criterion, bool descending) {
    if (criterion <= kSortNone || criterion > kSortUtilizationGrade || accessPoints.empty()) {
        return;
    }
    std::sort(accessPoints.begin(), accessPoints.end(),
              [criterion, descending](const std::unique_ptr<AccessPoint>& a,
                                      const std::unique_ptr<AccessPoint>& b) {
                  return descending ? accessPointLess(*b, *a, criterion)
                                    : accessPointLess(*a, *b, criterion);
              });
}

float SpectrumSettings::amplitudeOffset() const {
    if (!runtime.deviceConnected) {
        return 0.0f;
    }
    float offset = common_settings.externalAttenuation;
    int index = common_settings.internalAttenuationIndex;
    // The count comes from the accessory; never trust it beyond the eight stored steps.
    int count = std::min(accessory.internalAttenuationCount, 8);
    if (index >= 0 && index < count) {
        offset += accessory.internalAttenuations[index];
    }
    return offset;
}

namespace {

int clampIndex(int index, size_t size) {
    if (size == 0) {
        return 0;
    }
    return std::clamp(index, 0, static_cast<int>(size) - 1);
}

bool stepUp(int32_t& index, size_t size) {
    if (static_cast<int64_t>(index) + 1 < static_cast<int64_t>(size)) {
        ++index;
        return true;
    }
    return false;
}

bool stepDown(int32_t& index, size_t size) {
    if (index > 0 && size > 0) {
        --index;
        return true;
    }
    return false;
}

}  // namespace

int SpectrumSettings::clampedTimeBaseIndex() const {
    return clampIndex(power_setting.powerTimeBaseIndex, accessory.powerTimeBases.size());
}

float SpectrumSettings::timeBaseNow() const {
    if (accessory.powerTimeBases.empty()) {
        return 0.0f;
    }
    return accessory.powerTimeBases[clampedTimeBaseIndex()];
}

bool SpectrumSettings::stepTimeBaseUp() {
    return stepUp(power_setting.powerTimeBaseIndex, accessory.powerTimeBases.size());
}

bool SpectrumSettings::stepTimeBaseDown() {
    return stepDown(power_setting.powerTimeBaseIndex, accessory.powerTimeBases.size());
}

int SpectrumSettings::clampedAmplitudeIndex() const {
    return clampIndex(power_setting.powerAmplitudeIndex, accessory.powerAmplitudes.size());
}

float SpectrumSettings::amplitudeNow() const {
    if (accessory.powerAmplitudes.empty()) {
        return 0.0f;
    }
    return accessory.powerAmplitudes[clampedAmplitudeIndex()];
}

bool SpectrumSettings::stepAmplitudeUp() {
    return stepUp(power_setting.powerAmplitudeIndex, accessory.powerAmplitudes.size());
}

bool SpectrumSettings::stepAmplitudeDown() {
    return stepDown(power_setting.powerAmplitudeIndex, accessory.powerAmplitudes.size());
}

bool SpectrumSettings::isRolling() const {
    return !accessory.powerTimeBases.empty() &&
           clampedTimeBaseIndex() < accessory.powerRollLimitIndex;
}

void SpectrumSettings::applyDescription(const AccessoryDescription& description) {
    accessory = description;
    applyDescriptionCorrections();
}

void SpectrumSettings::applyDescriptionCorrections() {
    if (LinkSettings::correctForDescription(accessory, power_setting, common_settings)) {
        runtime.modeChangedByLink = true;
    }
}
