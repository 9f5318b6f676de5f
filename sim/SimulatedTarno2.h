#pragma once

#include "sim/SimulatedAccessory.h"

// Second generation: streaming spectrum analyser, power meter and 2.4 GHz access-point scanner.
class SimulatedTarno2 : public SimulatedAccessory {
  public:
    SimulatedTarno2(uint64_t seed, SignalType signal);

  protected:
    bool decodeSettings(std::span<const uint8_t> command, FirmwareSettings& out) const override;
};
