#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Settings records that the configuration store saves as raw little-endian byte images. Their
// sizes and field offsets are a file format: change nothing here without a new store version.
// Padding is spelled out and zeroed so that a saved image is fully determined by the settings.
// Switches are bytes rather than bool: a loaded image may hold any byte value, and a bool holding
// anything but 0 or 1 is undefined behaviour.

// Measurement cursors (44 bytes).
struct CursorSettings {
    uint8_t cursorsShown = 0;       // cursor switch
    uint8_t tracking = 0;           // 1: both cursors of a pair move together
    uint8_t verticalShown = 1;      // vertical pair in use
    uint8_t horizontalShown = 0;    // horizontal pair in use
    uint8_t positionUnit = 0;       // 0 absolute (frequency or time), 1 degrees, 2 percent
    uint8_t positionReference = 0;  // 0 the whole width, 1 positionReferencePair
    uint8_t levelUnit = 0;          // 0 absolute (dBm or watts), 2 percent, other: no readouts
    uint8_t levelReference = 0;     // 0 the whole height, 1 levelReferencePair
    uint8_t color[3] = {0, 255, 0};
    uint8_t selectedCursor = 0;  // 0 or 1, the same index in both pairs
    float verticalX[2] = {100.0f, 200.0f};
    float horizontalY[2] = {100.0f, 200.0f};
    float levelReferencePair[2] = {100.0f, 200.0f};     // scaled with the height
    float positionReferencePair[2] = {100.0f, 200.0f};  // scaled with the width
};

// Attenuation, trace style and mode (16 bytes).
struct CommonSettings {
    // Stored values of spectrumMode.
    static constexpr uint8_t kPowerMode = 0;
    static constexpr uint8_t kSpectrumMode = 1;

    float externalAttenuation = 0.0f;      // dB of an attenuator outside the accessory
    int32_t internalAttenuationIndex = 0;  // 0..7 in 4 dB steps
    uint8_t reserved[2] = {0, 0};
    uint8_t traceDots = 0;        // 0 lines, 1 dots
    uint8_t spectrumMode = 1;     // 1 spectrum mode, 0 power mode
    int32_t powerUnitsWatts = 0;  // 0 dBm, 1 watts
};

// Spectrum view settings, store version 2 (92 bytes).
struct SpectrumViewSettings {
    // Stored values of viewMode.
    static constexpr uint8_t kRealWaveView = 0;
    static constexpr uint8_t kWaterfallView = 1;

    uint8_t viewMode = 0;  // 0 real wave, 1 waterfall
    uint8_t padding0[3] = {0, 0, 0};
    int32_t band = 0;          // 0 2.4 GHz, 1 5 GHz
    uint8_t ssidScanOn = 1;    // access-point scanning requested
    uint8_t ssidReserved = 0;  // cleared by the SSID menu; the controller ends a slow scan on it
    uint8_t traceModes[3] = {6, 0, 0};  // SpectrumSettings::TraceKind per trace slot
    uint8_t padding1[3] = {0, 0, 0};
    float holdTime = 1.0f;                // s, 0..3
    float decayStep = 2.0f;               // dB, 0..10
    float averageTime = 1.0f;             // s, 0..4
    int32_t heatMapColorMapTrace = 0;     // copy of heatMapColorMap read by the trace layer
    int32_t heatMapColorMap = 0;          // 0 rainbow, 1 fire, 2 X-ray, 3 green
    int32_t waterfallTimeScaleIndex = 0;  // waterfall time scale divides 500 by 1, 2 or 5
    float waterfallLevelHigh = -37.0f;    // dBm, upper colour threshold
    float waterfallLevelLow = -85.0f;     // dBm, lower colour threshold
    uint8_t traceColors[5][3] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 255}, {0, 255, 0}, {0, 0, 255}};
    uint8_t peaksOnTop = 0;                   // 0 or a trace kind 1..5
    uint8_t peakCounts[5] = {5, 5, 5, 5, 5};  // per trace kind 1..5
    uint8_t waterfallPeakCounts[2] = {5, 5};  // horizontal, vertical
    uint8_t padding2 = 0;
    int32_t channelGuide24 = 3;
    int32_t channelGuide5 = 0;
    uint8_t channelGuideState = 0;  // non-zero: guide expanded
    uint8_t padding3[3] = {0, 0, 0};
    float refreshInterval = 30.0f;  // s between access-point scans, 0 = always
    uint8_t ssidSortCriterion = 3;
    uint8_t ssidSortDescending = 1;
    uint8_t utilizationSortCriterion = 11;
    uint8_t utilizationSortDescending = 1;
};

