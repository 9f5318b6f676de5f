#include "protocol/AccessoryGeneration.h"

namespace {

// Access-point records the third generation sends at most in one list.
constexpr uint16_t kDuoMaxRecords = 20;

const AccessoryGeneration kGenerations[] = {
    {
        .name = "Tarno",
        .hardware = 0,
        .layout =
            {
                .generationCode = generation_code::kTarno,
                .discoveryLength = 68,
                .frames = {{FrameKind::NotPacket, 0},
                           {FrameKind::Fixed, 62},
                           {FrameKind::Fixed, 3},
                           {FrameKind::Discovery, 68},
                           {FrameKind::NotPacket, 0},
                           {FrameKind::Fixed, 52},
                           {FrameKind::NotPacket, 0},
                           {FrameKind::NeverComplete, 0}},
                .power = {62, 2, 40},
                .spectrum = {{52, 2, 50}, {0, 0, 0}},
                .bandInHeader = false,
                .spectrumSegmentInHeader = true,
                .powerRequest = 0x01,
                .spectrumRequest = 0x05,
                .ssidRequest = 0,
                .haltRequest = 0,
                .spectrumSegments = 2,
                .powerSegments = 6,
                .streaming = true,
                .interleavedSegments = true,
                .settingsLength = 32,
                .records = RecordFormat::None,
                .maxPacketLength = 68,
            },
        .powerRollPoints = 240,
        .maxTimeBaseIndex = 17,
        .identityOffset = 0,
        .identityLength = 0,
    },
    {
        .name = "Tarno2",
        .hardware = 1,
        .layout =
            {
                .generationCode = generation_code::kTarno2,
                .discoveryLength = 60,
                .frames = {{FrameKind::NotPacket, 0},
                           {FrameKind::Fixed, 1254},
                           {FrameKind::Fixed, 3},
                           {FrameKind::Discovery, 60},
                           {FrameKind::NotPacket, 0},
                           {FrameKind::Fixed, 260},
                           {FrameKind::ShortAck, 4},
                           {FrameKind::RecordList, 255}},
                .power = {1254, 4, 1000},
                .spectrum = {{260, 4, 256}, {0, 0, 0}},
                .bandInHeader = false,
                .spectrumSegmentInHeader = false,
                .powerRequest = 0x01,
                .spectrumRequest = 0x05,
                .ssidRequest = 0x07,
                .haltRequest = 0x06,
                .spectrumSegments = 1,
                .powerSegments = 1,
                .streaming = false,
                .interleavedSegments = false,
                .settingsLength = 20,
                .records = RecordFormat::Single,
                .maxPacketLength = 255 * kRecordBytes + kRecordListHeader,
            },
        .powerRollPoints = 1000,
        .maxTimeBaseIndex = 17,
        .identityOffset = 16,
        .identityLength = 17,
    },
    {
        .name = "TarnoDuo",
        .hardware = 2,
        .layout =
            {
                .generationCode = generation_code::kTarnoDuo,
                .discoveryLength = 56,
                .frames = {{FrameKind::NotPacket, 0},
                           {FrameKind::NotPacket, 0},
                           {FrameKind::Fixed, 3},
                           {FrameKind::Discovery, 56},
                           {FrameKind::NotPacket, 0},
                           {FrameKind::BandSweep, 0},
                           {FrameKind::ShortAck, 4},
                           {FrameKind::RecordList, kDuoMaxRecords}},
                .power = {0, 0, 0},
                .spectrum = {{260, 4, 256}, {516, 4, 512}},
                .bandInHeader = true,
                .spectrumSegmentInHeader = true,
                .powerRequest = 0,
                .spectrumRequest = 0x05,
                .ssidRequest = 0x07,
                .haltRequest = 0x06,
                .spectrumSegments = 1,
                .powerSegments = 1,
                .streaming = false,
                .interleavedSegments = false,
                .settingsLength = 8,
                .records = RecordFormat::DualBand,
                .maxPacketLength = kDuoMaxRecords * kRecordBytes + kRecordListHeader,
            },
        .powerRollPoints = 0,
        .maxTimeBaseIndex = 0,
        .identityOffset = 12,
        .identityLength = 12,
    },
};

}  // namespace

std::string AccessoryGeneration::packetPrefix() const {
    return std::string("packets/") + name + "/" + name + "_";
}

std::span<const AccessoryGeneration> accessoryGenerations() {
    return kGenerations;
}

const AccessoryGeneration* generationByCode(uint8_t generationCode) {
    for (const AccessoryGeneration& generation : kGenerations) {
        if (generation.layout.generationCode == generationCode)
            return &generation;
    }
    return nullptr;
}

const AccessoryGeneration* generationByHardware(int hardware) {
    for (const AccessoryGeneration& generation : kGenerations) {
        if (generation.hardware == hardware)
            return &generation;
    }
    return nullptr;
}
