#include "views/ssid/UtilizationTableRows.h"

#include "model/AccessPoint.h"
#include "model/AccessPointSelection.h"

void UtilizationTableRows::rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list,
                                   const ScanStatistics& statistics) {
    selected_.clear();
    others_.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i] || list[i]->is5GHz != 0) {
            continue;
        }
        (AccessPointSelection::contains(statistics, list[i]->bssid) ? selected_ : others_)
            .push_back(i);
    }
}

size_t UtilizationTableRows::rowCount() const {
    return (selected_.empty() ? 1 : selected_.size()) + (others_.empty() ? 1 : others_.size()) + 2;
}

UtilizationTableRows::Row UtilizationTableRows::row(long index) const {
    if (index < 0) {
        return Row{};
    }
    size_t i = static_cast<size_t>(index);
    const size_t firstRows = selected_.empty() ? 1 : selected_.size();
    if (i == 0) {
        return Row{Kind::kHeader, true, 0};
    }
    if (i <= firstRows) {
        return selected_.empty() ? Row{Kind::kEmpty, true, 0}
                                 : Row{Kind::kAccessPoint, true, selected_[i - 1]};
    }
    i -= firstRows + 1;
    if (i == 0) {
        return Row{Kind::kHeader, false, 0};
    }
    if (others_.empty()) {
        return i == 1 ? Row{Kind::kEmpty, false, 0} : Row{};
    }
    return i <= others_.size() ? Row{Kind::kAccessPoint, false, others_[i - 1]} : Row{};
}