// Power meter and trigger settings (44 bytes).
struct PowerSettings {
    int32_t selectedTrace = 0;  // 0 live, 1 reference
    float persistTime = 2.0f;   // s, 0.1..20
    int32_t powerTimeBaseIndex = 15;
    // No list exists before an accessory answers, so the default is "no choice yet": the
    // description correction turns it into the first step, and the clamping readers treat it as
    // the first step meanwhile.
    int32_t powerAmplitudeIndex = -1;
    float triggerDelay = 0.0f;    // s
    float triggerHoldoff = 0.0f;  // s
    uint8_t triggerAuto = 1;      // 1 auto, 0 normal
    uint8_t triggerOnPower = 1;   // 1 power trigger, 0 digital trigger
    uint8_t reserved = 0;
    uint8_t padding0 = 0;
    float triggerLevel = -30.56f;    // dBm
    uint8_t triggerRisingEdge = 1;   // power trigger edge: 1 rising, 0 falling
    uint8_t digitalCombination = 0;  // 0 A, 1 A&B, 2 A|B, 3 A->B
    uint8_t digitalChannelA = 0;     // 0..3
    uint8_t digitalChannelB = 1;     // 0..3
    uint8_t digitalEdgeA = 1;        // 1 rise, 0 fall
    uint8_t digitalEdgeB = 0;        // 1 rise, 0 fall
    uint8_t measureSlots[6] = {255, 255, 255, 255, 255, 255};  // 255: no measurement
};

// Colour, offset and visibility of one power trace (12 bytes).
struct TraceChannel {
    uint8_t shown = 0;
    uint8_t padding0[3] = {0, 0, 0};
    float offset = 0.0f;  // vertical offset in view units
    uint8_t color[3] = {0, 0, 0};
    uint8_t padding1 = 0;

    static TraceChannel liveDefaults() { return TraceChannel{1, {0, 0, 0}, 0.0f, {0, 255, 0}, 0}; }
    static TraceChannel referenceDefaults() {
        return TraceChannel{0, {0, 0, 0}, 0.0f, {255, 255, 255}, 0};
    }
};

// What the demonstration plays back (3 bytes).
struct DemoSelection {
    uint8_t hardware = 2;    // accessory model imitated, 0..2
    uint8_t signalType = 1;  // 0 none, 1 Wi-Fi, 2 DECT, 3 DSS
    uint8_t wifiSsid = 1;    // play recorded access-point lists
};

static_assert(std::is_trivially_copyable_v<CursorSettings> && sizeof(CursorSettings) == 44);
static_assert(offsetof(CursorSettings, positionUnit) == 4);
static_assert(offsetof(CursorSettings, levelReference) == 7);
static_assert(offsetof(CursorSettings, color) == 8);
static_assert(offsetof(CursorSettings, selectedCursor) == 11);
static_assert(offsetof(CursorSettings, verticalX) == 12);
static_assert(offsetof(CursorSettings, horizontalY) == 20);
static_assert(offsetof(CursorSettings, levelReferencePair) == 28);
static_assert(offsetof(CursorSettings, positionReferencePair) == 36);

