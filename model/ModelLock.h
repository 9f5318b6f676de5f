#pragma once

#include <atomic>
#include <mutex>
#include <thread>

// A mutex of the settings model. Acquisition tries the lock and, while it is held elsewhere,
// sleeps 100 microseconds between attempts, so that a busy lock never blocks a thread inside the
// mutex itself. Meets the Lockable requirements (usable with std::lock_guard and friends).
class ModelLock {
  public:
    ModelLock() = default;
    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;

    void lock();
    bool try_lock();
    void unlock();

    // True on the thread that holds the lock. A hook that runs from call sites with and without
    // the lock held asks this instead of locking a second time (which would never return).
    bool heldByCurrentThread() const {
        return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

  private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
};
