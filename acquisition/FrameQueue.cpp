#include "acquisition/FrameQueue.h"

#include <algorithm>
#include <iterator>
#include <utility>

void FrameQueue::push(LinkFrame frame) {
    std::lock_guard<std::mutex> guard(lock_);
    pushLocked(std::move(frame));
}

std::vector<float> FrameQueue::pushSweep(SweepFrame sweep) {
    std::lock_guard<std::mutex> guard(lock_);
    pushLocked(std::move(sweep));
    if (spares_.empty())
        return {};
    std::vector<float> buffer = std::move(spares_.back());
    spares_.pop_back();
    return buffer;
}

void FrameQueue::pushLocked(LinkFrame&& frame) {
    if (frames_.size() >= kMaxFrames) {
        auto measurement = std::find_if(frames_.begin(), frames_.end(), [](const LinkFrame& f) {
            return !std::holds_alternative<LinkEvent>(f);
        });
        auto victim = measurement != frames_.end() ? measurement : frames_.begin();
        if (auto* sweep = std::get_if<SweepFrame>(&*victim))
            keepSpare(std::move(sweep->levels));
        frames_.erase(victim);
        ++dropped_;
    }
    frames_.push_back(std::move(frame));
}

std::vector<LinkFrame> FrameQueue::take() {
    std::vector<LinkFrame> taken;
    takeInto(taken);
    return taken;
}

void FrameQueue::takeInto(std::vector<LinkFrame>& into) {
    into.clear();
    std::lock_guard<std::mutex> guard(lock_);
    into.reserve(frames_.size());
    for (LinkFrame& frame : frames_)
        into.push_back(std::move(frame));
    frames_.clear();
}

uint64_t FrameQueue::dropped() const {
    std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}

void FrameQueue::recycle(std::vector<LinkFrame>& applied) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (LinkFrame& frame : applied) {
            if (auto* sweep = std::get_if<SweepFrame>(&frame))
                keepSpare(std::move(sweep->levels));
        }
    }
    applied.clear();
}

size_t FrameQueue::spareBuffers() const {
    std::lock_guard<std::mutex> guard(lock_);
    return spares_.size();
}

void FrameQueue::keepSpare(std::vector<float>&& levels) {
    // Buffers that never held anything are not worth keeping; more spares than the queue holds
    // frames would never be used.
    if (levels.capacity() == 0 || spares_.size() >= kMaxFrames)
        return;
    spares_.push_back(std::move(levels));
}