static_assert(std::is_trivially_copyable_v<CommonSettings> && sizeof(CommonSettings) == 16);
static_assert(offsetof(CommonSettings, internalAttenuationIndex) == 4);
static_assert(offsetof(CommonSettings, reserved) == 8);
static_assert(offsetof(CommonSettings, traceDots) == 10);
static_assert(offsetof(CommonSettings, spectrumMode) == 11);
static_assert(offsetof(CommonSettings, powerUnitsWatts) == 12);

static_assert(std::is_trivially_copyable_v<SpectrumViewSettings>);
static_assert(sizeof(SpectrumViewSettings) == 92);
static_assert(offsetof(SpectrumViewSettings, band) == 4);
static_assert(offsetof(SpectrumViewSettings, ssidScanOn) == 8);
static_assert(offsetof(SpectrumViewSettings, ssidReserved) == 9);
static_assert(offsetof(SpectrumViewSettings, traceModes) == 10);
static_assert(offsetof(SpectrumViewSettings, holdTime) == 16);
static_assert(offsetof(SpectrumViewSettings, decayStep) == 20);
static_assert(offsetof(SpectrumViewSettings, averageTime) == 24);
static_assert(offsetof(SpectrumViewSettings, heatMapColorMapTrace) == 28);
static_assert(offsetof(SpectrumViewSettings, heatMapColorMap) == 32);
static_assert(offsetof(SpectrumViewSettings, waterfallTimeScaleIndex) == 36);
static_assert(offsetof(SpectrumViewSettings, waterfallLevelHigh) == 40);
static_assert(offsetof(SpectrumViewSettings, waterfallLevelLow) == 44);
static_assert(offsetof(SpectrumViewSettings, traceColors) == 48);
static_assert(offsetof(SpectrumViewSettings, peaksOnTop) == 63);
static_assert(offsetof(SpectrumViewSettings, peakCounts) == 64);
static_assert(offsetof(SpectrumViewSettings, waterfallPeakCounts) == 69);
static_assert(offsetof(SpectrumViewSettings, channelGuide24) == 72);
static_assert(offsetof(SpectrumViewSettings, channelGuide5) == 76);
static_assert(offsetof(SpectrumViewSettings, channelGuideState) == 80);
static_assert(offsetof(SpectrumViewSettings, refreshInterval) == 84);
static_assert(offsetof(SpectrumViewSettings, ssidSortCriterion) == 88);
static_assert(offsetof(SpectrumViewSettings, ssidSortDescending) == 89);
static_assert(offsetof(SpectrumViewSettings, utilizationSortCriterion) == 90);
static_assert(offsetof(SpectrumViewSettings, utilizationSortDescending) == 91);

static_assert(std::is_trivially_copyable_v<PowerSettings> && sizeof(PowerSettings) == 44);
static_assert(offsetof(PowerSettings, persistTime) == 4);
static_assert(offsetof(PowerSettings, powerTimeBaseIndex) == 8);
static_assert(offsetof(PowerSettings, powerAmplitudeIndex) == 12);
static_assert(offsetof(PowerSettings, triggerDelay) == 16);
static_assert(offsetof(PowerSettings, triggerHoldoff) == 20);
static_assert(offsetof(PowerSettings, triggerAuto) == 24);
static_assert(offsetof(PowerSettings, triggerOnPower) == 25);
static_assert(offsetof(PowerSettings, reserved) == 26);
static_assert(offsetof(PowerSettings, triggerLevel) == 28);
static_assert(offsetof(PowerSettings, triggerRisingEdge) == 32);
static_assert(offsetof(PowerSettings, digitalEdgeB) == 37);
static_assert(offsetof(PowerSettings, measureSlots) == 38);

static_assert(std::is_trivially_copyable_v<TraceChannel> && sizeof(TraceChannel) == 12);
static_assert(offsetof(TraceChannel, offset) == 4);
static_assert(offsetof(TraceChannel, color) == 8);

static_assert(std::is_trivially_copyable_v<DemoSelection> && sizeof(DemoSelection) == 3);
static_assert(offsetof(DemoSelection, signalType) == 1);
static_assert(offsetof(DemoSelection, wifiSsid) == 2);
