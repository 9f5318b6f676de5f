#include "app/StatusReadouts.h"

#include <cmath>

#include "model/CursorSelection.h"
#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/TriggerPosition.h"
#include "model/ValueFormatting.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallPixels.h"

namespace {

const char* const kNotANumber = "--";

std::string engineering(float value, int decimals) {
    return std::isnan(value) ? kNotANumber : formatEngineering(value, decimals);
}

std::string fixed2(float value) {
    return std::isnan(value) ? kNotANumber : formatFixed2(value);
}

std::string threeDigits(float value) {
    return std::isnan(value) ? kNotANumber : formatThreeDigits(value);
}

// Positions are cut toward zero to whole steps of `step`.
float cut(float value, float step) {
    if (!(step > 0))
        return NAN;
    return std::trunc(value / step) * step;
}

bool isWaterfall(const SpectrumSettings& m) {
    return m.common_settings.spectrumMode != CommonSettings::kPowerMode &&
           m.spectrum_settings.viewMode == SpectrumViewSettings::kWaterfallView;
}

}  // namespace

float StatusReadouts::lowEdgeMHz(int band) {
    return band == 1 ? 5145.f : 2400.f;
}

float StatusReadouts::spanMHz(int band) {
    return band == 1 ? 5860.f - 5145.f : 2500.f - 2400.f;
}

std::string StatusReadouts::amplitudeText(const SpectrumSettings& m) {
    const AccessoryDescription& d = m.accessory;
    const int band = m.spectrum_settings.band;
    if (isWaterfall(m)) {
        // One sweep is one texel row; the newest kMaxRows / factor rows fill the height, which
        // the grid cuts into kMajorY divisions.
        const float option = band == 1 ? d.optionBytes[2] : d.optionBytes[1];
        const float interval = band == 1 ? d.spectrumInterval5 : d.spectrumInterval24;
        const float factor = static_cast<float>(
            WaterfallLayer::timeScaleFactor(m.spectrum_settings.waterfallTimeScaleIndex));
        const float sweepsPerDivision = static_cast<float>(WaterfallPixels::kMaxRows) / factor /
                                        static_cast<float>(GridLayer::kMajorY);
        return "A:" + engineering(option * interval * sweepsPerDivision, 2) + "s/div";
    }
    float bottom = 0;
    float top = 0;
    if (m.common_settings.spectrumMode != CommonSettings::kPowerMode) {
        bottom = band == 1 ? d.levelMin5 : d.levelMin24;
        top = band == 1 ? d.levelMax5 : d.levelMax24;
    } else {
        bottom = d.powerAxisMin;
        top = d.powerAxisMax;
    }
    // The level axis is logarithmic in either unit: a division is a ratio, in decibels.
    const float a = (top - bottom) / static_cast<float>(GridLayer::kMajorY);
    return "A:" + fixed2(a) + "dB/div";
}

std::string StatusReadouts::divisionText(const SpectrumSettings& m) {
    if (m.common_settings.spectrumMode != CommonSettings::kPowerMode) {
        const float span = spanMHz(m.spectrum_settings.band);
        return "Hz:" + engineering(span * 1e6f / 10.f, 2) + "Hz/div";
    }
    if (m.accessory.powerTimeBases.empty())
        return std::string("T:") + kNotANumber + "sec/div";
    return "T:" + engineering(m.timeBaseNow(), 0) + "sec/div";
}

std::string StatusReadouts::triggerText(const SpectrumSettings& m) {
    if (m.common_settings.spectrumMode == CommonSettings::kPowerMode && m.isRolling())
        return "";
    switch (m.runtime.triggerStatus.load()) {
        case RuntimeState::kTriggered:
            return "TRIG";
        case RuntimeState::kNoTriggerFor10s:
            return m.power_setting.triggerAuto ? "AUTO" : "TRIG?";
        default:
            return "TRIG?";
    }
}

void StatusReadouts::positionTexts(const SpectrumSettings& m, float W, std::string& at,
                                   std::string& delta) {
    const CursorSettings& c = m.cursors;
    const bool spectrum = m.common_settings.spectrumMode != CommonSettings::kPowerMode;
    const std::string axis = spectrum ? "Hz" : "t";
    const float q = W / 1000.f;
    const int selected = selectedCursorIndex(c);
    const float xs = c.verticalX[selected];
    const float xo = c.verticalX[1 - selected];

    if (c.positionUnit == 0) {
        if (spectrum) {
            const int band = m.spectrum_settings.band;
            const float span = spanMHz(band) * 1e6f;
            const float f = cut(xs, q) * span / W + lowEdgeMHz(band) * 1e6f;
            const float d = std::fabs(cut(xs - xo, q)) * span / W;
            at = "@Hz: " + threeDigits(f) + "Hz";
            delta = "ΔHz: " + threeDigits(d) + "Hz";
            return;
        }
        const float T = m.timeBaseNow() * 10.f;  // seconds across the width
        float ts = NAN;
        float to = NAN;
        if (T > 0) {
            const float p = TriggerPosition::x(W, m.timeBaseNow(), m.power_setting.triggerDelay);
            ts = cut(xs - p, q) * T / W;
            to = cut(xo - p, q) * T / W;
        }
        const float d = std::fabs(to - ts);
        if (c.positionReference == 1) {
            at = "@t: " + threeDigits(ts == 0 ? 0.f : 1.f / ts) + "Hz";
            delta = d == 0 ? std::string("Δt: ∞Hz") : "Δt: " + threeDigits(1.f / d) + "Hz";
            return;
        }
        at = "@t: " + threeDigits(ts) + "s";
        delta = "Δt: " + threeDigits(d) + "s";
        return;
    }

    if (c.positionUnit == 1 || c.positionUnit == 2) {
        const bool degrees = c.positionUnit == 1;
        const float full = degrees ? 360.f : 100.f;
        const std::string unit = degrees ? "°" : "%";
        float value = NAN;
        float d = NAN;
        if (c.positionReference == 1) {
            const float r0 = c.positionReferencePair[0];
            const float r1 = c.positionReferencePair[1];
            if (r0 != r1) {
                const float D = cut(r1 - r0, q);
                value = cut(xs - r0, q) / D * full;
                d = std::fabs(cut(xo - xs, q)) / D * full;
            }
        } else {
            value = cut(xs, q) * (2.f * full) / W - full;
            d = std::fabs(cut(xo - xs, q)) * (2.f * full) / W;
        }
        at = "@" + axis + ":" + threeDigits(value) + unit;
        delta = "Δ" + axis + ":" + threeDigits(d) + unit;
        return;
    }
    at = "@" + axis + ":" + kNotANumber;
    delta = "Δ" + axis + ":" + kNotANumber;
}

