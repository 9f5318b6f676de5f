#pragma once

#include <cstdint>

// Source of the millisecond time that every timer of the system reads (ageing, pacing, retries,
// data-log offsets). Production uses the steady clock; tests install a clock they step by hand.
class MillisecondClock {
  public:
    virtual ~MillisecondClock() = default;
    virtual uint64_t nowMilliseconds() const = 0;
};

// Milliseconds of the installed clock, or of the steady clock when none is installed.
uint64_t nowMilliseconds();

// Installs `clock` for every thread (nullptr restores the steady clock). The caller keeps the
// clock alive until it is replaced.
void setMillisecondClock(const MillisecondClock* clock);
