#include "menus/AttenuationRanges.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"

std::unique_ptr<ValueTablePickerSource> AttenuationRanges::internalRows(int stepCount) {
    const int last = std::clamp(stepCount - 1, 0, kLastSendableStep);
    std::vector<ValueTablePickerSource::Entry> entries;
    for (int step = 0; step <= last; ++step)
        entries.push_back(
            {static_cast<double>(step), SpectrumSettings::internalAttenuationLabel(step)});
    return std::make_unique<ValueTablePickerSource>(std::move(entries));
}

std::unique_ptr<NumericRangePickerSource> AttenuationRanges::externalRows() {
    return std::make_unique<NumericRangePickerSource>(0.0, kExternalMax, 1.0, [](double value) {
        return externalText(static_cast<float>(value));
    });
}

std::string AttenuationRanges::externalText(float decibels) {
    if (std::isnan(decibels))
        return "--";
    return formatFixed2(decibels) + " dB";
}