void StatusReadouts::levelTexts(const SpectrumSettings& m, float H,
                                std::array<StatusTexts::Pair, 3>& pairs) {
    for (auto& pair : pairs)
        pair = StatusTexts::Pair{};
    const CursorSettings& c = m.cursors;
    const bool watts = m.common_settings.powerUnitsWatts == 1;
    const bool spectrum = m.common_settings.spectrumMode != CommonSettings::kPowerMode;
    const int selected = selectedCursorIndex(c);

    // Which readout entry each pair shows, and in which colour.
    struct Source {
        int trace;
        const uint8_t* colour;
    };
    std::array<Source, 3> sources{};
    int used = 0;
    if (spectrum && m.spectrum_settings.viewMode == SpectrumViewSettings::kRealWaveView) {
        for (int slot = 0; slot < 3; ++slot) {
            const int kind = m.spectrum_settings.traceModes[slot];
            if (kind >= 1 && kind <= 5)
                sources[used++] = {kind - 1, m.spectrum_settings.traceColors[kind - 1]};
        }
    } else if (spectrum && m.spectrum_settings.viewMode == SpectrumViewSettings::kWaterfallView) {
        sources[used++] = {CursorReadouts::kRaw, m.spectrum_settings.traceColors[0]};
    } else if (!spectrum) {
        const TraceChannel& channel =
            m.power_setting.selectedTrace == 1 ? m.reference_channel : m.power_channel;
        sources[used++] = {CursorReadouts::kRaw, channel.color};
    }

    if (c.levelUnit == 0) {
        const float offset = m.amplitudeOffset();
        for (int n = 0; n < used; ++n) {
            StatusTexts::Pair& pair = pairs[n];
            pair.used = true;
            for (int k = 0; k < 3; ++k)
                pair.colour[k] = sources[n].colour[k];
            const float ls = m.cursorReadouts.level[sources[n].trace][selected] + offset;
            const float lo = m.cursorReadouts.level[sources[n].trace][1 - selected] + offset;
            if (watts) {
                const float ms = dbmToMilliwatts(ls);
                const float mo = dbmToMilliwatts(lo);
                pair.at = "@W:" + engineering(ms * 0.001f, 2) + "W";
                pair.delta = "ΔW:" + engineering(std::fabs(ms - mo) * 0.001f, 2) + "W";
            } else {
                pair.at = "@dBm:" + fixed2(ls) + "dBm";
                pair.delta = "ΔdBm:" + fixed2(std::fabs(ls - lo)) + "dB";
            }
        }
        return;
    }
    if (c.levelUnit == 2 && used > 0) {
        // The horizontal cursors as a share of the height (or of the reference pair's span).
        const float step = H / 800.f;
        const float ys = c.horizontalY[selected];
        const float yo = c.horizontalY[1 - selected];
        float value = NAN;
        float d = NAN;
        if (c.levelReference == 1) {
            const float l0 = c.levelReferencePair[0];
            const float l1 = c.levelReferencePair[1];
            if (l0 != l1) {
                const float D = cut(l1 - l0, step);
                value = cut(ys - l0, step) / D * 100.f;
                d = std::fabs(cut(yo - ys, step)) / D * 100.f;
            }
        } else {
            value = cut(ys, step) / H * 100.f;
            d = std::fabs(cut(yo - ys, step)) / H * 100.f;
        }
        StatusTexts::Pair& pair = pairs[0];
        pair.used = true;
        for (int k = 0; k < 3; ++k)
            pair.colour[k] = sources[0].colour[k];
        pair.at = std::string(watts ? "@W:" : "@dBm:") + threeDigits(value) + "%";
        pair.delta = std::string(watts ? "ΔW:" : "ΔdBm:") + threeDigits(d) + "%";
    }
}

StatusTexts StatusReadouts::compute(const SpectrumSettings& m, float plotWidth, float plotHeight) {
    StatusTexts texts;
    texts.amplitude = amplitudeText(m);
    texts.division = divisionText(m);
    texts.trigger = triggerText(m);
    if (m.cursors.cursorsShown) {
        positionTexts(m, plotWidth, texts.cursorX, texts.cursorDeltaX);
        levelTexts(m, plotHeight, texts.pairs);
    }
    return texts;
}
