#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/AccessPoint.h"
#include "model/AccessoryDescription.h"
#include "model/BandSweepBuffers.h"
#include "model/MeasurementRecords.h"
#include "model/PowerMeasurementStatistics.h"
#include "model/RuntimeState.h"
#include "model/StoredSettings.h"

// The process-wide settings, measurements and runtime state. One thread owns it: the main thread
// (in tarno-cli, the command's loop), which applies the link's frames to it and through which
// every settings change goes. The link never reads it: it gets a published copy of the settings
// and hands back frames, so nothing here needs a lock.
class SpectrumSettings {
  public:
    enum SSIDSortCriteria : uint8_t {
        kSortNone = 0,
        kSortBssid = 1,
        kSortSsid = 2,
        kSortRssi = 3,
        kSortFrequency = 4,
        kSortMode = 5,
        kSortChannel = 6,
        kSortSeenCount = 7,
        kSortSecurity = 8,
        kSortGradePercent = 9,
        kSortGrade = 10,
        kSortUtilizationGrade = 11,  // the same order as kSortGrade
    };

    enum TraceKind : uint8_t {
        kTraceNone = 0,
        kTraceRaw = 1,
        kTraceDecay = 2,
        kTraceAverage = 3,
        kTraceMaxHold = 4,
        kTraceMinHold = 5,
        kTraceHeatMap = 6,
    };

    enum GraticuleBits : uint32_t {
        kCrosshairs = 1,
        kMajorTics = 2,
        kMinorTics = 4,
        kMajorGrid = 8,
        kMinorGrid = 16,
        kGraticuleAll = 31,
    };

    enum AlertBits : uint32_t { kAlertOnStartup = 1, kAlertOnDisconnect = 2, kAlertsBoth = 3 };

    enum RunState : int32_t {
        kRunning = 0,
        kPaused = 1,
        kSingleShotArmed = 2,
        kSingleShotTaken = 3
    };

    enum DataLogState : int32_t {
        kDataLogOff = 0,
        kDataLogStartRequested = 1,
        kDataLogOn = 2,
        kDataLogStopRequested = 3,
    };

    // The instance, created on first use and never destroyed or moved.
    static SpectrumSettings* getInstance();

    // A model with every default. Production code uses getInstance(); tests build their own.
    SpectrumSettings();
    SpectrumSettings(const SpectrumSettings&) = delete;
    SpectrumSettings& operator=(const SpectrumSettings&) = delete;

    // --- Settings and state -------------------------------------------------------------------
    uint32_t graticule = kGraticuleAll;
    uint32_t alerts = kAlertsBoth;
    AccessoryDescription accessory;
    CursorSettings cursors;
    CursorReadouts cursorReadouts;
    CommonSettings common_settings;
    SpectrumViewSettings spectrum_settings;
    PowerSettings power_setting;
    TraceChannel power_channel = TraceChannel::liveDefaults();
    TraceChannel reference_channel = TraceChannel::referenceDefaults();
    PowerTraceSet live;
    PowerMeasurementStatistics pulseStatistics;  // of live captures
    PowerReferenceSet reference;
    BandSweepBuffers band24{256};
    BandSweepBuffers band5{512};
    std::vector<std::unique_ptr<AccessPoint>> accessPoints;  // in the order of the last sort
    ScanStatistics scanStatistics;
    DemoSelection demo;
    RuntimeState runtime;

    // --- Operations ---------------------------------------------------------------------------

    // Settings records, graticule, alerts and demo choice back to their defaults; the reference
    // trace is cleared. The accessory description, band buffers and runtime state are untouched.
    void resetToDefaults();

    // Empties both bands' sweeps, traces state and heat maps, and the access-point list.
    void clearSpectrumData();

    // Empties the live power trace, marks every pulse measurement as not measured and restarts
    // their statistics: figures of other settings would not compare.
    void clearPowerData();

    void resetCursorReadouts() { cursorReadouts.reset(); }

    // What every configuration load, save or reset is followed by: clearSpectrumData(),
    // clearPowerData() and resetCursorReadouts().
    void clearAfterConfigurationChange();

    // Starts the pulse-measurement statistics over.
    void resetPulseStatistics();

    // Copies the live trace into the reference.
    void grabReference();

    void clearReference();

    // Empties accessPoints and scanStatistics, scanCount 0, both table flags set.
    void clearAccessPoints();

    // Sorts accessPoints by an SSIDSortCriteria value; 0 and values above 11 leave the list
    // alone.
    void sortAccessPoints(int criterion, bool descending);

    // dB added to every shown level: 0 while nothing is connected, else the external attenuation
    // plus the internal attenuation step when the index is a valid step of the accessory.
    float amplitudeOffset() const;

    // Clamped readers and steppers of the power time base and amplitude lists.
    int clampedTimeBaseIndex() const;  // 0 for an empty list
    float timeBaseNow() const;         // s/div, 0 for an empty list
    bool stepTimeBaseUp();             // true when the index changed
    bool stepTimeBaseDown();
    int clampedAmplitudeIndex() const;
    float amplitudeNow() const;
    bool stepAmplitudeUp();
    bool stepAmplitudeDown();
    bool isRolling() const;  // the power view rolls at the current time base

    // Copies a newly arrived accessory description in and applies the corrections below.
    void applyDescription(const AccessoryDescription& description);
    // Corrections for a newly arrived description (already copied into `accessory`): negative
    // time-base and amplitude indices get a valid step, and a mode the accessory cannot do is
    // switched (setting modeChangedByLink).
    void applyDescriptionCorrections();

    // Configuration slots 0..3 in the persistent store (defined with the configuration store).
    bool loadConfiguration(int slot);
    bool saveConfiguration(int slot);
    // Settings-menu operations: the operation, then clearAfterConfigurationChange().
    bool loadConfigurationAndClear(int slot);
    bool saveConfigurationAndClear(int slot);
    void resetConfiguration();

    // --- Menu words ---------------------------------------------------------------------------
    static const char* graticuleLabel(uint32_t mask);
    static const char* alertsLabel(uint32_t alerts);
    static const char* internalAttenuationLabel(int index);
    static const char* traceStyleLabel(bool dots);
    static const char* viewModeLabel(int viewMode);
    static const char* bandLabel(int band);
    static const char* traceModeLabel(int kind);
    static const char* colorMapLabel(int colorMap);
    static const char* channelGuideLabel(int standard);
    static const char* triggerSweepLabel(bool automatic);
    static const char* triggerTypeLabel(bool onPower);
    static const char* signalTypeLabel(int signalType);
    // "Tarno", "Tarno Mk2", "Tarno Duo"; "Unknown" for any other demonstration hardware.
    static const char* demoHardwareLabel(int hardware);
    static std::string refreshIntervalText(float seconds);
};
