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
//
// A sweep's levels travel in a buffer that comes back once the owner has applied it
// (recycle()) and is handed out again for a later sweep (pushSweep()), so a steady stream
// allocates nothing. The spares are never more than the most frames that were in flight at once;
// when none is spare (the owner lags) the decoder gets none and makes a new one: it never waits
// for the owner.
class FrameQueue {
  public:
    static constexpr size_t kMaxFrames = 512;

    void push(LinkFrame frame);
    // Every frame pushed since the last call, oldest first.
    std::vector<LinkFrame> take();
    // The same into `into` (emptied first), whose storage the caller keeps for the next call.
    void takeInto(std::vector<LinkFrame>& into);
    uint64_t dropped() const;

    // Pushes a sweep and, under the same lock, hands back a buffer the owner gave back for the
    // next sweep's levels: its size and contents are left over, the caller sizes and fills it.
    // Empty when none is spare.
    std::vector<float> pushSweep(SweepFrame sweep);
    // Takes back the level buffers of applied sweep frames and empties `applied`.
    void recycle(std::vector<LinkFrame>& applied);
    size_t spareBuffers() const;

  private:
    void pushLocked(LinkFrame&& frame);
    void keepSpare(std::vector<float>&& levels);

    mutable std::mutex lock_;
    std::deque<LinkFrame> frames_;  // the oldest measurement may go from anywhere near the front
    std::vector<std::vector<float>> spares_;
    uint64_t dropped_ = 0;
};
