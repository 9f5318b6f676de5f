#include "menus/MenuSliderScales.h"

#include <algorithm>
#include <cmath>

namespace {

float clampPercent(float percent) {
    return std::isnan(percent) ? 0.f : std::clamp(percent, 0.f, 100.f);
}

// A linear setting 0..top over 0..100 %.
float linearValue(float percent, float top) {
    return std::clamp(clampPercent(percent) * top / 100.f, 0.f, top);
}

float linearPercent(float value, float top) {
    if (std::isnan(value))
        return 0.f;
    return std::round(std::clamp(value, 0.f, top) * 100.f / top);
}

}  // namespace

float MenuSliderScales::refreshForPercent(float percent) {
    const double b = 1.2 * clampPercent(percent);
    if (b <= 0)
        return 0.f;
    if (b >= 120)
        return 120.f;
    // The epsilon keeps 1.2 × 25 from landing a hair under 30 and flooring to 20.
    return static_cast<float>(std::max(20.0, 10.0 * std::floor(b / 10.0 + 1e-9)));
}

float MenuSliderScales::percentForRefresh(float seconds) {
    if (std::isnan(seconds) || seconds <= 0.f)
        return 0.f;
    // The middle of the positions that write this 10 s step, so none shows a step lower.
    const float v = std::min(seconds, 120.f);
    return std::clamp(std::round((10.f * std::floor(v / 10.f) + 5.f) / 1.2f), 1.f, 100.f);
}

float MenuSliderScales::holdForPercent(float percent) {
    return linearValue(percent, 3.f);
}

float MenuSliderScales::percentForHold(float seconds) {
    return linearPercent(seconds, 3.f);
}

float MenuSliderScales::decayForPercent(float percent) {
    return linearValue(percent, 10.f);
}

float MenuSliderScales::percentForDecay(float step) {
    return linearPercent(step, 10.f);
}

float MenuSliderScales::averageForPercent(float percent) {
    return linearValue(percent, 4.f);
}

float MenuSliderScales::percentForAverage(float seconds) {
    return linearPercent(seconds, 4.f);
}

int MenuSliderScales::peakCountForPercent(float percent) {
    // 20 % per marker; the epsilon keeps 60 % from reading 2.9999.
    return static_cast<int>(std::floor(0.05 * clampPercent(percent) + 1e-9));
}

float MenuSliderScales::percentForPeakCount(float count) {
    if (std::isnan(count))
        return 0.f;
    return std::clamp(std::floor(count), 0.f, 5.f) * 20.f;
}
