#include "model/ModelLock.h"

#include <chrono>
#include <thread>

void ModelLock::lock() {
    while (!mutex_.try_lock()) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}
