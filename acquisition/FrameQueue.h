#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "acquisition/SweepFrame.h"

// The hand-off between the thread that decodes measurements (the link's I/O thread, or the worker
// while it plays the demonstration) and the thread that owns the model: the decoder pushes
// finished frames, the owner takes them all at once, in order. Nothing else crosses. Bounded, so
// an owner that stops taking (a stalled window) costs memory only up to the limit; the oldest
// frames go first and are counted.
class FrameQueue {
  public:
    static constexpr size_t kMaxFrames = 512;

    void push(SweepFrame frame);
    // Every frame pushed since the last call, oldest first.
    std::vector<SweepFrame> take();
    // Drops what is queued: the frames of a configuration whose data was just cleared.
    void discard();
    uint64_t dropped() const;

  private:
    mutable std::mutex lock_;
    std::deque<SweepFrame> frames_;
    uint64_t dropped_ = 0;
};
