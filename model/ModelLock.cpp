#include "model/ModelLock.h"

#include <chrono>
#include <thread>

void ModelLock::lock() {
    while (!mutex_.try_lock()) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
}

bool ModelLock::try_lock() {
    if (!mutex_.try_lock()) {
        return false;
    }
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    return true;
}

void ModelLock::unlock() {
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
}
