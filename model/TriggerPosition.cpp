#include "model/TriggerPosition.h"

#include <algorithm>
#include <cmath>

float TriggerPosition::screenSeconds(float secondsPerDivision) {
    const float span = kDivisions * secondsPerDivision;
    return std::isfinite(span) && span > 0.f ? span : 1.f;
}

float TriggerPosition::x(float width, float secondsPerDivision, float delay) {
    return width / 2.f + width / screenSeconds(secondsPerDivision) * delay;
}

float TriggerPosition::delayForShift(float width, float secondsPerDivision, float dx) {
    return dx * screenSeconds(secondsPerDivision) / width;
}

float TriggerPosition::minDelay(float secondsPerDivision) {
    return -screenSeconds(secondsPerDivision) / 2.f;
}

float TriggerPosition::maxDelay(float secondsPerDivision) {
    return screenSeconds(secondsPerDivision) / 2.f;
}

float TriggerPosition::clampDelay(float delay, float secondsPerDivision) {
    if (std::isnan(delay))
        return delay;
    return std::clamp(delay, minDelay(secondsPerDivision), maxDelay(secondsPerDivision));
}
