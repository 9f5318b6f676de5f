#include "menus/TriggerValueRanges.h"

#include <cmath>
#include <vector>

#include "model/ValueFormatting.h"

std::string TriggerValueRanges::secondsText(float seconds) {
    if (std::isnan(seconds))
        return "--";
    return formatEngineering(seconds, 2) + "s";
}

std::string TriggerValueRanges::levelText(float dbm) {
    if (std::isnan(dbm))
        return "--";
    return formatFixed2(dbm) + "dBm";
}

std::unique_ptr<NumericRangePickerSource> TriggerValueRanges::delayRows(float secondsPerDivision) {
    const double division = std::isfinite(secondsPerDivision) && secondsPerDivision > 0
                                ? secondsPerDivision
                                : kFallbackSecondsPerDivision;
    return std::make_unique<NumericRangePickerSource>(
        -5 * division, 5 * division, 0.5 * division,
        [](double value) { return secondsText(static_cast<float>(value)); });
}

std::unique_ptr<ValueTablePickerSource> TriggerValueRanges::holdoffRows() {
    std::vector<ValueTablePickerSource::Entry> entries;
    entries.push_back({0.0, secondsText(0.f)});
    double decade = 1e-6;
    for (int i = 0; i < 7; ++i, decade *= 10) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double value = mantissa * decade;
            entries.push_back({value, secondsText(static_cast<float>(value))});
        }
    }
    entries.push_back({10.0, secondsText(10.f)});
    return std::make_unique<ValueTablePickerSource>(std::move(entries));
}

bool TriggerValueRanges::levelRangeKnown(float axisMin, float axisMax) {
    return std::isfinite(axisMin) && std::isfinite(axisMax);
}

std::unique_ptr<NumericRangePickerSource> TriggerValueRanges::levelRows(float axisMin,
                                                                        float axisMax,
                                                                        float offset) {
    // An unknown axis gives an empty range (NaN ends make the source empty).
    double low = NAN;
    double high = NAN;
    if (levelRangeKnown(axisMin, axisMax) && std::isfinite(offset)) {
        // Whole half dBs inside the shown axis, so the rows read 0.50 apart whatever the
        // attenuation.
        low = std::ceil((axisMin + static_cast<double>(offset)) / kLevelStep) * kLevelStep;
        high = std::floor((axisMax + static_cast<double>(offset)) / kLevelStep) * kLevelStep;
    }
    return std::make_unique<NumericRangePickerSource>(
        low, high, kLevelStep, [](double value) { return levelText(static_cast<float>(value)); });
}
