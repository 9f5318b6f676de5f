#include "protocol/AccessoryProtocolTarno.h"

#include <algorithm>
#include <cstring>

#include "model/ByteOrder.h"
#include "model/LinkSettings.h"
#include "protocol/PowerTriggerFields.h"
#include "protocol/ProtocolResult.h"
#include "protocol/TimeBaseTable.h"

using byte_order::readFloatBe;
using byte_order::readU32be;
using byte_order::writeU16be;
using byte_order::writeU32be;

namespace pr = protocol_result;

namespace {

std::unique_ptr<CalibrationRecord> initialCalibration() {
    auto cal = std::make_unique<CalibrationRecord>();
    cal->bands[0] = {1.0f, 1.0f, -100.0f};
    cal->powerScale = 1.0f;
    cal->powerOffset = 0.0f;
    cal->timeBases = powerTimeBaseTable();
    cal->extraValue = 1.0f;
    return cal;
}

}  // namespace

AccessoryProtocolTarno::AccessoryProtocolTarno()
    : AccessoryProtocol(*generationByCode(generation_code::kTarno), initialCalibration()) {}

AccessoryProtocolTarno::~AccessoryProtocolTarno() = default;

int AccessoryProtocolTarno::parseDescription(const uint8_t* bytes, size_t length,
                                             AccessoryDescription* description) {
    int check = checkDiscovery(bytes, length);
    if (check != 0)
        return check;

    CalibrationRecord& cal = mutableCalibration();
    cal.ssidFlag = 0;
    cal.spectrumFlag = bytes[8] != 0;
    cal.hardware24 = bytes[8] != 0;
    cal.powerFlag = bytes[9] != 0;
    const uint8_t floorRaw = bytes[64];
    cal.bands[0].scale = kSpectrumScale;
    cal.bands[0].offset = kSpectrumOffset;
    cal.bands[0].floor = static_cast<float>(floorRaw) * kSpectrumScale + kSpectrumOffset;
    cal.powerScale = readFloatBe(bytes + 44);
    cal.powerOffset = readFloatBe(bytes + 48);
    if (description == nullptr)
        return pr::kOk;

    AccessoryDescription& d = *description;
    d.generation = bytes[2];
    d.revision[0] = bytes[3];
    d.revision[1] = bytes[4];
    d.reserved = 0;
    d.version[0] = bytes[6];
    d.version[1] = bytes[7];
    d.model = bytes[11];
    d.modelCopy = bytes[11];
    d.hasSpectrum24 = cal.spectrumFlag && cal.hardware24;
    d.hasSpectrum5 = false;
    d.hasSsidScan24 = false;
    d.hasSsidScan5 = false;
    d.hasPowerMeter = cal.powerFlag != 0;
    d.hasInternalAttenuator = true;
    d.scanKeepsRefresh = true;
    // Not a literal assignment: GCC 12 reports a false -Wrestrict on that at -O2.
    d.serialText.assign(1, '0');
    d.textValid = 0;
    for (int i = 0; i < 8; ++i)
        d.internalAttenuations[i] = readFloatBe(bytes + 12 + 4 * i);
    d.internalAttenuationCount = 8;
    d.reservedWord = readU32be(bytes + 60);
    d.optionBytes[0] = 6;
    d.optionBytes[1] = 2;
    d.optionBytes[2] = 0;
    d.optionBytes[3] = 1;
    d.rawPoints24 = 100;
    d.rawPoints5 = 0;
    d.powerRollPoints = generation().powerRollPoints;
    d.shownPoints24 = 96;
    d.shownPoints5 = 0;
    // The floor is a whole raw count above raw 0: the heat map needs one row per count above it.
    d.levelRows24 = 256 - floorRaw;
    d.levelRows5 = 256;
    d.spectrumInterval24 = 0.1f;
    d.spectrumInterval5 = 0.1f;
    d.powerInterval = 0.1f;
    d.scanFirstDelay = 110.0f;
    d.scanRepeatInterval = 20.0f;
    d.powerTimeBases = cal.timeBases;
    d.powerRollLimitIndex = kPowerRollLimitIndex;
    d.secondLimit = 4;
    d.powerAmplitudes = {cal.extraValue};
    fillRanges(d, cal.spectrumFlag != 0, false);
    return pr::kOk;
}

int AccessoryProtocolTarno::buildSettingsCommand(uint8_t* buffer, size_t length,
                                                 const LinkSettings* settings) {
    const size_t kLength = layout().settingsLength;
    // The command is written whole or not at all: a short buffer would be overrun.
    if (buffer == nullptr)
        return pr::kNullBuffer;
    if (length < kLength)
        return pr::kNoRoom;
    if (settings == nullptr)
        return pr::kNoSettings;
    std::memset(buffer, 0, kLength);
    buffer[0] = kSyncByte;
    buffer[1] = 0x20;
    buffer[2] = 0x02;
    buffer[3] = 0x53;

    const int index =
        std::clamp(settings->power.powerTimeBaseIndex, 0, generation().maxTimeBaseIndex);
    const bool rolling = settings->isRolling();
    // The last rolling step before the roll limit has a code of its own.
    buffer[6] = static_cast<uint8_t>(
        rolling && index == settings->accessory.powerRollLimitIndex - 1 ? 5 : index);
    const int attenuation = settings->common.internalAttenuationIndex;
    buffer[11] = static_cast<uint8_t>(attenuation >= 1 && attenuation <= 6 ? attenuation : 0);
    buffer[14] = 0xFF;
    buffer[22] = nextSequence();
    const bool powerMode = settings->common.spectrumMode == CommonSettings::kPowerMode;
    buffer[23] = powerMode ? 1 : 0;
    if (!powerMode)
        return kLength;

    if (rolling) {
        buffer[10] = 2;
        writeU32be(buffer + 24, 1);
        writeU32be(buffer + 28, 0);
        return kLength;
    }
    PowerTriggerFields f =
        PowerTriggerFields::compute(*settings, calibration(), index, generation().powerRollPoints);
    writeU16be(buffer + 4, f.levelRaw);
    buffer[9] = f.optionCode;
    buffer[10] = f.modeCode;
    buffer[20] = f.combination;
    buffer[21] = f.channels;
    writeU32be(buffer + 24, f.captureLength);
    writeU32be(buffer + 28, f.preTrigger);
    return kLength;
}
