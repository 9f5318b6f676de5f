#include "app/PointerReadout.h"

#include <cmath>

#include "app/StatusReadouts.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"

namespace {

constexpr float kDivisions = 10.f;

}  // namespace

PointerReadout PointerReadout::at(const SpectrumSettings& model, const engine::Rect& plot,
                                  const engine::Vec2& point, float traceOffset) {
    PointerReadout r;
    r.inside = plot.size.width > 0 && plot.size.height > 0 && plot.containsPoint(point);
    if (!r.inside)
        return r;
    const float u = (point.x - plot.origin.x) / plot.size.width;
    const float y = point.y - plot.origin.y;
    const AccessoryDescription& a = model.accessory;
    const float offset = model.amplitudeOffset();
    r.spectrum = model.common_settings.spectrumMode != CommonSettings::kPowerMode;
    if (r.spectrum) {
        const int band = model.spectrum_settings.band;
        r.x = StatusReadouts::lowEdgeMHz(band) + u * StatusReadouts::spanMHz(band);
        const float bottom = band == 1 ? a.levelMin5 : a.levelMin24;
        const float top = band == 1 ? a.levelMax5 : a.levelMax24;
        r.level = bottom + offset + y / plot.size.height * (top - bottom);
        return r;
    }
    // As the power view draws: the trigger point half way across, moved by the delay.
    const float span = model.timeBaseNow() * kDivisions;
    const float trigger = 0.5f - model.power_setting.triggerDelay / (span > 0 ? span : NAN);
    r.x = span > 0 ? (u - trigger) * span : NAN;
    r.level = a.powerAxisMin + offset +
              (y - traceOffset) / plot.size.height * (a.powerAxisMax - a.powerAxisMin);
    return r;
}

std::string PointerReadout::text() const {
    if (!inside)
        return {};
    const std::string dbm = std::isfinite(level) ? formatFixed2(level) + " dBm" : "--";
    if (spectrum)
        return formatFixed2(x) + " MHz  " + dbm;
    const std::string time = std::isfinite(x) ? formatEngineering(x, 2) + "s" : "--";
    return "t: " + time + "  " + dbm;
}
