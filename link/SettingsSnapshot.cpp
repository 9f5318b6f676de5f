#include "link/SettingsSnapshot.h"

#include <algorithm>

#include "model/LinkSettings.h"

SettingsSnapshot SettingsSnapshot::of(const LinkSettings& settings) {
    SettingsSnapshot s;
    const SpectrumViewSettings& view = settings.view;
    const AccessoryDescription& a = settings.accessory;
    s.spectrumMode = settings.spectrumMode();
    s.ssidScanOn = view.ssidScanOn != 0;
    s.waterfall = view.viewMode == SpectrumViewSettings::kWaterfallView;
    s.ssidReserved = view.ssidReserved != 0;
    s.scanKeepsRefresh = a.scanKeepsRefresh;
    s.refreshInterval = view.refreshInterval;
    s.band = view.band;
    s.demo = settings.demo;
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
