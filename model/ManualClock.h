#pragma once

#include <atomic>
#include <cstdint>

#include "model/MillisecondClock.h"

// A clock that moves only when told to; for tests and deterministic tools.
class ManualClock : public MillisecondClock {
  public:
    explicit ManualClock(uint64_t start = 0) : now_(start) {}

    uint64_t nowMilliseconds() const override { return now_.load(); }
    void set(uint64_t milliseconds) { now_.store(milliseconds); }
    void advance(uint64_t milliseconds) { now_.fetch_add(milliseconds); }

  private:
    std::atomic<uint64_t> now_;
};
