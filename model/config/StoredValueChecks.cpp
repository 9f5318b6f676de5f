#include "model/config/StoredValueChecks.h"

#include <cmath>
#include <cstdio>

#include "model/MeasurementRecords.h"

namespace {

// Generous bounds for values without a menu range: wide enough for anything a drag can reach,
// narrow enough that arithmetic on them stays finite.
constexpr float kMaxViewCoordinate = 100000.0f;  // layer units (cursor and trace positions)
constexpr float kMaxLevelMagnitude = 1000.0f;    // dBm
constexpr float kMaxTriggerSeconds = 3600.0f;

constexpr int kLastTraceKind = 6;
constexpr int kLastColorMap = 3;
constexpr int kLastWaterfallTimeScale = 2;
constexpr int kMaxPeakCount = 5;
constexpr int kLastChannelGuide = 11;
constexpr int kLastSortCriterion = 11;
constexpr uint8_t kNoMeasurement = 255;

std::string floatText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

void StoredValueChecks::report(const char* field, const std::string& value,
                               const std::string& fallback) {
    notices_.push_back(record_ + ": " + field + " " + value + " is out of range; using " +
                       fallback);
}

void StoredValueChecks::checkByte(const char* field, uint8_t& value, int high, uint8_t fallback) {
    if (value > high) {
        report(field, std::to_string(value), std::to_string(fallback));
        value = fallback;
    }
}

void StoredValueChecks::checkInteger(const char* field, int& value, int low, int high,
                                     int fallback) {
    if (value < low || value > high) {
        report(field, std::to_string(value), std::to_string(fallback));
        value = fallback;
    }
}

void StoredValueChecks::checkInteger(const char* field, uint32_t& value, uint32_t high,
                                     uint32_t fallback) {
    if (value > high) {
        report(field, std::to_string(value), std::to_string(fallback));
        value = fallback;
    }
}

void StoredValueChecks::checkFloat(const char* field, float& value, float low, float high,
                                   float fallback) {
    // Written so that NaN fails too.
    if (!(value >= low && value <= high)) {
        report(field, floatText(value), floatText(fallback));
        value = fallback;
    }
}

void StoredValueChecks::check(CursorSettings& c) {
    const CursorSettings d;
    checkByte("positionUnit", c.positionUnit, 2, d.positionUnit);
    checkByte("positionReference", c.positionReference, 1, d.positionReference);
    checkByte("levelReference", c.levelReference, 1, d.levelReference);
    checkByte("selectedCursor", c.selectedCursor, 1, d.selectedCursor);
    for (int i = 0; i < 2; ++i) {
        const float m = kMaxViewCoordinate;
        checkFloat("verticalX", c.verticalX[i], -m, m, d.verticalX[i]);
        checkFloat("horizontalY", c.horizontalY[i], -m, m, d.horizontalY[i]);
        checkFloat("levelReferencePair", c.levelReferencePair[i], -m, m, d.levelReferencePair[i]);
        checkFloat("positionReferencePair", c.positionReferencePair[i], -m, m,
                   d.positionReferencePair[i]);
    }
}

void StoredValueChecks::check(CommonSettings& c) {
    const CommonSettings d;
    checkFloat("externalAttenuation", c.externalAttenuation, 0.0f, 60.0f, d.externalAttenuation);
    checkInteger("internalAttenuationIndex", c.internalAttenuationIndex, 0, 7,
                 d.internalAttenuationIndex);
    checkInteger("powerUnitsWatts", c.powerUnitsWatts, 0, 1, d.powerUnitsWatts);
}

void StoredValueChecks::check(SpectrumViewSettings& v) {
    const SpectrumViewSettings d;
    checkByte("viewMode", v.viewMode, 1, d.viewMode);
    checkInteger("band", v.band, 0, 1, d.band);
    for (int i = 0; i < 3; ++i) {
        checkByte("traceModes", v.traceModes[i], kLastTraceKind, d.traceModes[i]);
    }
    checkFloat("holdTime", v.holdTime, 0.0f, 3.0f, d.holdTime);
    checkFloat("decayStep", v.decayStep, 0.0f, 10.0f, d.decayStep);
    checkFloat("averageTime", v.averageTime, 0.0f, 4.0f, d.averageTime);
    checkInteger("heatMapColorMapTrace", v.heatMapColorMapTrace, 0, kLastColorMap,
                 d.heatMapColorMapTrace);
    checkInteger("heatMapColorMap", v.heatMapColorMap, 0, kLastColorMap, d.heatMapColorMap);
    checkInteger("waterfallTimeScaleIndex", v.waterfallTimeScaleIndex, 0, kLastWaterfallTimeScale,
                 d.waterfallTimeScaleIndex);
    const float m = kMaxLevelMagnitude;
    checkFloat("waterfallLevelHigh", v.waterfallLevelHigh, -m, m, d.waterfallLevelHigh);
    checkFloat("waterfallLevelLow", v.waterfallLevelLow, -m, m, d.waterfallLevelLow);
    checkByte("peaksOnTop", v.peaksOnTop, 5, d.peaksOnTop);
    for (int i = 0; i < 5; ++i) {
        checkByte("peakCounts", v.peakCounts[i], kMaxPeakCount, d.peakCounts[i]);
    }
    for (int i = 0; i < 2; ++i) {
        checkByte("waterfallPeakCounts", v.waterfallPeakCounts[i], kMaxPeakCount,
                  d.waterfallPeakCounts[i]);
    }
    checkInteger("channelGuide24", v.channelGuide24, 0, kLastChannelGuide, d.channelGuide24);
    checkInteger("channelGuide5", v.channelGuide5, 0, kLastChannelGuide, d.channelGuide5);
    checkFloat("refreshInterval", v.refreshInterval, 0.0f, 120.0f, d.refreshInterval);
    checkByte("ssidSortCriterion", v.ssidSortCriterion, kLastSortCriterion, d.ssidSortCriterion);
    checkByte("utilizationSortCriterion", v.utilizationSortCriterion, kLastSortCriterion,
              d.utilizationSortCriterion);
}

void StoredValueChecks::check(PowerSettings& p) {
    const PowerSettings d;
    checkInteger("selectedTrace", p.selectedTrace, 0, 1, d.selectedTrace);
    checkFloat("persistTime", p.persistTime, 0.1f, 20.0f, d.persistTime);
    checkInteger("powerTimeBaseIndex", p.powerTimeBaseIndex, -1, StoredValueChecks::kMaxListIndex,
                 d.powerTimeBaseIndex);
    checkInteger("powerAmplitudeIndex", p.powerAmplitudeIndex, -1, StoredValueChecks::kMaxListIndex,
                 d.powerAmplitudeIndex);
    const float s = kMaxTriggerSeconds;
    checkFloat("triggerDelay", p.triggerDelay, -s, s, d.triggerDelay);
    checkFloat("triggerHoldoff", p.triggerHoldoff, 0.0f, s, d.triggerHoldoff);
    checkFloat("triggerLevel", p.triggerLevel, -kMaxLevelMagnitude, kMaxLevelMagnitude,
               d.triggerLevel);
    checkByte("digitalCombination", p.digitalCombination, 3, d.digitalCombination);
    checkByte("digitalChannelA", p.digitalChannelA, 3, d.digitalChannelA);
    checkByte("digitalChannelB", p.digitalChannelB, 3, d.digitalChannelB);
    for (int i = 0; i < 6; ++i) {
        if (p.measureSlots[i] != kNoMeasurement) {
            checkByte("measureSlots", p.measureSlots[i], kPulseMeasurementCount - 1,
                      d.measureSlots[i]);
        }
    }
}

void StoredValueChecks::check(TraceChannel& channel, const TraceChannel& defaults) {
    checkFloat("offset", channel.offset, -kMaxViewCoordinate, kMaxViewCoordinate, defaults.offset);
}

void StoredValueChecks::check(DemoSelection& demo) {
    const DemoSelection d;
    checkByte("hardware", demo.hardware, 2, d.hardware);
    checkByte("signalType", demo.signalType, 3, d.signalType);
}
