#include "model/MillisecondClock.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<const MillisecondClock*> installedClock{nullptr};
}  // namespace

uint64_t nowMilliseconds() {
    if (const MillisecondClock* clock = installedClock.load(std::memory_order_acquire)) {
        return clock->nowMilliseconds();
    }
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void setMillisecondClock(const MillisecondClock* clock) {
    installedClock.store(clock, std::memory_order_release);
}
