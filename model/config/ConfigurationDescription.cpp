#include "model/config/ConfigurationDescription.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "model/SpectrumSettings.h"

namespace {

class Writer {
  public:
    void section(const char* title) { text_ += std::string(title) + "\n"; }

    void line(const std::string& name, const std::string& value, const std::string& word = {}) {
        text_ += "  " + name;
        text_.append(name.size() < kNameWidth ? kNameWidth - name.size() : 1, ' ');
        text_ += value;
        if (!word.empty()) {
            text_ += "  (" + word + ")";
        }
        text_ += "\n";
    }

    std::string take() { return std::move(text_); }

  private:
    static constexpr size_t kNameWidth = 28;
    std::string text_;
};

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    char buffer[256];
    va_list args;
    va_start(args, pattern);
    int n = std::vsnprintf(buffer, sizeof(buffer), pattern, args);
    va_end(args);
    return n < 0 ? std::string() : std::string(buffer);
}

std::string number(float value) {
    return format("%g", static_cast<double>(value));
}

std::string number(int value) {
    return std::to_string(value);
}

std::string pair(const float (&values)[2]) {
    return number(values[0]) + ", " + number(values[1]);
}

std::string rgb(const uint8_t (&color)[3]) {
    return format("%u, %u, %u", color[0], color[1], color[2]);
}

template <size_t N>
std::string byteList(const uint8_t (&bytes)[N]) {
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(bytes[i]);
    }
    return text;
}

const char* onOff(int value) {
    return value != 0 ? "ON" : "OFF";
}

const char* pick(int value, std::initializer_list<const char*> words, const char* other) {
    return value >= 0 && static_cast<size_t>(value) < words.size() ? words.begin()[value] : other;
}

void describeCursors(Writer& out, const CursorSettings& c) {
    out.section("cursors");
    out.line("cursorsShown", number(c.cursorsShown), onOff(c.cursorsShown));
    out.line("tracking", number(c.tracking), onOff(c.tracking));
    out.line("verticalShown", number(c.verticalShown), onOff(c.verticalShown));
    out.line("horizontalShown", number(c.horizontalShown), onOff(c.horizontalShown));
    out.line("positionUnit", number(c.positionUnit),
             pick(c.positionUnit, {"absolute", "degrees", "percent"}, "UNKNOWN"));
    out.line("positionReference", number(c.positionReference),
             pick(c.positionReference, {"whole width", "reference pair"}, "UNKNOWN"));
    out.line("levelUnit", number(c.levelUnit),
             pick(c.levelUnit, {"absolute", "no readouts", "percent"}, "no readouts"));
    out.line("levelReference", number(c.levelReference),
             pick(c.levelReference, {"whole height", "reference pair"}, "UNKNOWN"));
    out.line("color", rgb(c.color));
    out.line("selectedCursor", number(c.selectedCursor));
    out.line("verticalX", pair(c.verticalX));
    out.line("horizontalY", pair(c.horizontalY));
    out.line("levelReferencePair", pair(c.levelReferencePair));
    out.line("positionReferencePair", pair(c.positionReferencePair));
}

void describeCommon(Writer& out, const CommonSettings& c) {
    out.section("common_settings");
    out.line("externalAttenuation", number(c.externalAttenuation),
             format("EXT. ATTEN: %.2f dB", static_cast<double>(c.externalAttenuation)));
    out.line("internalAttenuationIndex", number(c.internalAttenuationIndex),
             std::string("INT. ATTEN: ") +
                 SpectrumSettings::internalAttenuationLabel(c.internalAttenuationIndex));
    out.line("reserved", byteList(c.reserved));
    out.line("traceDots", number(c.traceDots), SpectrumSettings::traceStyleLabel(c.traceDots));
    out.line("spectrumMode", number(c.spectrumMode), c.spectrumMode ? "SPECTRUM" : "POWER");
    out.line("powerUnitsWatts", number(c.powerUnitsWatts),
             std::string("UNITS: ") + pick(c.powerUnitsWatts, {"dBm", "WATTS"}, "UNKNOWN"));
}

void describeSpectrum(Writer& out, const SpectrumViewSettings& s) {
    using S = SpectrumSettings;
    out.section("spectrum_settings");
    out.line("viewMode", number(s.viewMode), S::viewModeLabel(s.viewMode));
    out.line("band", number(s.band), S::bandLabel(s.band));
    out.line("ssidScanOn", number(s.ssidScanOn), std::string("SSID: ") + onOff(s.ssidScanOn));
    out.line("ssidReserved", number(s.ssidReserved));
    out.line("traceModes", byteList(s.traceModes),
             std::string(S::traceModeLabel(s.traceModes[0])) + ", " +
                 S::traceModeLabel(s.traceModes[1]) + ", " + S::traceModeLabel(s.traceModes[2]));
    out.line("holdTime", number(s.holdTime), "HOLD: " + number(s.holdTime) + "s");
    out.line("decayStep", number(s.decayStep),
             format("DECAY: %.2fdBm", static_cast<double>(s.decayStep)));
    out.line("averageTime", number(s.averageTime),
             format("AVERAGE: %.2fs", static_cast<double>(s.averageTime)));
    out.line("heatMapColorMapTrace", number(s.heatMapColorMapTrace),
             S::colorMapLabel(s.heatMapColorMapTrace));
    out.line("heatMapColorMap", number(s.heatMapColorMap), S::colorMapLabel(s.heatMapColorMap));
    out.line("waterfallTimeScaleIndex", number(s.waterfallTimeScaleIndex));
    out.line("waterfallLevelHigh", number(s.waterfallLevelHigh), "dBm");
    out.line("waterfallLevelLow", number(s.waterfallLevelLow), "dBm");
    for (int kind = 0; kind < 5; ++kind) {
        out.line(format("traceColors[%d]", kind + 1), rgb(s.traceColors[kind]),
                 S::traceModeLabel(kind + 1));
    }
    out.line("peaksOnTop", number(s.peaksOnTop), S::traceModeLabel(s.peaksOnTop));
    out.line("peakCounts", byteList(s.peakCounts));
    out.line("waterfallPeakCounts", byteList(s.waterfallPeakCounts));
    out.line("channelGuide24", number(s.channelGuide24), S::channelGuideLabel(s.channelGuide24));
    out.line("channelGuide5", number(s.channelGuide5), S::channelGuideLabel(s.channelGuide5));
    out.line("channelGuideState", number(s.channelGuideState));
    out.line("refreshInterval", number(s.refreshInterval),
             "REFRESH: " + S::refreshIntervalText(s.refreshInterval));
    out.line("ssidSortCriterion", number(s.ssidSortCriterion));
    out.line("ssidSortDescending", number(s.ssidSortDescending), onOff(s.ssidSortDescending));
    out.line("utilizationSortCriterion", number(s.utilizationSortCriterion));
    out.line("utilizationSortDescending", number(s.utilizationSortDescending),
             onOff(s.utilizationSortDescending));
}

