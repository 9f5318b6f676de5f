#pragma once

#include <cstdint>

// What a change of settings is, for deciding what it does beyond the model. Kinds are split only
// where the accessory must be told differently.
enum class SettingChange : uint8_t {
    kSpectrumMode,         // spectrum or power: the accessory measures something else
    kSpectrumView,         // real wave or waterfall: the scene rebuilds its views
    kBand,                 // 2.4 or 5 GHz
    kBandFallback,         // the scene back on 2.4 GHz for an accessory without 5 GHz
    kSsidScan,             // access-point scanning on or off
    kRefreshInterval,      // the scan's refresh, read by the worker at its next pass
    kTraceProcessing,      // trace kinds, hold, decay, average
    kInternalAttenuation,  // a step inside the accessory
    kExternalAttenuation,  // an offset added to every level shown
    kTrigger,              // trigger settings chosen in the trigger menu
    kTriggerLevelHandle,   // the power view's level handle (dragged or keyed)
    kTriggerDelayHandle,   // the power view's delay handle (dragged or keyed)
    kPowerScales,          // time base and amplitude stepped on the power view
    kDemoTimeBase,         // the demonstration's triggered or rolling power view
    kDemoSignal,           // the demonstration's signal scene
    kDemoHardware,         // the demonstration's accessory model
    kDemoScene,            // demonstration details the playback reads as it goes
    kDisplay,              // how things are drawn: nothing the accessory knows about
    kCursors,
    kPowerMeasurements,  // the measurement panel's slots
    kConfiguration,      // a configuration loaded or reset
    kCount
};

// What a change asks of the accessory.
enum class AccessoryEffect : uint8_t {
    kNone,
    kReconfigure,              // halt, send the settings again, resume; the data stays
    kReconfigureClearingData,  // the same, and the acknowledgement empties the measurements
    kRestartPlayback,          // the demonstration plays again from discovery
};

// The one table of what each kind of change does: the only place that decides whether a change
// reconfigures the accessory and whether it clears the data measured so far.
class SettingRules {
  public:
    static AccessoryEffect effectOf(SettingChange change);
};
