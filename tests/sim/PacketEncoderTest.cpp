#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "model/ByteOrder.h"
#include "sim/AccessPointScene.h"
#include "sim/PacketEncoder.h"

namespace {

const PacketEncoder& encoder(SimGeneration generation) {
    static const PacketEncoder encoders[3] = {
        PacketEncoder(generationProfile(SimGeneration::Tarno)),
        PacketEncoder(generationProfile(SimGeneration::Tarno2)),
        PacketEncoder(generationProfile(SimGeneration::TarnoDuo))};
    return encoders[static_cast<int>(generation)];
}

std::vector<uint8_t> bytesAt(const std::vector<uint8_t>& v, size_t at, size_t n) {
    return std::vector<uint8_t>(v.begin() + static_cast<long>(at),
                                v.begin() + static_cast<long>(at + n));
}

SimAccessPoint sampleAccessPoint() {
    SimAccessPoint ap;
    ap.name = "Cafe";
    const uint8_t bssid[6] = {0xE0, 0x91, 0xF5, 0x76, 0x83, 0x23};
    std::copy(bssid, bssid + 6, ap.bssid);
    ap.channel = 36;
    ap.rssi = -48;
    ap.is5GHz = true;
    ap.bandwidthMHz = 40;
    ap.secondary = 1;
    ap.alt1 = 42;
    ap.standards = 0x1C;
    ap.securityClass = 0;
    ap.securityWord = SimSecurity::kWpa2Aes;
    return ap;
}

}  // namespace

TEST(PacketEncoderDiscovery, FirstGenerationReplyCarriesCalibrationWhereTheHostReadsIt) {
    std::vector<uint8_t> r;
    encoder(SimGeneration::Tarno).discoveryReply(r);
    ASSERT_EQ(r.size(), 68u);
    EXPECT_EQ(bytesAt(r, 0, 5), (std::vector<uint8_t>{0xAA, 0x60, 0x02, 1, 4}));
    EXPECT_EQ(r[8], 1);
    EXPECT_EQ(r[9], 1);
    EXPECT_EQ(r[11], 3);
    EXPECT_EQ(byte_order::readU32be(&r[12]), 0u);           // step 0: 0 dB
    EXPECT_EQ(byte_order::readU32be(&r[16]), 0x40833333u);  // step 1: 4.1 dB
    EXPECT_EQ(byte_order::readU32be(&r[44]), 0x3E4CCCCDu);  // power scale 0.2
    EXPECT_EQ(byte_order::readU32be(&r[48]), 0xC2480000u);  // power offset -50
    EXPECT_EQ(byte_order::readU32be(&r[56]), 0xC2C80000u);  // spectrum offset -100
    EXPECT_EQ(r[64], 8);
}

TEST(PacketEncoderDiscovery, SecondGenerationSendsPowerOffsetFiveDbAboveTheEffectiveOne) {
    std::vector<uint8_t> r;
    encoder(SimGeneration::Tarno2).discoveryReply(r);
    ASSERT_EQ(r.size(), 60u);
    EXPECT_EQ(bytesAt(r, 0, 3), (std::vector<uint8_t>{0xAA, 0x60, 0x06}));
    EXPECT_EQ(r[15], 21);
    EXPECT_EQ(r[16], 0x54);
    EXPECT_EQ(r[32], 0x2f);
    EXPECT_EQ(byte_order::readU32be(&r[36]), 0x3E4CCCCDu);  // 0.2
    EXPECT_EQ(byte_order::readU32be(&r[40]), 0xC2340000u);  // -45
    EXPECT_EQ(byte_order::readU32be(&r[44]), 0x3F000000u);  // 0.5
    EXPECT_EQ(byte_order::readU32be(&r[48]), 0xC2F00000u);  // -120
    EXPECT_EQ(r[56], 30);
}

