#include "protocol/AccessPointRecordDecoder.h"

#include <cstring>

#include "model/AccessPointTexts.h"
#include "model/ByteOrder.h"
#include "model/DiagnosticSink.h"
#include "protocol/ProtocolResult.h"

namespace pr = protocol_result;
using byte_order::readS16be;
using byte_order::readU16be;
using byte_order::readU32be;

namespace {

constexpr int kLogLevel = 8;

// Record byte offsets.
constexpr int kChannel = 1;
constexpr int kRssi = 2;
constexpr int kBssid = 4;
constexpr int kWidthWord = 10;
constexpr int kName = 12;
constexpr int kNameSpare = 44;
constexpr int kStandards = 45;
constexpr int kBand = 46;
constexpr int kSecurityClass = 47;
constexpr int kAlt1 = 50;
constexpr int kAlt2 = 51;
constexpr int kSecurityWord = 52;

// Two access points of the recorded demonstration lists are shown under a neutral name while the
// recordings play.
constexpr uint8_t kRenamedBssids[2][6] = {{0xE0, 0x91, 0xF5, 0x76, 0x83, 0x22},
                                          {0xE0, 0x91, 0xF5, 0x76, 0x83, 0x23}};
constexpr char kRenamedName[] = "Free WiFi";

bool checksumGood(const uint8_t* record) {
    uint8_t sum = 0;
    for (int i = 0; i < kRecordBytes; ++i)
        sum = static_cast<uint8_t>(sum + record[i]);
    return sum == 0;
}

int bandwidthOf(uint16_t word) {
    switch (word & 0x0C00) {
        case 0x0400:
            return 10;
        case 0x0800:
            return 20;
        case 0x0C00:
            return 40;
        default:
            return -1;
    }
}

int secondaryOf(uint16_t word) {
    switch (word & 0x0300) {
        case 0x0100:
            return 1;
        case 0x0200:
            return 2;
        default:
            return 0;
    }
}

int securityClassOf(uint8_t value) {
    switch (value) {
        case 0:
            return 1;
        case 1:
            return 0;
        case 2:
            return 2;
        default:
            return 3;
    }
}

void securityOf(uint32_t word, int32_t& security, int32_t& cipher) {
    if (word == 0) {
        security = 0;
        cipher = 0;
        return;
    }
    if (word == 0xFFFFFFFFu) {
        security = -1;
        cipher = -1;
        return;
    }
    if (word & 0x100000)
        security = 1;
    else if (word & 0x200000)
        security = 3;
    else if (word & 0x400000)
        security = 4;
    else if (word & 0x1)
        security = 2;
    else
        security = -1;
    if ((word & 0x6) == 0x6)
        cipher = 3;
    else if (word & 0x2)
        cipher = 1;
    else if (word & 0x4)
        cipher = 2;
    else if (security == 1)
        cipher = 0;
    else
        cipher = -1;
}

}  // namespace

AccessPointRecordDecoder::AccessPointRecordDecoder(RecordFormat format,
                                                   const ProtocolEnvironment& environment)
    : format_(format), environment_(environment) {}

bool AccessPointRecordDecoder::deviceConnected() const {
    return environment_.deviceConnected ? environment_.deviceConnected() : true;
}

std::string AccessPointRecordDecoder::standardsText(uint8_t standards) {
    std::string text;
    if (standards & 0x08)
        text += "a/";
    if (standards & 0x01)
        text += "b/";
    if (standards & 0x02)
        text += "g/";
    if (standards & 0x04)
        text += "n/";
    if (standards & 0x10)
        text += "ac/";
    return text;
}

