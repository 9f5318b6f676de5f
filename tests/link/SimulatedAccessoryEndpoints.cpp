#include "tests/link/SimulatedAccessoryEndpoints.h"

SimulatedAccessoryEndpoints::SimulatedAccessoryEndpoints(
    std::unique_ptr<SimulatedAccessory> accessory, uint64_t msPerRead)
    : accessory_(std::move(accessory)), msPerRead_(msPerRead) {}

void SimulatedAccessoryEndpoints::receive(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> guard(lock_);
    accessory_->receive(std::span<const uint8_t>(data, length));
}

size_t SimulatedAccessoryEndpoints::transmit(uint8_t* buffer, size_t capacity) {
    std::lock_guard<std::mutex> guard(lock_);
    // Whatever is already queued goes out before simulated time moves on.
    if (accessory_->available() == 0) {
        accessory_->step(msPerRead_);
    }
    return accessory_->read(buffer, capacity);
}
