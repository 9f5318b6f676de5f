#include "publish/PowerJson.h"

#include <cmath>
#include <cstdio>

namespace {

void appendNumber(std::string& line, const char* name, double value) {
    char text[64];
    if (std::isfinite(value)) {
        std::snprintf(text, sizeof text, ",\"%s\":%.9g", name, value);
    } else {
        std::snprintf(text, sizeof text, ",\"%s\":null", name);
    }
    line += text;
}

}  // namespace

namespace PowerJson {

std::string measurements(const std::string& head, size_t samples, double dt,
                         const PulseMeasurement::Results& r) {
    using P = PulseMeasurement;
    struct Field {
        const char* name;
        int id;
    };
    static const Field fields[] = {
        {"period", P::kPeriod},
        {"frequency", P::kFrequency},
        {"riseTime", P::kRiseTime},
        {"fallTime", P::kFallTime},
        {"dutyPlus", P::kDutyPlus},
        {"dutyMinus", P::kDutyMinus},
        {"pulsePlus", P::kPulsePlus},
        {"pulseMinus", P::kPulseMinus},
        {"peakToPeak", P::kPeakToPeak},
        {"max", P::kMax},
        {"min", P::kMin},
        {"mean", P::kMean},
        {"cycleMean", P::kCycleMean},
        {"rms", P::kRms},
        {"cycleRms", P::kCycleRms},
    };
    std::string line = "{" + head + ",\"samples\":" + std::to_string(samples);
    appendNumber(line, "dt", dt);
    for (const Field& f : fields) {
        appendNumber(line, f.name, r[static_cast<size_t>(f.id)]);
    }
    return line + "}";
}

}  // namespace PowerJson
