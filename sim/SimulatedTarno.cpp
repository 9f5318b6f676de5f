#include "sim/SimulatedTarno.h"

#include <algorithm>

#include "model/ByteOrder.h"

SimulatedTarno::SimulatedTarno(uint64_t seed, SignalType signal)
    : SimulatedAccessory(SimGeneration::Tarno, seed, signal) {}

bool SimulatedTarno::decodeSettings(std::span<const uint8_t> c, FirmwareSettings& out) const {
    if (c.size() < 32) {
        return false;
    }
    out.triggerRaw = byte_order::readU16be(&c[4]);
    out.timeBaseIndex = std::min<int>(c[6], 17);
    out.risingEdge = (c[9] & 0x01) != 0;
    out.sweepMode = c[10] == 2   ? FirmwareSettings::SweepMode::Rolling
                    : c[10] == 1 ? FirmwareSettings::SweepMode::Auto
                                 : FirmwareSettings::SweepMode::Normal;
    out.attenuatorIndex = c[11] >= 1 && c[11] <= 6 ? c[11] : 0;
    out.digitalTrigger = c[20] != 0;
    out.sequence = c[22];
    out.captureLength = byte_order::readU32be(&c[24]);
    out.preTrigger = byte_order::readU32be(&c[28]);
    return true;
}
