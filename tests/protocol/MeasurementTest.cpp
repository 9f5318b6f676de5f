#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

template <typename P>
void discover(P& p, const Bytes& reply) {
    ASSERT_EQ(p.parseDescription(reply.data(), reply.size(), nullptr), 0);
}

}  // namespace

TEST(PowerSamples, FirstGenerationConvertsFortyValues) {
    AccessoryProtocolTarno p;
    discover(p, discoveryTarno());
    Bytes b = packet(1, 62, 0x13);  // marker, segment 3
    for (int i = 0; i < 40; ++i)
        b[2 + i] = static_cast<uint8_t>(i * 6);
    b[42] = 0xFF;  // bytes 42-61 carry nothing
    std::vector<float> v(40, 0.0f);
    int count = -1, segment = -1;
    bool marker = false;
    ASSERT_EQ(
        p.parsePowerSamples(b.data(), b.size(), v.data(), v.size(), &count, &segment, &marker), 0);
    EXPECT_EQ(count, 40);
    EXPECT_EQ(segment, 3);
    EXPECT_TRUE(marker);
    EXPECT_FLOAT_EQ(v[0], -60.0f);
    EXPECT_FLOAT_EQ(v[39], 234 * 0.25f - 60.0f);  // no clamping: above 0 dBm stays
}

TEST(PowerSamples, NegativeCodesInOrder) {
    AccessoryProtocolTarno p;
    std::vector<float> v(40);
    int count = 7, segment = 7;
    bool marker = false;
    Bytes b = packet(1, 62);
    EXPECT_EQ(p.parsePowerSamples(nullptr, 62, v.data(), 40, &count, &segment, &marker),
              pr::kNullBuffer);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 1, v.data(), 40, &count, &segment, &marker),
              pr::kTooShort);
    Bytes noSync = b;
    noSync[0] = 0;
    EXPECT_EQ(p.parsePowerSamples(noSync.data(), 62, v.data(), 40, &count, &segment, &marker),
              pr::kWrongSync);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 2, v.data(), 40, &count, &segment, &marker),
              pr::kTooShort);
    Bytes spectrum = packet(5, 62);
    EXPECT_EQ(p.parsePowerSamples(spectrum.data(), 62, v.data(), 40, &count, &segment, &marker),
              pr::kWrongType);
    EXPECT_EQ(count, 7);  // untouched before the type check passes
    EXPECT_EQ(p.parsePowerSamples(b.data(), 61, v.data(), 40, &count, &segment, &marker),
              pr::kTooShort);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(segment, 255);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 62, v.data(), 39, &count, &segment, &marker),
              pr::kTooShort);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 62, nullptr, 40, &count, &segment, &marker),
              pr::kNullBuffer);
    EXPECT_EQ(segment, 255);
}

TEST(PowerSamples, SecondGenerationReadsFromByteFour) {
    AccessoryProtocolTarno2 p;
    discover(p, discoveryTarno2());
    Bytes b = packet(1, 1254, 0x05);
    b[2] = 0xFF;
    b[3] = 0xFF;
    b[4] = 100;
    b[1003] = 50;
    b[1004] = 0xFF;
    std::vector<float> v(1000);
    int count = 0, segment = 0;
    bool marker = true;
    ASSERT_EQ(
        p.parsePowerSamples(b.data(), b.size(), v.data(), v.size(), &count, &segment, &marker), 0);
    EXPECT_EQ(count, 1000);
    EXPECT_EQ(segment, 5);
    EXPECT_FALSE(marker);
    EXPECT_FLOAT_EQ(v[0], 100 * 0.2f - 60.0f);
    EXPECT_FLOAT_EQ(v[999], 50 * 0.2f - 60.0f);
    EXPECT_FLOAT_EQ(v[1], -60.0f);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 1253, v.data(), 1000, &count, &segment, &marker),
              pr::kTooShort);
    EXPECT_EQ(p.parsePowerSamples(b.data(), 1254, v.data(), 999, &count, &segment, &marker),
              pr::kTooShort);
}

TEST(PowerSamples, ThirdGenerationHasNone) {
    AccessoryProtocolTarno25 p;
    Bytes b = packet(1, 1254);
    std::vector<float> v(1000);
    int count = 0, segment = 0;
    bool marker = false;
    EXPECT_EQ(p.parsePowerSamples(b.data(), b.size(), v.data(), 1000, &count, &segment, &marker),
              pr::kUnsupported);
}

