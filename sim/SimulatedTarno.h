#pragma once

#include "sim/SimulatedAccessory.h"

// First generation: polled spectrum analyser and power meter with an internal attenuator.
class SimulatedTarno : public SimulatedAccessory {
  public:
    SimulatedTarno(uint64_t seed, SignalType signal);

  protected:
    bool decodeSettings(std::span<const uint8_t> command, FirmwareSettings& out) const override;
};
