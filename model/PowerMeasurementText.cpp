#include "model/PowerMeasurementText.h"

#include <cmath>

#include "model/PowerConversions.h"
#include "model/ValueFormatting.h"

namespace {

using P = PulseMeasurement;

enum class Kind { kNone, kTime, kFrequency, kPercent, kLevel, kPeakToPeak };

struct Row {
    const char* name;
    Kind kind;
    bool lowFrequencyWhenUndefined;  // "Low Freq" rather than "--"
};

constexpr Row kRows[kPulseMeasurementCount] = {
    {"Period", Kind::kTime, true},         {"Freq", Kind::kFrequency, true},
    {"Delay", Kind::kNone, false},         {"Rise Time", Kind::kTime, false},
    {"Fall Time", Kind::kTime, false},     {"Duty (+)", Kind::kPercent, true},
    {"Duty (-)", Kind::kPercent, true},    {"Pulse (+)", Kind::kTime, true},
    {"Pulse (-)", Kind::kTime, true},      {"Burst Width", Kind::kNone, false},
    {"Phase", Kind::kNone, false},         {"Overshoot (+)", Kind::kNone, false},
    {"Overshoot (-)", Kind::kNone, false}, {"P-P", Kind::kPeakToPeak, false},
    {"Amplitude", Kind::kNone, false},     {"High", Kind::kNone, false},
    {"Low", Kind::kNone, false},           {"Max", Kind::kLevel, false},
    {"Min", Kind::kLevel, false},          {"Mean", Kind::kLevel, false},
    {"Cycle Mean", Kind::kLevel, true},    {"RMS", Kind::kLevel, false},
    {"Cycle RMS", Kind::kLevel, true},
};

std::string watts(float value) {
    return formatEngineering(value, 2) + "W";
}

std::string level(float dbm, bool inWatts) {
    if (inWatts) {
        return watts(dbmToMilliwatts(dbm) * 0.001f);
    }
    return formatFixed2(dbm) + "dBm";
}

}  // namespace

const char* PowerMeasurementText::name(int id) {
    return isMeasurement(id) ? kRows[id].name : "";
}

const char* PowerMeasurementText::longName(int id) {
    static const char* const kLongNames[kPulseMeasurementCount] = {
        "Period",
        "Frequency",
        "Delay",
        "Rise Time",
        "Fall Time",
        "Duty Cycle (+)",
        "Duty Cycle (-)",
        "Pulse Width (+)",
        "Pulse Width (-)",
        "Burst Width",
        "Phase",
        "Overshoot (+)",
        "Overshoot (-)",
        "Peak To Peak",
        "Amplitude",
        "High",
        "Low",
        "Max",
        "Min",
        "Mean",
        "Cycle Mean",
        "RMS",
        "Cycle RMS",
    };
    if (id == kNone) {
        return "None";
    }
    return isMeasurement(id) ? kLongNames[id] : "";
}

std::string PowerMeasurementText::value(int id, const PulseMeasurement::Results& results,
                                        float offset, bool inWatts) {
    float peakToPeakMilliwatts = NAN;
    if (id == P::kPeakToPeak) {
        peakToPeakMilliwatts =
            dbmToMilliwatts(results[P::kMax]) - dbmToMilliwatts(results[P::kMin]);
    }
    const float v = isMeasurement(id) ? results[static_cast<size_t>(id)] : NAN;
    return figure(id, v, peakToPeakMilliwatts, offset, inWatts);
}

std::string PowerMeasurementText::figure(int id, float v, float peakToPeakMilliwatts, float offset,
                                         bool inWatts) {
    if (!isMeasurement(id) || kRows[id].kind == Kind::kNone) {
        return "";
    }
    const Row& row = kRows[id];
    if (!std::isfinite(v) || !std::isfinite(offset)) {
        return row.lowFrequencyWhenUndefined ? "Low Freq" : "--";
    }
    switch (row.kind) {
        case Kind::kTime:
            return formatEngineering(v, 2) + "s";
        case Kind::kFrequency:
            return formatEngineering(v, 2) + "Hz";
        case Kind::kPercent:
            return formatEngineering(v, 2) + "%";
        case Kind::kLevel:
            return level(v + offset, inWatts);
        case Kind::kPeakToPeak:
            if (!inWatts) {
                return formatFixed2(v) + "dB";  // a difference of levels
            }
            if (!std::isfinite(peakToPeakMilliwatts)) {
                return "--";
            }
            // W(max + offset) - W(min + offset) = (W(max) - W(min)) x W(offset).
            return watts(peakToPeakMilliwatts * dbmToMilliwatts(offset) * 0.001f);
        case Kind::kNone:
            break;
    }
    return "";
}