TEST(PacketEncoderDiscovery, ThirdGenerationReplyDescribesBothBands) {
    std::vector<uint8_t> r;
    encoder(SimGeneration::TarnoDuo).discoveryReply(r);
    ASSERT_EQ(r.size(), 56u);
    EXPECT_EQ(bytesAt(r, 0, 3), (std::vector<uint8_t>{0xAA, 0x60, 0x07}));
    EXPECT_EQ(bytesAt(r, 8, 3), (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(r[12], 0x44);
    EXPECT_EQ(r[23], 0x6d);
    EXPECT_EQ(byte_order::readU32be(&r[24]), 0x3F000000u);
    EXPECT_EQ(byte_order::readU32be(&r[28]), 0xC2F00000u);
    EXPECT_EQ(r[36], 36);
    EXPECT_EQ(byte_order::readU32be(&r[40]), 0x3F000000u);
    EXPECT_EQ(r[52], 40);
}

TEST(PacketEncoderAcks, SettingsAndHaltAcknowledgements) {
    std::vector<uint8_t> out;
    encoder(SimGeneration::Tarno2).settingsAck(0x7F, out);
    encoder(SimGeneration::Tarno2).haltAck(out);
    EXPECT_EQ(out, (std::vector<uint8_t>{0xAA, 0x40, 0x7F, 0xAA, 0xC0, 0x00, 0x00}));
}

TEST(PacketEncoderSpectrum, FirstGenerationInterleavesTwoSegmentsInFrequency) {
    std::vector<uint8_t> raw(100);
    std::iota(raw.begin(), raw.end(), 0);
    std::vector<uint8_t> out;
    encoder(SimGeneration::Tarno).spectrumSweep(SimBand::Band24, raw, out);
    ASSERT_EQ(out.size(), 104u);
    EXPECT_EQ(bytesAt(out, 0, 5), (std::vector<uint8_t>{0xAA, 0xA0, 0, 2, 4}));
    EXPECT_EQ(out[51], 98);
    EXPECT_EQ(bytesAt(out, 52, 5), (std::vector<uint8_t>{0xAA, 0xA1, 1, 3, 5}));
    EXPECT_EQ(out[103], 99);
}

TEST(PacketEncoderSpectrum, ThirdGenerationNamesTheBandInByteTwo) {
    std::vector<uint8_t> raw(512, 0x55);
    raw[511] = 0x66;
    std::vector<uint8_t> out;
    encoder(SimGeneration::TarnoDuo).spectrumSweep(SimBand::Band5, raw, out);
    ASSERT_EQ(out.size(), 516u);
    EXPECT_EQ(bytesAt(out, 0, 5), (std::vector<uint8_t>{0xAA, 0xA0, 0x01, 0x00, 0x55}));
    EXPECT_EQ(out[515], 0x66);

    out.clear();
    encoder(SimGeneration::TarnoDuo).spectrumSweep(SimBand::Band24, raw, out);
    ASSERT_EQ(out.size(), 260u);
    EXPECT_EQ(out[2], 0x00);
}

TEST(PacketEncoderSpectrum, SingleBandGenerationsSendNothingForFiveGigahertz) {
    std::vector<uint8_t> raw(512, 1);
    std::vector<uint8_t> out;
    encoder(SimGeneration::Tarno2).spectrumSweep(SimBand::Band5, raw, out);
    EXPECT_TRUE(out.empty());
}

TEST(PacketEncoderPower, TriggeredFirstGenerationCaptureHasSixMarkedInterleavedSegments) {
    std::vector<uint8_t> raw(240);
    for (size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<uint8_t>(i);
    }
    std::vector<uint8_t> out;
    encoder(SimGeneration::Tarno).powerCapture(raw, true, true, out);
    ASSERT_EQ(out.size(), 6u * 62u);
    for (int s = 0; s < 6; ++s) {
        const uint8_t* p = &out[static_cast<size_t>(s) * 62];
        EXPECT_EQ(p[0], 0xAA);
        EXPECT_EQ(p[1], 0x30 | s);
        EXPECT_EQ(p[2], s);      // first value of segment s is sample s
        EXPECT_EQ(p[3], s + 6);  // then every sixth
        EXPECT_EQ(p[41], s + 234);
        EXPECT_EQ(p[42], 0);  // unused tail
    }
}

TEST(PacketEncoderPower, RollingBlocksGoOutInTimeOrderWithoutMarker) {
    std::vector<uint8_t> raw(1000);
    for (size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<uint8_t>(i % 251);
    }
    std::vector<uint8_t> out;
    encoder(SimGeneration::Tarno2).powerCapture(raw, false, false, out);
    ASSERT_EQ(out.size(), 1254u);
    EXPECT_EQ(bytesAt(out, 0, 6), (std::vector<uint8_t>{0xAA, 0x20, 0, 0, 0, 1}));
    EXPECT_EQ(out[1003], 999 % 251);
    EXPECT_EQ(out[1004], 0);
    EXPECT_EQ(out[1253], 0);

    out.clear();
    std::vector<uint8_t> segment(40, 9);
    encoder(SimGeneration::Tarno).powerSegment(4, segment, false, out);
    ASSERT_EQ(out.size(), 62u);
    EXPECT_EQ(out[1], 0x24);
    EXPECT_EQ(out[41], 9);
    EXPECT_EQ(out[42], 0);
}

TEST(PacketEncoderAccessPoints, ThirdGenerationRecordIsByteExact) {
    uint8_t rec[64];
    encoder(SimGeneration::TarnoDuo).accessPointRecord(sampleAccessPoint(), rec);
    EXPECT_EQ(rec[1], 36);
    EXPECT_EQ(byte_order::readU16be(&rec[2]), 0xFFD0);  // -48
    EXPECT_EQ(std::vector<uint8_t>(rec + 4, rec + 10),
              (std::vector<uint8_t>{0xE0, 0x91, 0xF5, 0x76, 0x83, 0x23}));
    EXPECT_EQ(byte_order::readU16be(&rec[10]), 0x0D00);  // 40 MHz, secondary above
    EXPECT_EQ(rec[12], 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rec + 13), 4), "Cafe");
    EXPECT_EQ(rec[17], 0);
    EXPECT_EQ(rec[45], 0x1C);
    EXPECT_EQ(rec[46], 0);  // 0 marks 5 GHz
    EXPECT_EQ(rec[47], 0);
    EXPECT_EQ(rec[50], 42);
    EXPECT_EQ(rec[51], 0);
    EXPECT_EQ(byte_order::readU32be(&rec[52]), 0x00400004u);
    unsigned sum = std::accumulate(rec, rec + 64, 0u);
    EXPECT_EQ(sum % 256, 0u);
}

