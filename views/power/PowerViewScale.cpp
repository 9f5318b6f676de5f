#include "views/power/PowerViewScale.h"

#include <algorithm>
#include <cmath>

#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/TriggerPosition.h"
#include "model/ValueFormatting.h"

namespace {

constexpr float kDivisions = 10.f;

}  // namespace

bool PowerViewScale::held(const SpectrumSettings& model) {
    const int run = model.runtime.runState;
    return run == SpectrumSettings::kPaused || run == SpectrumSettings::kSingleShotTaken;
}

float PowerViewScale::secondsPerDivision(const SpectrumSettings& model) {
    const float t = model.timeBaseNow();
    return t > 0.f && std::isfinite(t) ? t : 1.f / kDivisions;
}

float PowerViewScale::levelY(const SpectrumSettings& model, float height, float level) {
    const AccessoryDescription& a = model.accessory;
    const float scale = height / (a.powerAxisMax - a.powerAxisMin);
    const float offset = model.power_channel.offset;
    return scale * (level - (a.powerAxisMin + model.amplitudeOffset())) +
           (std::isfinite(offset) ? offset : 0.f);
}

float PowerViewScale::delayX(const SpectrumSettings& model, float width, float delay) {
    return TriggerPosition::x(width, secondsPerDivision(model), delay);
}

std::string PowerViewScale::levelText(float dbm, bool watts) {
    if (!std::isfinite(dbm)) {
        return "--";
    }
    if (watts) {
        return formatThreeDigits(dbmToMilliwatts(dbm) * 0.001f) + "W";
    }
    return formatFixed2(dbm) + "dBm";
}

uint8_t PowerViewScale::opacity(float fade) {
    return static_cast<uint8_t>(std::clamp(fade, 0.f, 1.f) * 255.f);
}
