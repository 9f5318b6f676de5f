#include "views/ssid/LevelGlide.h"

#include <cmath>

#include "model/AccessPoint.h"

float LevelGlide::step(AccessPoint& ap, float dt) {
    const float target = ap.rssi;
    if (!std::isfinite(target)) {
        return ap.levelB;
    }
    if (!std::isfinite(ap.levelA) || !std::isfinite(ap.levelB) || !std::isfinite(ap.previousRssi)) {
        ap.previousRssi = target;
        ap.levelA = target;
        ap.levelB = target;
        return target;
    }
    if (ap.previousRssi != target) {
        // A new scan: glide from what is shown now.
        ap.previousRssi = target;
        ap.levelA = ap.levelB;
    }
    if (ap.levelB == target || !(dt > 0.0f) || !std::isfinite(dt)) {
        return ap.levelB;
    }
    if (ap.levelA == target || (target - ap.levelA) * (target - ap.levelB) <= 0.0f) {
        // The start lies on the target or beyond the shown level: start again from what is shown.
        ap.levelA = ap.levelB;
    }
    const float next = ap.levelB + (target - ap.levelA) * dt / kGlideSeconds;
    const bool reached = target > ap.levelA ? next >= target : next <= target;
    ap.levelB = reached ? target : next;
    return ap.levelB;
}
