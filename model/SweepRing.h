#pragma once

#include <cstddef>
#include <vector>

// Rows of a fixed number of floats, oldest first, in one block that is reused: a row appended at
// the limit takes the place of the oldest, so appending costs one row whatever the history holds
// (dropping the oldest of 510 rows by moving the others cost a megabyte of copying per sweep).
// Each row is contiguous; consecutive rows are not, so readers go row by row through row().
class SweepRing {
  public:
    explicit SweepRing(int rowWidth);

    int rowWidth() const { return rowWidth_; }
    int size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Rows the block holds before it has to grow.
    int capacity() const { return capacity_; }

    // Oldest first; nullptr outside 0..size()-1.
    const float* row(int index) const {
        if (index < 0 || index >= size_) {
            return nullptr;
        }
        return block_.data() + physical(index) * static_cast<size_t>(rowWidth_);
    }

    // Drops the `count` oldest rows (all of them when count >= size()); returns how many went.
    int dropOldest(int count);

    // Adds a row after the newest and returns it for the caller to fill (its old contents are
    // left over from a dropped row). A full block grows, to at most `capacityLimit` rows when
    // that is positive, or by doubling; growing copies the rows once, oldest first.
    float* pushBack(int capacityLimit);

    // Forgets every row; the block is kept for the rows to come.
    void clear() {
        head_ = 0;
        size_ = 0;
    }

  private:
    size_t physical(int index) const {
        size_t at = static_cast<size_t>(head_) + static_cast<size_t>(index);
        const size_t capacity = static_cast<size_t>(capacity_);
        return at >= capacity ? at - capacity : at;
    }
    void grow(int capacityLimit);

    int rowWidth_;
    int capacity_ = 0;
    int head_ = 0;  // block row of the oldest row
    int size_ = 0;
    std::vector<float> block_;
};
