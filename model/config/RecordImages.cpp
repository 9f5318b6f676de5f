#include "model/config/RecordImages.h"

#include "model/ByteOrder.h"

using byte_order::readFloatLe;
using byte_order::readS32le;
using byte_order::writeFloatLe;
using byte_order::writeS32le;

namespace {

template <size_t N>
void putBytes(uint8_t* at, const uint8_t (&bytes)[N]) {
    for (size_t i = 0; i < N; ++i) {
        at[i] = bytes[i];
    }
}

template <size_t N>
void getBytes(const uint8_t* at, uint8_t (&bytes)[N]) {
    for (size_t i = 0; i < N; ++i) {
        bytes[i] = at[i];
    }
}

}  // namespace

std::array<uint8_t, kCursorImageSize> encodeCursorSettings(const CursorSettings& record) {
    std::array<uint8_t, kCursorImageSize> image{};
    uint8_t* at = image.data();
    at[0] = record.cursorsShown;
    at[1] = record.tracking;
    at[2] = record.verticalShown;
    at[3] = record.horizontalShown;
    at[4] = record.positionUnit;
    at[5] = record.positionReference;
    at[6] = record.levelUnit;
    at[7] = record.levelReference;
    putBytes(at + 8, record.color);
    at[11] = record.selectedCursor;
    for (int i = 0; i < 2; ++i) {
        writeFloatLe(at + 12 + 4 * i, record.verticalX[i]);
        writeFloatLe(at + 20 + 4 * i, record.horizontalY[i]);
        writeFloatLe(at + 28 + 4 * i, record.levelReferencePair[i]);
        writeFloatLe(at + 36 + 4 * i, record.positionReferencePair[i]);
    }
    return image;
}

bool decodeCursorSettings(std::span<const uint8_t> image, CursorSettings& record) {
    if (image.size() < kCursorImageSize) {
        return false;
    }
    const uint8_t* at = image.data();
    record.cursorsShown = at[0];
    record.tracking = at[1];
    record.verticalShown = at[2];
    record.horizontalShown = at[3];
    record.positionUnit = at[4];
    record.positionReference = at[5];
    record.levelUnit = at[6];
    record.levelReference = at[7];
    getBytes(at + 8, record.color);
    record.selectedCursor = at[11];
    for (int i = 0; i < 2; ++i) {
        record.verticalX[i] = readFloatLe(at + 12 + 4 * i);
        record.horizontalY[i] = readFloatLe(at + 20 + 4 * i);
        record.levelReferencePair[i] = readFloatLe(at + 28 + 4 * i);
        record.positionReferencePair[i] = readFloatLe(at + 36 + 4 * i);
    }
    return true;
}

std::array<uint8_t, kCommonImageSize> encodeCommonSettings(const CommonSettings& record) {
    std::array<uint8_t, kCommonImageSize> image{};
    uint8_t* at = image.data();
    writeFloatLe(at + 0, record.externalAttenuation);
    writeS32le(at + 4, record.internalAttenuationIndex);
    putBytes(at + 8, record.reserved);
    at[10] = record.traceDots;
    at[11] = record.spectrumMode;
    writeS32le(at + 12, record.powerUnitsWatts);
    return image;
}

bool decodeCommonSettings(std::span<const uint8_t> image, CommonSettings& record) {
    if (image.size() < kCommonImageSize) {
        return false;
    }
    const uint8_t* at = image.data();
    record.externalAttenuation = readFloatLe(at + 0);
    record.internalAttenuationIndex = readS32le(at + 4);
    getBytes(at + 8, record.reserved);
    record.traceDots = at[10];
    record.spectrumMode = at[11];
    record.powerUnitsWatts = readS32le(at + 12);
    return true;
}

std::array<uint8_t, kSpectrumImageSize> encodeSpectrumViewSettings(
    const SpectrumViewSettings& record) {
    std::array<uint8_t, kSpectrumImageSize> image{};
    uint8_t* at = image.data();
    at[0] = record.viewMode;
    writeS32le(at + 4, record.band);
    at[8] = record.ssidScanOn;
    at[9] = record.ssidReserved;
    putBytes(at + 10, record.traceModes);
    writeFloatLe(at + 16, record.holdTime);
    writeFloatLe(at + 20, record.decayStep);
    writeFloatLe(at + 24, record.averageTime);
    writeS32le(at + 28, record.heatMapColorMapTrace);
    writeS32le(at + 32, record.heatMapColorMap);
    writeS32le(at + 36, record.waterfallTimeScaleIndex);
    writeFloatLe(at + 40, record.waterfallLevelHigh);
    writeFloatLe(at + 44, record.waterfallLevelLow);
    for (int kind = 0; kind < 5; ++kind) {
        putBytes(at + 48 + 3 * kind, record.traceColors[kind]);
    }
    at[63] = record.peaksOnTop;
    putBytes(at + 64, record.peakCounts);
    putBytes(at + 69, record.waterfallPeakCounts);
    writeS32le(at + 72, record.channelGuide24);
    writeS32le(at + 76, record.channelGuide5);
    at[80] = record.channelGuideState;
    writeFloatLe(at + 84, record.refreshInterval);
    at[88] = record.ssidSortCriterion;
    at[89] = record.ssidSortDescending;
    at[90] = record.utilizationSortCriterion;
    at[91] = record.utilizationSortDescending;
    return image;
}

