#include "views/ssid/SSIDTableSections.h"

void SSIDTableSections::rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list, int band) {
    fiveFirst_ = band == 1;
    first_.clear();
    second_.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        const AccessPoint* ap = list[i].get();
        if (!ap || (ap->is5GHz != 0 && ap->is5GHz != 1))
            continue;
        const bool five = ap->is5GHz == 1;
        (five == fiveFirst_ ? first_ : second_).push_back(i);
    }
}

ssize_t SSIDTableSections::rowCount() const {
    const auto a = static_cast<ssize_t>(first_.size());
    const auto b = static_cast<ssize_t>(second_.size());
    return (a == 0 ? 3 : a + 2) + (b == 0 ? 1 : b);
}

SSIDTableSections::Row SSIDTableSections::row(ssize_t idx) const {
    if (idx < 0)
        return {};
    const auto a = static_cast<ssize_t>(first_.size());
    const auto b = static_cast<ssize_t>(second_.size());
    const ssize_t firstRows = 1 + (a == 0 ? 1 : a);
    if (idx < firstRows) {
        if (idx == 0)
            return {RowKind::kHeader, fiveFirst_, 0};
        if (a == 0)
            return {RowKind::kEmpty, fiveFirst_, 0};
        return {RowKind::kAccessPoint, fiveFirst_, first_[static_cast<size_t>(idx - 1)]};
    }
    idx -= firstRows;
    if (idx == 0)
        return {RowKind::kHeader, !fiveFirst_, 0};
    if (b == 0)
        return idx == 1 ? Row{RowKind::kEmpty, !fiveFirst_, 0} : Row{};
    if (idx - 1 < b)
        return {RowKind::kAccessPoint, !fiveFirst_, second_[static_cast<size_t>(idx - 1)]};
    return {};
}
