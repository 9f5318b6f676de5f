#include "model/SweepRing.h"

#include <algorithm>
#include <cstring>

namespace {

// The first block holds this many rows; a history of a few sweeps stays small.
constexpr int kFirstCapacity = 8;

}  // namespace

SweepRing::SweepRing(int rowWidth) : rowWidth_(std::max(rowWidth, 1)) {}

int SweepRing::dropOldest(int count) {
    const int dropped = std::clamp(count, 0, size_);
    if (dropped == size_) {
        clear();
        return dropped;
    }
    head_ = static_cast<int>(physical(dropped));
    size_ -= dropped;
    return dropped;
}

float* SweepRing::pushBack(int capacityLimit) {
    if (size_ == capacity_) {
        grow(capacityLimit);
    }
    float* row = block_.data() + physical(size_) * static_cast<size_t>(rowWidth_);
    ++size_;
    return row;
}

void SweepRing::grow(int capacityLimit) {
    int capacity = std::max(kFirstCapacity, capacity_ * 2);
    if (capacityLimit > 0) {
        capacity = std::min(capacity, capacityLimit);
    }
    capacity = std::max(capacity, size_ + 1);
    const size_t width = static_cast<size_t>(rowWidth_);
    std::vector<float> block(static_cast<size_t>(capacity) * width);
    for (int i = 0; i < size_; ++i) {
        std::memcpy(block.data() + static_cast<size_t>(i) * width, row(i), width * sizeof(float));
    }
    block_.swap(block);
    capacity_ = capacity;
    head_ = 0;
}