void describePower(Writer& out, const PowerSettings& p) {
    using S = SpectrumSettings;
    out.section("power_setting");
    out.line("selectedTrace", number(p.selectedTrace),
             pick(p.selectedTrace, {"LIVE", "REFERENCE"}, "UNKNOWN"));
    out.line("persistTime", number(p.persistTime), "PERSIST: " + number(p.persistTime) + "s");
    out.line("powerTimeBaseIndex", number(p.powerTimeBaseIndex));
    out.line("powerAmplitudeIndex", number(p.powerAmplitudeIndex));
    out.line("triggerDelay", number(p.triggerDelay), "DELAY: " + number(p.triggerDelay) + "s");
    out.line("triggerHoldoff", number(p.triggerHoldoff),
             "HOLDOFF: " + number(p.triggerHoldoff) + "s");
    out.line("triggerAuto", number(p.triggerAuto), S::triggerSweepLabel(p.triggerAuto));
    out.line("triggerOnPower", number(p.triggerOnPower),
             std::string("TYPE: ") + S::triggerTypeLabel(p.triggerOnPower));
    out.line("reserved", number(p.reserved));
    out.line("triggerLevel", number(p.triggerLevel), "LEVEL: " + number(p.triggerLevel) + " dBm");
    out.line("triggerRisingEdge", number(p.triggerRisingEdge),
             p.triggerRisingEdge ? "RISING" : "FALLING");
    out.line("digitalCombination", number(p.digitalCombination),
             pick(p.digitalCombination, {"A", "A&B", "A|B", "A->B"}, "UNKNOWN"));
    out.line("digitalChannelA", number(p.digitalChannelA));
    out.line("digitalChannelB", number(p.digitalChannelB));
    out.line("digitalEdgeA", number(p.digitalEdgeA), p.digitalEdgeA ? "RISE" : "FALL");
    out.line("digitalEdgeB", number(p.digitalEdgeB), p.digitalEdgeB ? "RISE" : "FALL");
    out.line("measureSlots", byteList(p.measureSlots), "255: none");
}

void describeChannel(Writer& out, const char* key, const TraceChannel& channel) {
    out.section(key);
    out.line("shown", number(channel.shown), onOff(channel.shown));
    out.line("offset", number(channel.offset));
    out.line("color", rgb(channel.color));
}

void describeReference(Writer& out, const PowerReferenceSet& r) {
    out.section("referenceHistory");
    out.line("history", format("%zu captures", r.history.size()));
    out.line("processedHistory", format("%zu vertex lists", r.processedHistory.size()));
    out.line("alpha", format("%zu values", r.alpha.size()));
    out.line("rollingHistory", format("%zu values", r.rollingHistory.size()));
    out.line("processedRollingHistory", format("%zu values", r.processedRollingHistory.size()));
    out.line("maxRollPointsNeeded", number(r.maxRollPointsNeeded));
    out.line("timeScaleIndex", number(r.timeScaleIndex));
    out.line("amplitudeScaleIndex", number(r.amplitudeScaleIndex));
    out.line("isValid", number(r.isValid ? 1 : 0), r.isValid ? "YES" : "NO");
}

void describeDemo(Writer& out, const DemoSelection& d) {
    out.section("demo");
    out.line("hardware", number(d.hardware));
    out.line("signalType", number(d.signalType), SpectrumSettings::signalTypeLabel(d.signalType));
    out.line("wifiSsid", number(d.wifiSsid), onOff(d.wifiSsid));
}

}  // namespace

std::string describeConfiguration(const SpectrumSettings& settings) {
    Writer out;
    out.section("display");
    out.line("graticule", std::to_string(settings.graticule),
             SpectrumSettings::graticuleLabel(settings.graticule));
    out.line("alerts", std::to_string(settings.alerts),
             SpectrumSettings::alertsLabel(settings.alerts));
    describeCursors(out, settings.cursors);
    describeCommon(out, settings.common_settings);
    describeSpectrum(out, settings.spectrum_settings);
    describePower(out, settings.power_setting);
    describeChannel(out, "power_channel", settings.power_channel);
    describeChannel(out, "reference_channel", settings.reference_channel);
    describeReference(out, settings.reference);
    describeDemo(out, settings.demo);
    return out.take();
}