std::unique_ptr<AccessPoint> AccessPointRecordDecoder::decodeRecord(const uint8_t* record) const {
    const bool dualBand = format_ == RecordFormat::DualBand;
    if (dualBand) {
        bool bssidEmpty = true;
        for (int i = 0; i < 6; ++i)
            bssidEmpty = bssidEmpty && record[kBssid + i] == 0;
        // The scanner pads its table with empty slots; they pass the checksum but are not stations.
        if (bssidEmpty || record[kChannel] == 0 || record[kChannel] == 255)
            return nullptr;
    }
    auto ap = std::make_unique<AccessPoint>();
    ap->channel = record[kChannel];
    ap->rssi = static_cast<float>(readS16be(record + kRssi));
    std::memcpy(ap->bssid, record + kBssid, sizeof ap->bssid);
    uint16_t widthWord = readU16be(record + kWidthWord);
    ap->bandwidthMHz = bandwidthOf(widthWord);
    ap->secondaryChannel = secondaryOf(widthWord);
    std::memcpy(ap->name, record + kName, sizeof ap->name);
    ap->nameSpare = record[kNameSpare];
    uint8_t standards = record[kStandards];
    if (dualBand) {
        ap->standards = standards & 0x1F;
    } else {
        ap->standards = (standards == 4 || standards == 2) ? standards : (standards == 1 ? 1 : 0);
    }
    ap->is5GHz = record[kBand] == 0 ? 1 : 0;
    ap->securityClass = securityClassOf(record[kSecurityClass]);
    securityOf(readU32be(record + kSecurityWord), ap->security, ap->cipher);
    if (dualBand) {
        ap->alt1 = record[kAlt1];
        ap->alt2 = record[kAlt2];
        if (!deviceConnected()) {
            for (const auto& bssid : kRenamedBssids) {
                if (std::memcmp(ap->bssid, bssid, 6) == 0) {
                    std::memset(ap->name, 0, sizeof ap->name);
                    ap->name[0] = sizeof kRenamedName - 1;
                    std::memcpy(ap->name + 1, kRenamedName, sizeof kRenamedName - 1);
                }
            }
        }
    }
    return ap;
}

void AccessPointRecordDecoder::logRecord(int index, const AccessPoint& ap,
                                         uint16_t widthWord) const {
    if (environment_.log == nullptr)
        return;
    // The name is not terminated on the wire, its length byte may claim more than is stored,
    // and it may hold anything: the log shows it as the tables do.
    const std::string text = AccessPointTexts::name(ap);
    if (format_ == RecordFormat::DualBand) {
        if (ap.is5GHz != 1)
            return;
        std::string standards = standardsText(ap.standards);
        environment_.log->log(
            kLogLevel, "%d) %s CH: %d BW:%d SB:%d Alt: %d %d Sec %d Enc: %d %s  %.4x", index,
            text.c_str(), ap.channel, ap.bandwidthMHz, ap.secondaryChannel, ap.alt1, ap.alt2,
            ap.security, ap.cipher, standards.c_str(), widthWord);
    } else {
        environment_.log->log(kLogLevel, "%d) %s CH: %d BW:%d SB:%d Alt: %d %d Sec %d Enc: %d",
                              index, text.c_str(), ap.channel, ap.bandwidthMHz, ap.secondaryChannel,
                              ap.alt1, ap.alt2, ap.security, ap.cipher);
    }
}

int AccessPointRecordDecoder::decode(const uint8_t* bytes, size_t length,
                                     std::unique_ptr<AccessPointList>* list) const {
    if (bytes == nullptr)
        return pr::kNullBuffer;
    if (length <= 3)
        return pr::kTooShort;
    if (bytes[0] != kSyncByte)
        return pr::kWrongSync;
    const int records = bytes[2];
    if (length < static_cast<size_t>(records) * kRecordBytes + kRecordListHeader) {
        return pr::kTooShort;
    }
    if (environment_.log)
        environment_.log->log(kLogLevel, "--------------");
    if (list == nullptr)
        return pr::kOk;

    std::unique_ptr<AccessPointList> decoded;
    for (int i = 0; i < records; ++i) {
        const uint8_t* record = bytes + kRecordListHeader + static_cast<size_t>(i) * kRecordBytes;
        if (!checksumGood(record)) {
            if (environment_.console) {
                std::fprintf(environment_.console, "!!!!!SSID: %d Checksum failed.\n", i);
            }
            continue;
        }
        std::unique_ptr<AccessPoint> ap = decodeRecord(record);
        if (!ap)
            continue;
        logRecord(i, *ap, readU16be(record + kWidthWord));
        if (!decoded)
            decoded = std::make_unique<AccessPointList>();
        decoded->push_back(std::move(ap));
    }
    *list = std::move(decoded);
    return pr::kOk;
}
