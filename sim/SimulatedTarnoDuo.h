#pragma once

#include "sim/SimulatedAccessory.h"

// Third generation: streaming dual-band spectrum analyser and access-point scanner; the band of
// its sweeps follows the last settings command.
class SimulatedTarnoDuo : public SimulatedAccessory {
  public:
    SimulatedTarnoDuo(uint64_t seed, SignalType signal);

  protected:
    bool decodeSettings(std::span<const uint8_t> command, FirmwareSettings& out) const override;
};
