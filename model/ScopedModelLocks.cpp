#include "model/ScopedModelLocks.h"

#include "model/SpectrumSettings.h"

ScopedModelLocks::ScopedModelLocks(SpectrumSettings& settings, uint8_t which)
    : settings_(settings), which_(which & kAll) {
    if (which_ & kTrace) {
        settings_.traceLock.lock();
    }
    if (which_ & kApList) {
        settings_.apListLock.lock();
    }
    if (which_ & kSettings) {
        settings_.settingsLock.lock();
    }
}

ScopedModelLocks::~ScopedModelLocks() {
    if (which_ & kSettings) {
        settings_.settingsLock.unlock();
    }
    if (which_ & kApList) {
        settings_.apListLock.unlock();
    }
    if (which_ & kTrace) {
        settings_.traceLock.unlock();
    }
}
