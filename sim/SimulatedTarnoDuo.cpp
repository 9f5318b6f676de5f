#include "sim/SimulatedTarnoDuo.h"

SimulatedTarnoDuo::SimulatedTarnoDuo(uint64_t seed, SignalType signal)
    : SimulatedAccessory(SimGeneration::TarnoDuo, seed, signal) {}

bool SimulatedTarnoDuo::decodeSettings(std::span<const uint8_t> c, FirmwareSettings& out) const {
    if (c.size() < 8) {
        return false;
    }
    out.sequence = c[4];
    out.band = c[5] == 1 ? SimBand::Band5 : SimBand::Band24;
    return true;
}
