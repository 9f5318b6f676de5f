#include "publish/PowerJson.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// The shortest text that reads back to the same value (0.05f is "0.05", not "0.0500000007");
// measurements are floats, the sample interval a double.
template <typename Number>
void appendNumber(std::string& line, const char* name, Number value) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    line += ",\"";
    line += name;
    line += "\":";
    if (std::isfinite(value) && error == std::errc()) {
        line.append(text, end);
    } else {
        line += "null";
    }
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