TEST(Spectrum, FirstGenerationClampsToFloor) {
    AccessoryProtocolTarno p;
    discover(p, discoveryTarno(20));
    Bytes b = packet(5, 52, 0x01);
    b[2] = 0;
    b[3] = 200;
    std::vector<float> v(50);
    int count = 0, band = 0, segment = 0;
    ASSERT_EQ(p.parseSpectrum(b.data(), b.size(), v.data(), v.size(), &count, &band, &segment), 0);
    EXPECT_EQ(count, 50);
    EXPECT_EQ(band, 1);
    EXPECT_EQ(segment, 1);
    const float floor = 20 * 0.36290324f - 100.0f;
    EXPECT_FLOAT_EQ(v[0], floor);  // raw 0 lies below the floor
    EXPECT_FLOAT_EQ(v[1], 200 * 0.36290324f - 100.0f);
    EXPECT_EQ(p.parseSpectrum(b.data(), 51, v.data(), 50, &count, &band, &segment), pr::kTooShort);
    EXPECT_EQ(segment, 255);
    EXPECT_EQ(p.parseSpectrum(b.data(), 52, v.data(), 49, &count, &band, &segment), pr::kTooShort);
    EXPECT_EQ(p.parseSpectrum(b.data(), 52, nullptr, 50, &count, &band, &segment), pr::kNullBuffer);
    Bytes power = packet(1, 52);
    EXPECT_EQ(p.parseSpectrum(power.data(), 52, v.data(), 50, &count, &band, &segment),
              pr::kWrongType);
}

TEST(Spectrum, SecondGenerationSegmentIsAlwaysZero) {
    AccessoryProtocolTarno2 p;
    discover(p, discoveryTarno2());
    Bytes b = packet(5, 260, 0x07);
    b[4] = 250;
    b[259] = 10;  // below the floor (raw 40)
    std::vector<float> v(256);
    int count = 0, band = 0, segment = 9;
    ASSERT_EQ(p.parseSpectrum(b.data(), b.size(), v.data(), v.size(), &count, &band, &segment), 0);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(band, 1);
    EXPECT_EQ(segment, 0);
    EXPECT_FLOAT_EQ(v[0], 5.0f);
    EXPECT_FLOAT_EQ(v[255], -100.0f);
}

TEST(Spectrum, ThirdGenerationBothBands) {
    AccessoryProtocolTarno25 p;
    discover(p, discoveryTarno25());
    std::vector<float> v(512, 0.0f);
    int count = -1, band = 0, segment = 0;

    Bytes b24 = packet(5, 260);
    b24[2] = 0;
    b24[4] = 255;
    ASSERT_EQ(p.parseSpectrum(b24.data(), b24.size(), v.data(), 256, &count, &band, &segment), 0);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(band, 1);
    EXPECT_FLOAT_EQ(v[0], -2.5f);
    EXPECT_FLOAT_EQ(v[1], -124.0f);

    Bytes b5 = packet(5, 516);
    b5[2] = 1;
    b5[4] = 200;
    b5[515] = 255;
    ASSERT_EQ(p.parseSpectrum(b5.data(), b5.size(), v.data(), 512, &count, &band, &segment), 0);
    EXPECT_EQ(count, 512);
    EXPECT_EQ(band, 2);
    EXPECT_FLOAT_EQ(v[0], -60.0f);
    EXPECT_FLOAT_EQ(v[1], -102.5f);
    EXPECT_FLOAT_EQ(v[511], -46.25f);

    EXPECT_EQ(p.parseSpectrum(b5.data(), 515, v.data(), 512, &count, &band, &segment),
              pr::kTooShort);
    EXPECT_EQ(p.parseSpectrum(b5.data(), 516, v.data(), 511, &count, &band, &segment),
              pr::kTooShort);
    EXPECT_EQ(p.parseSpectrum(b24.data(), 260, v.data(), 255, &count, &band, &segment),
              pr::kTooShort);
    Bytes b3 = b24;
    b3[2] = 3;
    EXPECT_EQ(p.parseSpectrum(b3.data(), b3.size(), v.data(), 512, &count, &band, &segment),
              pr::kUnknownBand);
    EXPECT_EQ(count, 0);
}

