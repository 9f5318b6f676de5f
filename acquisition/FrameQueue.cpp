#include "acquisition/FrameQueue.h"

#include <algorithm>
#include <iterator>

void FrameQueue::push(LinkFrame frame) {
    std::lock_guard<std::mutex> guard(lock_);
    if (frames_.size() >= kMaxFrames) {
        auto measurement = std::find_if(frames_.begin(), frames_.end(), [](const LinkFrame& f) {
            return !std::holds_alternative<LinkEvent>(f);
        });
        frames_.erase(measurement != frames_.end() ? measurement : frames_.begin());
        ++dropped_;
    }
    frames_.push_back(std::move(frame));
}

std::vector<LinkFrame> FrameQueue::take() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<LinkFrame> taken(std::make_move_iterator(frames_.begin()),
                                 std::make_move_iterator(frames_.end()));
    frames_.clear();
    return taken;
}

uint64_t FrameQueue::dropped() const {
    std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}