TEST(PacketEncoderAccessPoints, SecondGenerationReportsOneStandardAndNoAlternativeChannel) {
    SimAccessPoint ap = sampleAccessPoint();
    ap.is5GHz = false;
    ap.channel = 6;
    ap.standards = 0x07;
    ap.bandwidthMHz = 20;
    ap.secondary = 2;
    uint8_t rec[64];
    encoder(SimGeneration::Tarno2).accessPointRecord(ap, rec);
    EXPECT_EQ(rec[45], 0x04);
    EXPECT_EQ(rec[46], 1);
    EXPECT_EQ(rec[50], 0);
    EXPECT_EQ(byte_order::readU16be(&rec[10]), 0x0A00);
    EXPECT_EQ(std::accumulate(rec, rec + 64, 0u) % 256, 0u);
}

TEST(PacketEncoderAccessPoints, LongNamesAreCutAtThirtyOneCharacters) {
    SimAccessPoint ap = sampleAccessPoint();
    ap.name = std::string(40, 'x');
    uint8_t rec[64];
    encoder(SimGeneration::TarnoDuo).accessPointRecord(ap, rec);
    EXPECT_EQ(rec[12], 31);
    EXPECT_EQ(rec[43], 'x');
    EXPECT_EQ(rec[44], 0);
}

TEST(PacketEncoderAccessPoints, ListHoldsAtMostTwentyRecords) {
    std::vector<SimAccessPoint> aps(25, sampleAccessPoint());
    std::vector<uint8_t> out;
    encoder(SimGeneration::TarnoDuo).accessPointList(aps, out);
    ASSERT_EQ(out.size(), 4u + 20u * 64u);
    EXPECT_EQ(bytesAt(out, 0, 4), (std::vector<uint8_t>{0xAA, 0xE0, 20, 0}));

    out.clear();
    encoder(SimGeneration::TarnoDuo).accessPointList({}, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{0xAA, 0xE0, 0, 0}));
}

TEST(LevelCalibration, RawCountsRoundToNearestAndClampToFloorAndTop) {
    LevelCalibration cal{0.5f, -120.0f, 30};
    EXPECT_EQ(cal.rawOf(-100.0), 40);
    EXPECT_EQ(cal.rawOf(-99.8), 40);
    EXPECT_EQ(cal.rawOf(-99.7), 41);
    EXPECT_EQ(cal.rawOf(-130.0), 30);
    EXPECT_EQ(cal.rawOf(20.0), 255);
    EXPECT_EQ(cal.rawOf(std::nan("")), 30);
}