TEST(Spectrum, ThirdGenerationEmptySweep) {
    AccessoryProtocolTarno25 p;
    Bytes b = {0xAA, 0xA1, 0x00, 0x00};
    EXPECT_EQ(p.packetLength(b.data(), b.size()), 4);
    std::vector<float> v(512);
    int count = -1, band = -1, segment = -1;
    EXPECT_EQ(p.parseSpectrum(b.data(), b.size(), v.data(), v.size(), &count, &band, &segment), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(segment, 255);
    // Low bits 010: not the empty sweep, and far too short for a sweep.
    Bytes other = {0xAA, 0xA2, 0x00, 0x00};
    EXPECT_EQ(p.parseSpectrum(other.data(), 4, v.data(), 512, &count, &band, &segment),
              pr::kTooShort);
}

TEST(SettingsAndHaltAcks, CodesOfEveryGeneration) {
    AccessoryProtocolTarno t1;
    AccessoryProtocolTarno2 t2;
    AccessoryProtocolTarno25 t3;
    Bytes ack = packet(2, 3);
    Bytes halt = packet(6, 4);
    for (AccessoryProtocol* p :
         {static_cast<AccessoryProtocol*>(&t1), static_cast<AccessoryProtocol*>(&t2),
          static_cast<AccessoryProtocol*>(&t3)}) {
        EXPECT_EQ(p->parseSettingsAck(ack.data(), 3), 0);
        EXPECT_EQ(p->parseSettingsAck(nullptr, 3), pr::kNullBuffer);
        EXPECT_EQ(p->parseSettingsAck(ack.data(), 2), pr::kTooShort);
        Bytes bad = ack;
        bad[0] = 0xAB;
        EXPECT_EQ(p->parseSettingsAck(bad.data(), 3), pr::kWrongSync);
        EXPECT_EQ(p->parseSettingsAck(halt.data(), 4), pr::kWrongType);
    }
    EXPECT_EQ(t1.parseHaltAck(halt.data(), 4), pr::kUnsupported);
    for (AccessoryProtocol* p :
         {static_cast<AccessoryProtocol*>(&t2), static_cast<AccessoryProtocol*>(&t3)}) {
        EXPECT_EQ(p->parseHaltAck(halt.data(), 4), 0);
        EXPECT_EQ(p->parseHaltAck(nullptr, 4), pr::kNullBuffer);
        EXPECT_EQ(p->parseHaltAck(halt.data(), 3), pr::kTooShort);
        Bytes bad = halt;
        bad[0] = 0;
        EXPECT_EQ(p->parseHaltAck(bad.data(), 4), pr::kWrongSync);
        EXPECT_EQ(p->parseHaltAck(ack.data(), 3), pr::kTooShort);
        Bytes ack4 = packet(2, 4);
        EXPECT_EQ(p->parseHaltAck(ack4.data(), 4), pr::kWrongType);
    }
}

TEST(ReorderSegments, FirstGenerationInterleaves) {
    AccessoryProtocolTarno p;
    // Two segments of three values arrived as segment 1, then segment 0.
    std::vector<float> v = {10, 11, 12, 0, 1, 2};
    int order[] = {1, 0};
    ASSERT_TRUE(p.reorderSegments(v.data(), v.size(), order, 2));
    EXPECT_EQ(v, (std::vector<float>{0, 10, 1, 11, 2, 12}));

    std::vector<float> inOrder = {0, 1, 2, 3};
    int straight[] = {0, 1};
    ASSERT_TRUE(p.reorderSegments(inOrder.data(), inOrder.size(), straight, 2));
    EXPECT_EQ(inOrder, (std::vector<float>{0, 2, 1, 3}));
}

TEST(ReorderSegments, SixPowerSegmentsLandInTimeOrder) {
    AccessoryProtocolTarno p;
    std::vector<float> v(240);
    int order[6] = {3, 0, 5, 1, 4, 2};
    for (int j = 0; j < 6; ++j) {
        for (int k = 0; k < 40; ++k)
            v[j * 40 + k] = static_cast<float>(order[j] + 6 * k);
    }
    ASSERT_TRUE(p.reorderSegments(v.data(), v.size(), order, 6));
    for (int i = 0; i < 240; ++i)
        ASSERT_FLOAT_EQ(v[i], static_cast<float>(i)) << i;
}

TEST(ReorderSegments, BlockOrderOfLaterGenerations) {
    AccessoryProtocolTarno2 p;
    std::vector<float> v = {20, 21, 0, 1, 10, 11};
    int order[] = {2, 0, 1};
    ASSERT_TRUE(p.reorderSegments(v.data(), v.size(), order, 3));
    EXPECT_EQ(v, (std::vector<float>{0, 1, 10, 11, 20, 21}));

    std::vector<float> same = {0, 1, 2, 3};
    int straight[] = {0, 1};
    ASSERT_TRUE(p.reorderSegments(same.data(), same.size(), straight, 2));
    EXPECT_EQ(same, (std::vector<float>{0, 1, 2, 3}));
}

TEST(ReorderSegments, RejectsBadArgumentsWithoutTouchingValues) {
    AccessoryProtocolTarno t1;
    AccessoryProtocolTarno25 t3;
    for (AccessoryProtocol* p :
         {static_cast<AccessoryProtocol*>(&t1), static_cast<AccessoryProtocol*>(&t3)}) {
        std::vector<float> v = {5, 6, 7, 8};
        const std::vector<float> original = v;
        int outOfRange[] = {0, 2};
        int negative[] = {-1, 1};
        int order[] = {1, 0};
        EXPECT_FALSE(p->reorderSegments(v.data(), 4, outOfRange, 2));
        EXPECT_FALSE(p->reorderSegments(v.data(), 4, negative, 2));
        EXPECT_FALSE(p->reorderSegments(nullptr, 4, order, 2));
        EXPECT_FALSE(p->reorderSegments(v.data(), 0, order, 2));
        EXPECT_FALSE(p->reorderSegments(v.data(), 4, nullptr, 2));
        EXPECT_FALSE(p->reorderSegments(v.data(), 4, order, 0));
        EXPECT_EQ(v, original);
        int one[] = {7};  // a single segment is never moved, whatever its index
        EXPECT_TRUE(p->reorderSegments(v.data(), 4, one, 1));
        EXPECT_EQ(v, original);
    }
}

TEST(ReorderSegments, CountNotAMultipleKeepsTheTail) {
    AccessoryProtocolTarno p;
    std::vector<float> v = {10, 0, 99};
    int order[] = {1, 0};
    ASSERT_TRUE(p.reorderSegments(v.data(), v.size(), order, 2));
    EXPECT_EQ(v, (std::vector<float>{0, 10, 99}));
}
