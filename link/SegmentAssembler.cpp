#include "link/SegmentAssembler.h"

#include <algorithm>

#include "protocol/AccessoryProtocol.h"

void SegmentAssembler::clear() {
    values_.clear();
    order_.clear();
    complete_ = false;
}

SegmentAssembler::Result SegmentAssembler::add(const AccessoryProtocol& protocol,
                                               const float* values, size_t count, int segment,
                                               int segmentCount) {
    if (complete_) {
        clear();
    }
    if (values == nullptr || count == 0 || segment < 0 || segment >= segmentCount) {
        return Result::kDropped;
    }
    if (segment == 0 && !order_.empty()) {
        clear();
    }
    // A repeated index means a segment of this trace was lost; reordering would leave stale
    // values where the missing one belongs.
    if (std::find(order_.begin(), order_.end(), segment) != order_.end()) {
        clear();
        return Result::kDropped;
    }
    if (!order_.empty() && count * order_.size() != values_.size()) {
        clear();
        return Result::kDropped;
    }
    values_.insert(values_.end(), values, values + count);
    order_.push_back(segment);
    if (static_cast<int>(order_.size()) < segmentCount) {
        return Result::kPending;
    }
    bool placed =
        protocol.reorderSegments(values_.data(), values_.size(), order_.data(), order_.size());
    if (!placed) {
        clear();
        return Result::kDropped;
    }
    complete_ = true;
    order_.clear();
    return Result::kComplete;
}
