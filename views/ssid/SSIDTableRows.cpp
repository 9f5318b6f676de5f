#include "views/ssid/SSIDTableRows.h"

#include "model/AccessPoint.h"

void SSIDTableRows::rebuild(const std::vector<std::unique_ptr<AccessPoint>>& list, int band) {
    band24_.clear();
    band5_.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i]) {
            continue;
        }
        if (list[i]->is5GHz == 0) {
            band24_.push_back(i);
        } else if (list[i]->is5GHz == 1) {
            band5_.push_back(i);
        }
    }
    fiveFirst_ = band == 1;
}

size_t SSIDTableRows::rowCount() const {
    const size_t a = (fiveFirst_ ? band5_ : band24_).size();
    const size_t b = (fiveFirst_ ? band24_ : band5_).size();
    return (a == 0 ? 3 : a + 2) + (b == 0 ? 1 : b);
}

SSIDTableRows::Row SSIDTableRows::row(long index) const {
    const std::vector<size_t>& first = fiveFirst_ ? band5_ : band24_;
    const std::vector<size_t>& second = fiveFirst_ ? band24_ : band5_;
    Row r;
    if (index < 0) {
        return r;
    }
    size_t i = static_cast<size_t>(index);
    const size_t firstRows = first.empty() ? 1 : first.size();
    if (i == 0) {
        return Row{Kind::kHeader, fiveFirst_, 0};
    }
    if (i <= firstRows) {
        return first.empty() ? Row{Kind::kEmpty, fiveFirst_, 0}
                             : Row{Kind::kAccessPoint, fiveFirst_, first[i - 1]};
    }
    i -= firstRows + 1;
    if (i == 0) {
        return Row{Kind::kHeader, !fiveFirst_, 0};
    }
    if (second.empty()) {
        return i == 1 ? Row{Kind::kEmpty, !fiveFirst_, 0} : r;
    }
    return i <= second.size() ? Row{Kind::kAccessPoint, !fiveFirst_, second[i - 1]} : r;
}
