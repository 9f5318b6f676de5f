#include "acquisition/FrameQueue.h"

#include <iterator>

void FrameQueue::push(SweepFrame frame) {
    std::lock_guard<std::mutex> guard(lock_);
    if (frames_.size() >= kMaxFrames) {
        frames_.pop_front();
        ++dropped_;
    }
    frames_.push_back(std::move(frame));
}

std::vector<SweepFrame> FrameQueue::take() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<SweepFrame> taken(std::make_move_iterator(frames_.begin()),
                                  std::make_move_iterator(frames_.end()));
    frames_.clear();
    return taken;
}

void FrameQueue::discard() {
    std::lock_guard<std::mutex> guard(lock_);
    frames_.clear();
}

uint64_t FrameQueue::dropped() const {
    std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}
