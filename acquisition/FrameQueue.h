#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "acquisition/LinkFrame.h"

// The hand-off between the threads that decode and drive the accessory (the link's I/O thread,
// the worker) and the thread that owns the model: they push finished frames, the owner takes them
// all at once, in order. Nothing else crosses. Bounded, so an owner that stops taking (a stalled
// window) costs memory only up to the limit: the oldest measurements go first and are counted;
// events, which are few, are kept while any measurement can go instead.
class FrameQueue {
  public:
    static constexpr size_t kMaxFrames = 512;

    void push(LinkFrame frame);
    // Every frame pushed since the last call, oldest first.
    std::vector<LinkFrame> take();
    uint64_t dropped() const;

  private:
    mutable std::mutex lock_;
    std::deque<LinkFrame> frames_;
    uint64_t dropped_ = 0;
};
