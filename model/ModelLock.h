#pragma once

#include <mutex>

// A mutex of the settings model. Acquisition tries the lock and, while it is held elsewhere,
// sleeps 100 microseconds between attempts, so that a busy lock never blocks a thread inside the
// mutex itself. Meets the Lockable requirements (usable with std::lock_guard and friends).
class ModelLock {
  public:
    ModelLock() = default;
    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;

    void lock();
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

  private:
    std::mutex mutex_;
};
