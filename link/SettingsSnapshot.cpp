#include "link/SettingsSnapshot.h"

#include <algorithm>
#include <mutex>

#include "model/SpectrumSettings.h"

SettingsSnapshot SettingsSnapshot::of(SpectrumSettings& model) {
    std::lock_guard<ModelLock> guard(model.settingsLock);
    SettingsSnapshot s;
    const SpectrumViewSettings& view = model.spectrum_settings;
    const AccessoryDescription& a = model.accessory;
    s.spectrumMode = model.common_settings.spectrumMode != 0;
    s.ssidScanOn = view.ssidScanOn != 0;
    s.waterfall = view.viewMode == 1;
    s.ssidReserved = view.ssidReserved != 0;
    s.scanKeepsRefresh = a.scanKeepsRefresh;
    s.refreshInterval = view.refreshInterval;
    s.band = view.band;
    s.demo = model.demo;
    s.powerInterval = a.powerInterval;
    s.spectrumInterval24 = a.spectrumInterval24;
    s.spectrumInterval5 = a.spectrumInterval5;
    s.scanFirstDelay = a.scanFirstDelay;
    s.scanRepeatInterval = a.scanRepeatInterval;
    return s;
}

uint64_t SettingsSnapshot::milliseconds(double seconds) {
    if (!(seconds > 0.0)) {
        return 0;
    }
    return static_cast<uint64_t>(std::min(seconds, 86400.0) * 1000.0);
}
