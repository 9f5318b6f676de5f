#include "menus/ValueTablePickerSource.h"

#include <algorithm>
#include <cmath>

namespace {

// Table values are written as decimal literals; a stored float of the same value differs in
// the last bits.
bool sameValue(double a, double b) {
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

}  // namespace

int ValueTablePickerSource::find(double value) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (sameValue(value, entries_[i].value))
            return static_cast<int>(i);
    }
    return -1;
}

std::string ValueTablePickerSource::titleForRow(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return entries_[row].title;
}

double ValueTablePickerSource::valueForRow(int row) const {
    if (entries_.empty())
        return 0;
    return entries_[std::clamp(row, 0, rowCount() - 1)].value;
}

int ValueTablePickerSource::rowForValue(double value) const {
    return std::max(0, find(value));
}

bool ValueTablePickerSource::contains(double value) const {
    return find(value) >= 0;
}
