#pragma once

#include <cstdint>

class SpectrumSettings;

// Takes a set of the model's locks in the one fixed order traceLock, apListLock, settingsLock,
// whatever order the caller names them in, and releases them in reverse order when it goes out of
// scope. The fixed order is what keeps the three threads free of deadlocks.
class ScopedModelLocks {
  public:
    enum Which : uint8_t { kTrace = 1, kApList = 2, kSettings = 4, kAll = 7 };

    ScopedModelLocks(SpectrumSettings& settings, uint8_t which);
    ~ScopedModelLocks();

    ScopedModelLocks(const ScopedModelLocks&) = delete;
    ScopedModelLocks& operator=(const ScopedModelLocks&) = delete;

  private:
    SpectrumSettings& settings_;
    uint8_t which_;
};
