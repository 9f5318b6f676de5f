#include "sim/HostCommands.h"

#include <algorithm>
#include <cmath>

#include "model/ByteOrder.h"

namespace {

std::vector<uint8_t> settingsHeader(const GenerationProfile& profile) {
    std::vector<uint8_t> command(profile.settingsLength, 0);
    command[0] = 0xAA;
    command[1] = profile.settingsLength;
    command[2] = 0x02;
    command[3] = 0x53;
    return command;
}

uint32_t toCount(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    return v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}

}  // namespace

std::vector<uint8_t> HostCommands::request(uint8_t code) {
    return {0xAA, 0x03, code};
}

std::vector<uint8_t> HostCommands::spectrumSettings(const GenerationProfile& profile,
                                                    uint8_t sequence, SimBand band) {
    std::vector<uint8_t> c = settingsHeader(profile);
    switch (profile.generation) {
        case SimGeneration::Tarno:
            c[6] = 9;
            c[14] = 0xFF;
            c[22] = sequence;
            break;
        case SimGeneration::Tarno2:
            c[4] = sequence;
            c[5] = 17 - 9;
            break;
        case SimGeneration::TarnoDuo:
            c[4] = sequence;
            c[5] = band == SimBand::Band5 ? 1 : 0;
            break;
    }
    return c;
}

std::vector<uint8_t> HostCommands::powerSettings(const GenerationProfile& profile, uint8_t sequence,
                                                 const PowerSetup& setup) {
    std::vector<uint8_t> c = settingsHeader(profile);
    if (!profile.hasPower) {
        return c;
    }
    int index = std::clamp(setup.timeBaseIndex, 0, 17);
    double raw = (setup.triggerLevelDbm - profile.powerCal.offset) / profile.powerCal.scale;
    raw = std::clamp(setup.risingEdge ? std::floor(raw) : std::ceil(raw), 0.0, 255.0);
    double screen = 10.0 * kSimTimeBases[index];
    double rate = profile.power.totalValues() / screen;
    uint32_t pre = toCount((screen * 0.5 + setup.triggerDelay) * rate);
    uint32_t holdoff = toCount(setup.triggerHoldoff * rate);
    uint32_t length = std::max(pre, pre <= holdoff ? holdoff - pre : holdoff);
    length = std::max<uint32_t>(length, 1);
    uint8_t mode = setup.rolling ? 2 : setup.autoTrigger ? 1 : 0;

    bool first = profile.generation == SimGeneration::Tarno;
    const PowerCommandFields& at = profile.powerCommand;
    // Rolling runs at a fixed capture rate: the first generation substitutes index 5 for the
    // step just below the roll limit, the second always samples at index 4.
    constexpr int kRollLimit = 4;
    if (first) {
        c[6] = static_cast<uint8_t>(setup.rolling && index == kRollLimit - 1 ? 5 : index);
        c[14] = 0xFF;
        c[22] = sequence;
        c[23] = 1;
    } else {
        c[4] = sequence;
        c[5] = static_cast<uint8_t>(17 - (setup.rolling ? kRollLimit : index));
    }
    c[at.mode] = mode;
    if (setup.rolling) {
        byte_order::writeU32be(&c[at.captureLength], 1);
        byte_order::writeU32be(&c[at.preTrigger], first ? 0 : 1);
        return c;
    }
    byte_order::writeU16be(&c[at.level], static_cast<uint16_t>(raw));
    c[at.option] = setup.risingEdge ? 1 : 0;
    byte_order::writeU32be(&c[at.captureLength], length);
    byte_order::writeU32be(&c[at.preTrigger], pre);
    return c;
}
