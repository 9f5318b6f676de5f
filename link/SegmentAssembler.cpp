#include "link/SegmentAssembler.h"

#include <algorithm>

#include "protocol/AccessoryProtocol.h"

void SegmentAssembler::clear() {
    // The points stay: a trace's every point is written again before it completes.
    present_ = 0;
    held_ = 0;
    segmentCount_ = 0;
    segmentPoints_ = 0;
    complete_ = false;
}

void SegmentAssembler::swapValues(std::vector<float>& buffer) {
    values_.swap(buffer);
    clear();
}

SegmentAssembler::Result SegmentAssembler::add(const AccessoryProtocol& protocol,
                                               const float* values, size_t count, int segment,
                                               int segmentCount) {
    if (values == nullptr) {
        if (complete_)
            clear();
        return Result::kDropped;
    }
    return addDecoded(protocol, count, segment, segmentCount,
                      [values, count](float* out, size_t stride) {
                          if (stride == 1) {
                              std::copy(values, values + count, out);
                              return;
                          }
                          for (size_t k = 0; k < count; ++k, out += stride)
                              *out = values[k];
                      });
}

float* SegmentAssembler::beginSegment(const AccessoryProtocol& protocol, size_t count, int segment,
                                      int segmentCount, size_t* stride) {
    if (complete_) {
        clear();
    }
    if (count == 0 || segment < 0 || segment >= segmentCount || segmentCount > kMaxSegments) {
        return nullptr;
    }
    if (segment == 0 && held_ > 0) {
        clear();
    }
    const size_t n = static_cast<size_t>(segmentCount);
    const uint64_t bit = uint64_t{1} << segment;
    // A repeated index means a segment of this trace was lost; keeping the trace would leave
    // stale values where the missing one belongs.
    if (held_ > 0 && (count != segmentPoints_ || n != segmentCount_ || (present_ & bit) != 0)) {
        clear();
        return nullptr;
    }
    size_t first = 0;
    if (!protocol.segmentPlace(segment, count, n, &first, stride)) {
        clear();
        return nullptr;
    }
    if (held_ == 0) {
        segmentCount_ = n;
        segmentPoints_ = count;
        // Every point is written by exactly one segment before the trace completes.
        values_.resize(count * n);
    }
    return values_.data() + first;
}

SegmentAssembler::Result SegmentAssembler::endSegment(int segment) {
    present_ |= uint64_t{1} << segment;
    if (++held_ < segmentCount_) {
        return Result::kPending;
    }
    complete_ = true;
    held_ = 0;
    return Result::kComplete;
}
