#include "sim/SimulatedTarno2.h"

#include <algorithm>

#include "model/ByteOrder.h"

SimulatedTarno2::SimulatedTarno2(uint64_t seed, SignalType signal)
    : SimulatedAccessory(SimGeneration::Tarno2, seed, signal) {}

bool SimulatedTarno2::decodeSettings(std::span<const uint8_t> c, FirmwareSettings& out) const {
    if (c.size() < 20) {
        return false;
    }
    out.sequence = c[4];
    // Byte 5 counts time bases down from the slowest.
    out.timeBaseIndex = 17 - std::min<int>(c[5], 17);
    out.triggerRaw = byte_order::readU16be(&c[6]);
    out.risingEdge = (c[8] & 0x01) != 0;
    out.sweepMode = c[9] == 2   ? FirmwareSettings::SweepMode::Rolling
                    : c[9] == 1 ? FirmwareSettings::SweepMode::Auto
                                : FirmwareSettings::SweepMode::Normal;
    out.digitalTrigger = c[10] != 0;
    out.captureLength = byte_order::readU32be(&c[12]);
    out.preTrigger = byte_order::readU32be(&c[16]);
    return true;
}
