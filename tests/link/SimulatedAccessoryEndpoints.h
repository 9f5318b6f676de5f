#pragma once

#include <memory>
#include <mutex>

#include "sim/SimulatedAccessory.h"
#include "tests/link/AccessoryEndpoints.h"

// The accessory simulator behind the endpoint interface, so the fake bus and the umockdev
// emulation can carry a full firmware model instead of the scripted responder. The simulator has
// no clock of its own: every IN transfer advances it by a fixed step of simulated time, which
// keeps runs deterministic however fast the link polls.
class SimulatedAccessoryEndpoints : public AccessoryEndpoints {
  public:
    SimulatedAccessoryEndpoints(std::unique_ptr<SimulatedAccessory> accessory, uint64_t msPerRead);

    void receive(const uint8_t* data, size_t length) override;
    size_t transmit(uint8_t* buffer, size_t capacity) override;

  private:
    std::mutex lock_;
    std::unique_ptr<SimulatedAccessory> accessory_;
    uint64_t msPerRead_;
};
