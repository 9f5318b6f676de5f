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

// Holds a ModelLock for a scope unless this thread holds it already: for code that is reached
// both with and without the lock (the grading hook from the sweep and the scan paths, a table
// reloaded by a caller that may still hold apListLock after sorting).
class ModelLockUnlessHeld {
  public:
    explicit ModelLockUnlessHeld(ModelLock& lock)
        : lock_(lock), owns_(!lock.heldByCurrentThread()) {
        if (owns_) {
            lock_.lock();
        }
    }
    ~ModelLockUnlessHeld() {
        if (owns_) {
            lock_.unlock();
        }
    }
    ModelLockUnlessHeld(const ModelLockUnlessHeld&) = delete;
    ModelLockUnlessHeld& operator=(const ModelLockUnlessHeld&) = delete;

  private:
    ModelLock& lock_;
    bool owns_;
};
