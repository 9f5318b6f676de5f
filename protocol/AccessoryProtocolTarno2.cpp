#include "protocol/AccessoryProtocolTarno2.h"

#include <algorithm>
#include <cstring>

#include "model/ByteOrder.h"
#include "model/LinkSettings.h"
#include "protocol/PowerTriggerFields.h"
#include "protocol/ProtocolResult.h"
#include "protocol/TimeBaseTable.h"

using byte_order::readFloatBe;
using byte_order::writeU16be;
using byte_order::writeU32be;

namespace pr = protocol_result;

namespace {

// The discovery reply states the power offset 5 dB above the one the conversion uses.
constexpr float kPowerOffsetCorrection = 5.0f;

std::unique_ptr<CalibrationRecord> initialCalibration() {
    auto cal = std::make_unique<CalibrationRecord>();
    cal->ssidFlag = 1;
    cal->bands[0] = {1.0f, 0.0f, -100.0f};
    cal->powerScale = 1.0f;
    cal->powerOffset = 0.0f;
    cal->timeBases = powerTimeBaseTable();
    cal->extraValue = 1.0f;
    return cal;
}

}  // namespace

AccessoryProtocolTarno2::AccessoryProtocolTarno2()
    : AccessoryProtocol(*generationByCode(generation_code::kTarno2), initialCalibration()) {}

AccessoryProtocolTarno2::~AccessoryProtocolTarno2() = default;

int AccessoryProtocolTarno2::parseDescription(const uint8_t* bytes, size_t length,
                                              AccessoryDescription* description) {
    int check = checkDiscovery(bytes, length);
    if (check != 0)
        return check;

    CalibrationRecord& cal = mutableCalibration();
    cal.ssidFlag = 1;
    cal.spectrumFlag = bytes[8] != 0;
    cal.hardware24 = bytes[8] != 0;
    cal.powerFlag = bytes[9] != 0;
    cal.powerScale = readFloatBe(bytes + 36);
    cal.powerOffset = readFloatBe(bytes + 40) - kPowerOffsetCorrection;
    BandCalibration& band = cal.bands[0];
    band.scale = readFloatBe(bytes + 44);
    band.offset = readFloatBe(bytes + 48);
    const uint8_t floorRaw = bytes[56];
    band.floor = static_cast<float>(floorRaw) * band.scale + band.offset;
    if (description == nullptr)
        return pr::kOk;

    AccessoryDescription& d = *description;
    d.generation = bytes[2];
    d.revision[0] = bytes[3];
    d.revision[1] = bytes[4];
    d.reserved = 0;
    d.version[0] = bytes[6];
    d.version[1] = bytes[7];
    d.model = bytes[15];
    d.modelCopy = bytes[15];
    d.hasSpectrum24 = cal.spectrumFlag && cal.hardware24;
    d.hasSpectrum5 = false;
    d.hasSsidScan24 = cal.ssidFlag && cal.hardware24;
    d.hasSsidScan5 = false;
    d.hasPowerMeter = cal.powerFlag != 0;
    d.hasInternalAttenuator = false;
    d.scanKeepsRefresh = true;
    d.serialText = hexText(bytes + generation().identityOffset,
                           static_cast<size_t>(generation().identityLength));
    d.textValid = 1;
    std::fill(std::begin(d.internalAttenuations), std::end(d.internalAttenuations), 0.0f);
    d.internalAttenuationCount = 0;
    d.reservedWord = 0;
    d.optionBytes[0] = 1;
    d.optionBytes[1] = 1;
    d.optionBytes[2] = 1;
    d.optionBytes[3] = 0;
    d.rawPoints24 = 256;
    d.rawPoints5 = 0;
    d.powerRollPoints = generation().powerRollPoints;
    d.shownPoints24 = 245;
    d.shownPoints5 = 0;
    d.levelRows24 = 256 - floorRaw;
    d.levelRows5 = 256;
    d.spectrumInterval24 = 0.2f;
    d.spectrumInterval5 = 0.2f;
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

int AccessoryProtocolTarno2::buildSettingsCommand(uint8_t* buffer, size_t length,
                                                  const LinkSettings* settings) {
    const size_t kLength = layout().settingsLength;
    if (buffer == nullptr)
        return pr::kNullBuffer;
    if (length < kLength)
        return pr::kNoRoom;
    if (settings == nullptr)
        return pr::kNoSettings;
    std::memset(buffer, 0, kLength);
    buffer[0] = kSyncByte;
    buffer[1] = 0x14;
    buffer[2] = 0x02;
    buffer[3] = 0x53;
    buffer[4] = nextSequence();

    const int index =
        std::clamp(settings->power.powerTimeBaseIndex, 0, generation().maxTimeBaseIndex);
    const bool rolling = settings->isRolling();
    // Rolling mode samples at the one step the description names; the accessory counts its
    // steps from the fastest one.
    const int sent =
        rolling ? std::clamp(settings->accessory.secondLimit, 0, generation().maxTimeBaseIndex)
                : index;
    buffer[5] = static_cast<uint8_t>(generation().maxTimeBaseIndex - sent);
    if (settings->common.spectrumMode != CommonSettings::kPowerMode)
        return kLength;

    if (rolling) {
        buffer[9] = 2;
        writeU32be(buffer + 12, 1);
        writeU32be(buffer + 16, 1);
        return kLength;
    }
    PowerTriggerFields f =
        PowerTriggerFields::compute(*settings, calibration(), index, generation().powerRollPoints);
    writeU16be(buffer + 6, f.levelRaw);
    buffer[8] = f.optionCode;
    buffer[9] = f.modeCode;
    buffer[10] = f.combination;
    buffer[11] = f.channels;
    writeU32be(buffer + 12, f.captureLength);
    writeU32be(buffer + 16, f.preTrigger);
    return kLength;
}
