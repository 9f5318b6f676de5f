#include "menus/NumericRangePickerSource.h"

#include <algorithm>
#include <cmath>

NumericRangePickerSource::NumericRangePickerSource(double first, double last, double step,
                                                   std::function<std::string(double)> format)
    : first_(first), step_(step), format_(std::move(format)) {
    if (std::isfinite(first) && std::isfinite(last) && std::isfinite(step) && step > 0 &&
        last >= first) {
        // The small slack keeps `last` itself when (last - first) / step lands just below a
        // whole number.
        const double spans = std::floor((last - first) / step + 1e-9);
        rows_ = static_cast<int>(std::min<double>(spans + 1, kMaxRows));
    }
}

std::string NumericRangePickerSource::titleForRow(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    const double value = valueForRow(row);
    return format_ ? format_(value) : std::to_string(value);
}

double NumericRangePickerSource::valueForRow(int row) const {
    if (rows_ == 0)
        return first_;
    return first_ + std::clamp(row, 0, rows_ - 1) * step_;
}

int NumericRangePickerSource::rowForValue(double value) const {
    if (rows_ == 0 || std::isnan(value))
        return 0;
    const double row = std::round((value - first_) / step_);
    return static_cast<int>(std::clamp(row, 0.0, static_cast<double>(rows_ - 1)));
}

bool NumericRangePickerSource::isOnGrid(double value) const {
    if (rows_ == 0 || !std::isfinite(value))
        return false;
    const double row = (value - first_) / step_;
    return row >= -1e-6 && row <= rows_ - 1 + 1e-6 && std::abs(row - std::round(row)) < 1e-6;
}
