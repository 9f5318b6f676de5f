#include <cmath>
#include <cstdio>

#include "model/SpectrumSettings.h"

namespace {

template <size_t N>
const char* pick(const char* const (&words)[N], int index, const char* fallback) {
    if (index < 0 || static_cast<size_t>(index) >= N) {
        return fallback;
    }
    return words[index];
}

}  // namespace

const char* SpectrumSettings::graticuleLabel(uint32_t mask) {
    switch (mask) {
        case kGraticuleAll:
            return "GRATICULE";
        case kCrosshairs:
            return "CROSSHAIRS";
        case kMajorTics:
            return "MAJOR TICS";
        case kMinorTics:
            return "MINOR TICS";
        case kMajorGrid:
            return "MAJOR GRID";
        case kMinorGrid:
            return "MINOR GRID";
        default:
            return "NONE";
    }
}

const char* SpectrumSettings::alertsLabel(uint32_t value) {
    switch (value) {
        case kAlertOnStartup:
            return "ON STARTUP";
        case kAlertOnDisconnect:
            return "ON DISCONNECT";
        case kAlertsBoth:
            return "ALERTS";
        default:
            return "NONE";
    }
}

const char* SpectrumSettings::internalAttenuationLabel(int index) {
    // Attenuation is a ratio: decibels, not a level.
    static const char* const words[] = {"0 dB",  "4 dB",  "8 dB",  "12 dB",
                                        "16 dB", "20 dB", "24 dB", "28 dB"};
    return pick(words, index, "UNKNOWN");
}

const char* SpectrumSettings::traceStyleLabel(bool dots) {
    return dots ? "DOTS" : "LINES";
}

const char* SpectrumSettings::viewModeLabel(int viewMode) {
    static const char* const words[] = {"REAL WAVE", "WATERFALL"};
    return pick(words, viewMode, "UNKNOWN");
}

const char* SpectrumSettings::bandLabel(int band) {
    static const char* const words[] = {"2.4 GHz", "5 GHz"};
    return pick(words, band, "UNKNOWN");
}

const char* SpectrumSettings::traceModeLabel(int kind) {
    static const char* const words[] = {"NONE",     "RAW",      "DECAY",   "AVERAGE",
                                        "MAX HOLD", "MIN HOLD", "HEAT MAP"};
    return pick(words, kind, "UNKNOWN");
}

const char* SpectrumSettings::colorMapLabel(int colorMap) {
    static const char* const words[] = {"RAINBOW", "FIRE", "X-RAY", "GREEN"};
    return pick(words, colorMap, "UNKNOWN");
}

const char* SpectrumSettings::channelGuideLabel(int standard) {
    static const char* const words[] = {"NONE",
                                        "802.11b",
                                        "802.11g",
                                        "802.11n - 20MHz",
                                        "802.11n - 40MHz BELOW",
                                        "802.11n - 40MHz ABOVE",
                                        "802.15.4 - Zigbee",
                                        "ZEV Custom",
                                        "802.11a/n - 20MHz",
                                        "802.11n/ac - 40MHz",
                                        "802.11ac - 80MHz",
                                        "802.11ac - 160MHz"};
    return pick(words, standard, "UNKNOWN");
}

const char* SpectrumSettings::triggerSweepLabel(bool automatic) {
    return automatic ? "AUTO" : "NORMAL";
}

const char* SpectrumSettings::triggerTypeLabel(bool onPower) {
    return onPower ? "POWER" : "DIGITAL";
}

const char* SpectrumSettings::demoHardwareLabel(int hardware) {
    static const char* const words[] = {"Tarno", "Tarno Mk2", "Tarno Duo"};
    return pick(words, hardware, "Unknown");
}

const char* SpectrumSettings::signalTypeLabel(int signalType) {
    static const char* const words[] = {"NONE", "WIFI", "DECT", "DSS"};
    return pick(words, signalType, "Unknown");
}

std::string SpectrumSettings::refreshIntervalText(float seconds) {
    if (seconds == 0.0f) {
        return "ALWAYS";
    }
    char text[64];
    int n = std::snprintf(text, sizeof(text), "%.0fs", static_cast<double>(seconds));
    if (n < 0 || static_cast<size_t>(n) >= sizeof(text)) {
        return "";
    }
    return text;
}
