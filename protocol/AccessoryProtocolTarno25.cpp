#include "protocol/AccessoryProtocolTarno25.h"

#include <algorithm>
#include <cstring>

#include "model/ByteOrder.h"
#include "model/LinkSettings.h"
#include "protocol/ProtocolResult.h"

using byte_order::readFloatBe;

namespace pr = protocol_result;

namespace {

// Where each band's conversion lies in the discovery reply.
struct BandFields {
    int scale;
    int offset;
    int floorRaw;
};
constexpr BandFields kBandFields[2] = {{24, 28, 36}, {40, 44, 52}};

std::unique_ptr<CalibrationRecord> initialCalibration() {
    auto cal = std::make_unique<CalibrationRecord>();
    cal->ssidFlag = 1;
    cal->bands[0] = {1.0f, 1.0f, -100.0f};
    cal->bands[1] = {1.0f, 1.0f, -100.0f};
    return cal;
}

}  // namespace

AccessoryProtocolTarno25::AccessoryProtocolTarno25()
    : AccessoryProtocol(*generationByCode(generation_code::kTarnoDuo), initialCalibration()) {}

AccessoryProtocolTarno25::~AccessoryProtocolTarno25() = default;

int AccessoryProtocolTarno25::parseDescription(const uint8_t* bytes, size_t length,
                                               AccessoryDescription* description) {
    int check = checkDiscovery(bytes, length);
    if (check != 0)
        return check;

    CalibrationRecord& cal = mutableCalibration();
    cal.ssidFlag = bytes[8] != 0;
    cal.spectrumFlag = bytes[9] != 0 || bytes[10] != 0;
    cal.powerFlag = 0;
    cal.hardware24 = bytes[9] != 0;
    cal.hardware5 = bytes[10] != 0;
    uint8_t floorRaw[2];
    for (int b = 0; b < 2; ++b) {
        BandCalibration& band = cal.bands[b];
        band.scale = readFloatBe(bytes + kBandFields[b].scale);
        band.offset = readFloatBe(bytes + kBandFields[b].offset);
        floorRaw[b] = bytes[kBandFields[b].floorRaw];
        band.floor = static_cast<float>(floorRaw[b]) * band.scale + band.offset;
    }
    if (description == nullptr)
        return pr::kOk;

    AccessoryDescription& d = *description;
    const bool band24 = cal.spectrumFlag && cal.hardware24;
    const bool band5 = cal.spectrumFlag && cal.hardware5;
    d.generation = bytes[2];
    d.revision[0] = bytes[3];
    d.revision[1] = bytes[4];
    d.reserved = 0;
    d.version[0] = 0;
    d.version[1] = 0;
    d.model = 0;
    d.modelCopy = 0;
    d.hasSpectrum24 = band24;
    d.hasSpectrum5 = band5;
    d.hasSsidScan24 = cal.ssidFlag && cal.hardware24;
    d.hasSsidScan5 = cal.ssidFlag && cal.hardware5;
    d.hasPowerMeter = false;
    d.hasInternalAttenuator = false;
    d.scanKeepsRefresh = false;
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
    d.rawPoints5 = 512;
    d.powerRollPoints = generation().powerRollPoints;
    d.shownPoints24 = 245;
    d.shownPoints5 = 512;
    d.levelRows24 = 256 - floorRaw[0];
    d.levelRows5 = 256 - floorRaw[1];
    d.spectrumInterval24 = 0.25f;
    d.spectrumInterval5 = 1.25f;
    d.powerInterval = 0.1f;
    d.scanFirstDelay = 0.0f;
    d.scanRepeatInterval = 4.0f;
    d.powerTimeBases.clear();
    d.powerRollLimitIndex = -1;
    d.secondLimit = -1;
    d.powerAmplitudes.clear();
    fillRanges(d, band24, band5);
    return pr::kOk;
}

int AccessoryProtocolTarno25::buildSettingsCommand(uint8_t* buffer, size_t length,
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
    buffer[1] = 0x08;
    buffer[2] = 0x02;
    buffer[3] = 0x53;
    buffer[4] = nextSequence();
    buffer[5] = settings->view.band == 1 ? 1 : 0;
    return kLength;
}
