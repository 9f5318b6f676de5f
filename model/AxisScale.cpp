#include "model/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/TriggerPosition.h"
#include "model/ValueFormatting.h"

namespace {

// Band edges of the spectrum views, in MHz.
constexpr float kLow24 = 2400.0f;
constexpr float kHigh24 = 2500.0f;
constexpr float kLow5 = 5145.0f;
constexpr float kHigh5 = 5860.0f;
constexpr float kWaterfallRows = 500.0f;  // sweeps that fill the waterfall at time scale 1

// Whole numbers without decimals; anything else with one.
std::string plain(float value) {
    char text[32];
    const float rounded = std::round(value);
    if (std::fabs(value - rounded) < 0.05f)
        std::snprintf(text, sizeof text, "%.0f", rounded == 0.0f ? 0.0f : rounded);
    else
        std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

int timeScaleFactor(int index) {
    return index == 1 ? 2 : index == 2 ? 5 : 1;
}

}  // namespace

bool AxisScale::Axis::valid() const {
    return divisions > 0 && std::isfinite(first) && std::isfinite(last) && first != last;
}

float AxisScale::valueAt(const Axis& axis, int division) {
    return axis.first + (axis.last - axis.first) * static_cast<float>(division) /
                            static_cast<float>(axis.divisions);
}

std::string AxisScale::text(const Axis& axis, float value) {
    if (!std::isfinite(value))
        return "--";
    switch (axis.quantity) {
        case Quantity::kFrequency:
            return plain(value);
        case Quantity::kLevel:
            if (axis.watts)
                return formatEngineering(dbmToMilliwatts(value) * 0.001f, 1) + "W";
            return plain(value);
        case Quantity::kTime: {
            // Rounding noise of the division arithmetic must not print "-0.0 ns".
            const float span = std::fabs(axis.last - axis.first);
            if (std::fabs(value) < span * 1e-4f)
                return "0 s";
            return formatEngineering(value, 1) + "s";
        }
    }
    return "";
}

std::string AxisScale::unit(const Axis& axis) {
    switch (axis.quantity) {
        case Quantity::kFrequency:
            return "MHz";
        case Quantity::kLevel:
            return axis.watts ? "" : "dBm";
        case Quantity::kTime:
            return "";
    }
    return "";
}

std::vector<AxisScale::Tick> AxisScale::ticks(const Axis& axis, int stride) {
    std::vector<Tick> out;
    if (!axis.valid() || stride <= 0)
        return out;
    for (int i = 0; i <= axis.divisions; i += stride) {
        const float value = valueAt(axis, i);
        out.push_back(Tick{i, value, text(axis, value)});
    }
    return out;
}

int AxisScale::strideFor(int divisions, float divisionLength, float needed) {
    if (divisions <= 0 || !(divisionLength > 0.0f))
        return 0;
    for (int stride = 1; stride <= divisions; ++stride) {
        if (divisions % stride == 0 && divisionLength * static_cast<float>(stride) >= needed)
            return stride;
    }
    return 0;
}

float AxisScale::position(float length, int division, int divisions, float inset) {
    return (length - 2.0f * inset) * static_cast<float>(division) / static_cast<float>(divisions) +
           inset;
}

AxisScale::Axis AxisScale::spectrumFrequency(int band) {
    Axis axis;
    axis.quantity = Quantity::kFrequency;
    axis.first = band == 1 ? kLow5 : kLow24;
    axis.last = band == 1 ? kHigh5 : kHigh24;
    axis.divisions = kDivisionsAcross;
    return axis;
}

AxisScale::Axis AxisScale::spectrumLevel(const SpectrumSettings& model, int band) {
    const AccessoryDescription& d = model.accessory;
    const float offset = model.amplitudeOffset();
    Axis axis;
    axis.quantity = Quantity::kLevel;
    axis.first = (band == 1 ? d.levelMin5 : d.levelMin24) + offset;
    axis.last = (band == 1 ? d.levelMax5 : d.levelMax24) + offset;
    axis.divisions = kDivisionsUp;
    axis.watts = model.common_settings.powerUnitsWatts == 1;
    return axis;
}

AxisScale::Axis AxisScale::waterfallTime(const SpectrumSettings& model, int band) {
    const AccessoryDescription& d = model.accessory;
    const float option = band == 1 ? d.optionBytes[2] : d.optionBytes[1];
    const float interval = band == 1 ? d.spectrumInterval5 : d.spectrumInterval24;
    const float k =
        static_cast<float>(timeScaleFactor(model.spectrum_settings.waterfallTimeScaleIndex));
    Axis axis;
    axis.quantity = Quantity::kTime;
    axis.first = -option * interval * kWaterfallRows / k;
    axis.last = 0.0f;
    axis.divisions = kDivisionsUp;
    return axis;
}

float AxisScale::triggerFraction(const SpectrumSettings& model) {
    // The same placement the delay marker and the cursor times use.
    return std::clamp(
        TriggerPosition::x(1.0f, model.timeBaseNow(), model.power_setting.triggerDelay), 0.0f,
        1.0f);
}

AxisScale::Axis AxisScale::powerTime(const SpectrumSettings& model) {
    const float across = model.timeBaseNow() * static_cast<float>(kDivisionsAcross);
    Axis axis;
    axis.quantity = Quantity::kTime;
    axis.divisions = kDivisionsAcross;
    if (model.isRolling()) {
        axis.first = -across;
        axis.last = 0.0f;
        return axis;
    }
    const float trigger = triggerFraction(model);
    axis.first = -trigger * across;
    axis.last = (1.0f - trigger) * across;
    return axis;
}

AxisScale::Axis AxisScale::powerLevel(const SpectrumSettings& model) {
    const float offset = model.amplitudeOffset();
    Axis axis;
    axis.quantity = Quantity::kLevel;
    axis.first = model.accessory.powerAxisMin + offset;
    axis.last = model.accessory.powerAxisMax + offset;
    axis.divisions = kDivisionsUp;
    axis.watts = model.common_settings.powerUnitsWatts == 1;
    return axis;
}
