#include "model/config/LegacySpectrumImages.h"

#include "model/ByteOrder.h"

using byte_order::readFloatLe;
using byte_order::readS32le;

namespace {

// The fields of a version 1 record that survive into the current one. Defaults are those of the
// current record; the 5 GHz guide of a version 0 record stays at its default.
struct SpectrumSettingsV1 {
    uint8_t viewMode = 0;
    int32_t band = 0;
    uint8_t ssidScanOn = 1;
    uint8_t traceModes[2] = {6, 0};
    int32_t heatMapColorMapTrace = 0;
    int32_t heatMapColorMap = 0;
    int32_t waterfallTimeScaleIndex = 0;
    float waterfallLevels[2] = {-37.0f, -85.0f};
    uint8_t colorsAndPeaks[23] = {0, 0, 255, 255, 0, 0, 0, 255, 255, 0, 255, 0,
                                  0, 0, 255, 0,   5, 5, 5, 5,   5,   5, 5};
    int32_t channelGuide24 = 3;
    int32_t channelGuide5 = 0;
    uint8_t channelGuideState = 0;
    float refreshInterval = 30.0f;
    uint8_t sortBytes[4] = {3, 1, 11, 1};
};

// Bytes 0 to 67 are laid out alike in versions 0 and 1.
void readCommonPrefix(const uint8_t* at, SpectrumSettingsV1& v1) {
    v1.viewMode = at[0];
    v1.band = readS32le(at + 4);
    v1.ssidScanOn = at[8];
    v1.traceModes[0] = at[9];
    v1.traceModes[1] = at[10];
    // at[11] and the floats at 12, 16 and 20 are not carried over.
    v1.heatMapColorMapTrace = readS32le(at + 24);
    v1.heatMapColorMap = readS32le(at + 28);
    v1.waterfallTimeScaleIndex = readS32le(at + 32);
    v1.waterfallLevels[0] = readFloatLe(at + 36);
    v1.waterfallLevels[1] = readFloatLe(at + 40);
    for (int i = 0; i < 23; ++i) {
        v1.colorsAndPeaks[i] = at[44 + i];
    }
}

void applyV1(const SpectrumSettingsV1& v1, SpectrumViewSettings& record) {
    record.viewMode = v1.viewMode;
    record.band = v1.band;
    record.ssidScanOn = v1.ssidScanOn;
    record.traceModes[0] = v1.traceModes[0];
    record.traceModes[1] = v1.traceModes[1];
    record.heatMapColorMapTrace = v1.heatMapColorMapTrace;
    record.heatMapColorMap = v1.heatMapColorMap;
    record.waterfallTimeScaleIndex = v1.waterfallTimeScaleIndex;
    record.waterfallLevelHigh = v1.waterfallLevels[0];
    record.waterfallLevelLow = v1.waterfallLevels[1];
    // Colours (15), peaks on top (1), peak counts (5) and waterfall peak counts (2), in the
    // order they follow each other in both layouts.
    const uint8_t* from = v1.colorsAndPeaks;
    for (int kind = 0; kind < 5; ++kind) {
        for (int channel = 0; channel < 3; ++channel) {
            record.traceColors[kind][channel] = *from++;
        }
    }
    record.peaksOnTop = *from++;
    for (uint8_t& count : record.peakCounts) {
        count = *from++;
    }
    for (uint8_t& count : record.waterfallPeakCounts) {
        count = *from++;
    }
    record.channelGuide24 = v1.channelGuide24;
    record.channelGuide5 = v1.channelGuide5;
    record.channelGuideState = v1.channelGuideState;
    record.refreshInterval = v1.refreshInterval;
    record.ssidSortCriterion = v1.sortBytes[0];
    record.ssidSortDescending = v1.sortBytes[1];
    record.utilizationSortCriterion = v1.sortBytes[2];
    record.utilizationSortDescending = v1.sortBytes[3];
}

}  // namespace

bool convertSpectrumSettingsV1(std::span<const uint8_t> image, SpectrumViewSettings& record) {
    if (image.size() < kSpectrumImageSizeV1) {
        return false;
    }
    const uint8_t* at = image.data();
    SpectrumSettingsV1 v1;
    readCommonPrefix(at, v1);
    v1.channelGuide24 = readS32le(at + 68);
    v1.channelGuide5 = readS32le(at + 72);
    v1.channelGuideState = at[76];
    v1.refreshInterval = readFloatLe(at + 80);
    for (int i = 0; i < 4; ++i) {
        v1.sortBytes[i] = at[84 + i];
    }
    applyV1(v1, record);
    return true;
}

bool convertSpectrumSettingsV0(std::span<const uint8_t> image, SpectrumViewSettings& record) {
    if (image.size() < kSpectrumImageSizeV0) {
        return false;
    }
    const uint8_t* at = image.data();
    SpectrumSettingsV1 v1;
    readCommonPrefix(at, v1);
    v1.channelGuide24 = readS32le(at + 68);
    v1.channelGuideState = at[72];
    v1.refreshInterval = readFloatLe(at + 76);
    for (int i = 0; i < 4; ++i) {
        v1.sortBytes[i] = at[80 + i];
    }
    applyV1(v1, record);
    return true;
}