bool decodeSpectrumViewSettings(std::span<const uint8_t> image, SpectrumViewSettings& record) {
    if (image.size() < kSpectrumImageSize) {
        return false;
    }
    const uint8_t* at = image.data();
    record.viewMode = at[0];
    record.band = readS32le(at + 4);
    record.ssidScanOn = at[8];
    record.ssidReserved = at[9];
    getBytes(at + 10, record.traceModes);
    record.holdTime = readFloatLe(at + 16);
    record.decayStep = readFloatLe(at + 20);
    record.averageTime = readFloatLe(at + 24);
    record.heatMapColorMapTrace = readS32le(at + 28);
    record.heatMapColorMap = readS32le(at + 32);
    record.waterfallTimeScaleIndex = readS32le(at + 36);
    record.waterfallLevelHigh = readFloatLe(at + 40);
    record.waterfallLevelLow = readFloatLe(at + 44);
    for (int kind = 0; kind < 5; ++kind) {
        getBytes(at + 48 + 3 * kind, record.traceColors[kind]);
    }
    record.peaksOnTop = at[63];
    getBytes(at + 64, record.peakCounts);
    getBytes(at + 69, record.waterfallPeakCounts);
    record.channelGuide24 = readS32le(at + 72);
    record.channelGuide5 = readS32le(at + 76);
    record.channelGuideState = at[80];
    record.refreshInterval = readFloatLe(at + 84);
    record.ssidSortCriterion = at[88];
    record.ssidSortDescending = at[89];
    record.utilizationSortCriterion = at[90];
    record.utilizationSortDescending = at[91];
    return true;
}

std::array<uint8_t, kPowerImageSize> encodePowerSettings(const PowerSettings& record) {
    std::array<uint8_t, kPowerImageSize> image{};
    uint8_t* at = image.data();
    writeS32le(at + 0, record.selectedTrace);
    writeFloatLe(at + 4, record.persistTime);
    writeS32le(at + 8, record.powerTimeBaseIndex);
    writeS32le(at + 12, record.powerAmplitudeIndex);
    writeFloatLe(at + 16, record.triggerDelay);
    writeFloatLe(at + 20, record.triggerHoldoff);
    at[24] = record.triggerAuto;
    at[25] = record.triggerOnPower;
    at[26] = record.reserved;
    writeFloatLe(at + 28, record.triggerLevel);
    at[32] = record.triggerRisingEdge;
    at[33] = record.digitalCombination;
    at[34] = record.digitalChannelA;
    at[35] = record.digitalChannelB;
    at[36] = record.digitalEdgeA;
    at[37] = record.digitalEdgeB;
    putBytes(at + 38, record.measureSlots);
    return image;
}

bool decodePowerSettings(std::span<const uint8_t> image, PowerSettings& record) {
    if (image.size() < kPowerImageSize) {
        return false;
    }
    const uint8_t* at = image.data();
    record.selectedTrace = readS32le(at + 0);
    record.persistTime = readFloatLe(at + 4);
    record.powerTimeBaseIndex = readS32le(at + 8);
    record.powerAmplitudeIndex = readS32le(at + 12);
    record.triggerDelay = readFloatLe(at + 16);
    record.triggerHoldoff = readFloatLe(at + 20);
    record.triggerAuto = at[24];
    record.triggerOnPower = at[25];
    record.reserved = at[26];
    record.triggerLevel = readFloatLe(at + 28);
    record.triggerRisingEdge = at[32];
    record.digitalCombination = at[33];
    record.digitalChannelA = at[34];
    record.digitalChannelB = at[35];
    record.digitalEdgeA = at[36];
    record.digitalEdgeB = at[37];
    getBytes(at + 38, record.measureSlots);
    return true;
}

std::array<uint8_t, kChannelImageSize> encodeTraceChannel(const TraceChannel& record) {
    std::array<uint8_t, kChannelImageSize> image{};
    uint8_t* at = image.data();
    at[0] = record.shown;
    writeFloatLe(at + 4, record.offset);
    putBytes(at + 8, record.color);
    return image;
}

bool decodeTraceChannel(std::span<const uint8_t> image, TraceChannel& record) {
    if (image.size() < kChannelImageSize) {
        return false;
    }
    const uint8_t* at = image.data();
    record.shown = at[0];
    record.offset = readFloatLe(at + 4);
    getBytes(at + 8, record.color);
    return true;
}

std::array<uint8_t, kDemoImageSize> encodeDemoSelection(const DemoSelection& record) {
    return {record.hardware, record.signalType, record.wifiSsid};
}

bool decodeDemoSelection(std::span<const uint8_t> image, DemoSelection& record) {
    if (image.size() < kDemoImageSize) {
        return false;
    }
    record.hardware = image[0];
    record.signalType = image[1];
    record.wifiSsid = image[2];
    return true;
}
