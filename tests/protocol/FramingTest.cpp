#include <gtest/gtest.h>

#include "protocol/AccessoryProtocolFactory.h"
#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

int frame(const AccessoryProtocol& p, int type, size_t available, uint8_t low = 0,
          uint8_t byte2 = 0) {
    Bytes b = packet(type, available, low);
    if (available > 2)
        b[2] = byte2;
    return p.packetLength(b.data(), b.size());
}

}  // namespace

TEST(Framing, CommonChecksOfEveryGeneration) {
    for (uint8_t code : {2, 6, 7}) {
        auto p = createAccessoryProtocol(code);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->packetLength(nullptr, 100), pr::kNeedMore);
        Bytes one = {0xAA};
        EXPECT_EQ(p->packetLength(one.data(), one.size()), pr::kNeedMore);
        Bytes noSync = {0xAB, 0x40, 0x00};
        EXPECT_EQ(p->packetLength(noSync.data(), noSync.size()), pr::kNoSync);
        EXPECT_EQ(p->generationCode(), code);
    }
    EXPECT_EQ(createAccessoryProtocol(5), nullptr);
    EXPECT_EQ(createAccessoryProtocol(0), nullptr);
}

TEST(Framing, FirstGeneration) {
    AccessoryProtocolTarno p;
    for (int type : {0, 4, 6})
        EXPECT_EQ(frame(p, type, 100), pr::kNotAPacket) << type;
    EXPECT_EQ(frame(p, 1, 62), 62);
    EXPECT_EQ(frame(p, 1, 61), pr::kNeedMore);
    EXPECT_EQ(frame(p, 1, 200), 62);
    EXPECT_EQ(frame(p, 2, 2), pr::kNeedMore);  // a bare type-2 header needs its third byte
    EXPECT_EQ(frame(p, 2, 3), 3);
    EXPECT_EQ(frame(p, 3, 68), 68);
    EXPECT_EQ(frame(p, 3, 60), 3);  // a cut-short reply frames as its header
    EXPECT_EQ(frame(p, 3, 2), pr::kNeedMore);
    EXPECT_EQ(frame(p, 5, 52), 52);
    EXPECT_EQ(frame(p, 5, 51), pr::kNeedMore);
    EXPECT_EQ(frame(p, 7, 5000), pr::kNeedMore);
    EXPECT_EQ(p.maximumPacketLength(), 68u);
}

TEST(Framing, SecondGeneration) {
    AccessoryProtocolTarno2 p;
    for (int type : {0, 4})
        EXPECT_EQ(frame(p, type, 100), pr::kNotAPacket) << type;
    EXPECT_EQ(frame(p, 1, 1254), 1254);
    EXPECT_EQ(frame(p, 1, 1253), pr::kNeedMore);
    EXPECT_EQ(frame(p, 2, 3), 3);
    EXPECT_EQ(frame(p, 3, 60), 60);
    EXPECT_EQ(frame(p, 3, 59), 3);
    EXPECT_EQ(frame(p, 5, 260), 260);
    EXPECT_EQ(frame(p, 5, 259), pr::kNeedMore);
    EXPECT_EQ(frame(p, 6, 4), 4);
    EXPECT_EQ(frame(p, 6, 3), pr::kNotAPacket);
    EXPECT_EQ(frame(p, 7, 2), pr::kNeedMore);  // record count not yet present
    EXPECT_EQ(frame(p, 7, 4, 0, 0), 4);
    EXPECT_EQ(frame(p, 7, 3 * 64 + 4, 0, 3), 3 * 64 + 4);
    EXPECT_EQ(frame(p, 7, 3 * 64 + 3, 0, 3), pr::kNeedMore);
    // This generation has no record limit: 255 records are a legal list.
    EXPECT_EQ(frame(p, 7, 255 * 64 + 4, 0, 255), 255 * 64 + 4);
    EXPECT_EQ(p.maximumPacketLength(), 255u * 64 + 4);
}

TEST(Framing, ThirdGeneration) {
    AccessoryProtocolTarno25 p;
    for (int type : {0, 1, 4})
        EXPECT_EQ(frame(p, type, 2000), pr::kNotAPacket) << type;
    EXPECT_EQ(frame(p, 2, 3), 3);
    EXPECT_EQ(frame(p, 3, 56), 56);
    EXPECT_EQ(frame(p, 3, 55), 3);
    EXPECT_EQ(frame(p, 5, 260, 0, 0), 260);
    EXPECT_EQ(frame(p, 5, 259, 0, 0), pr::kNeedMore);
    EXPECT_EQ(frame(p, 5, 516, 0, 1), 516);
    EXPECT_EQ(frame(p, 5, 515, 0, 1), pr::kNeedMore);
    EXPECT_EQ(frame(p, 5, 600, 0, 3), pr::kRejectBuffer);
    EXPECT_EQ(frame(p, 5, 3, 0, 3), pr::kRejectBuffer);
    EXPECT_EQ(frame(p, 5, 2), pr::kNeedMore);
    // The empty sweep is a lone 4-byte transfer.
    EXPECT_EQ(frame(p, 5, 4, 0x01), 4);
    EXPECT_EQ(frame(p, 5, 4, 0x00, 0), pr::kNeedMore);
    EXPECT_EQ(frame(p, 6, 4), 4);
    EXPECT_EQ(frame(p, 6, 3), pr::kNotAPacket);
    EXPECT_EQ(frame(p, 7, 4, 0, 21), pr::kRejectBuffer);
    EXPECT_EQ(frame(p, 7, 3, 0, 21), pr::kNeedMore);
    EXPECT_EQ(frame(p, 7, 20 * 64 + 4, 0, 20), 20 * 64 + 4);
    EXPECT_EQ(frame(p, 7, 20 * 64 + 3, 0, 20), pr::kNeedMore);
    EXPECT_EQ(p.maximumPacketLength(), 20u * 64 + 4);
}

TEST(Framing, EmptySweepHeaderFollowedByMoreBytesFramesByBand) {
    // Only a transfer of exactly 4 bytes is the empty sweep; with more bytes the header is read
    // as a sweep of the band named in byte 2.
    AccessoryProtocolTarno25 p;
    Bytes b = packet(5, 10, 0x01);
    EXPECT_EQ(p.packetLength(b.data(), b.size()), pr::kNeedMore);
}

TEST(Requests, ThreeByteRequestsOfEveryGeneration) {
    struct Expect {
        uint8_t code;
        int power, spectrum, ssid, halt;
    };
    for (Expect e : {Expect{2, 0x01, 0x05, 0, 0}, Expect{6, 0x01, 0x05, 0x07, 0x06},
                     Expect{7, 0, 0x05, 0x07, 0x06}}) {
        auto p = createAccessoryProtocol(e.code);
        struct Op {
            int expectedCode;
            int (AccessoryProtocol::*build)(uint8_t*, size_t) const;
            int (AccessoryProtocol::*length)() const;
        };
        for (Op op : {Op{e.power, &AccessoryProtocol::buildPowerRequest,
                         &AccessoryProtocol::powerRequestLength},
                      Op{e.spectrum, &AccessoryProtocol::buildSpectrumRequest,
                         &AccessoryProtocol::spectrumRequestLength},
                      Op{e.ssid, &AccessoryProtocol::buildSsidRequest,
                         &AccessoryProtocol::ssidRequestLength},
                      Op{e.halt, &AccessoryProtocol::buildHaltCommand,
                         &AccessoryProtocol::haltCommandLength}}) {
            uint8_t buf[4] = {0x11, 0x11, 0x11, 0x11};
            if (op.expectedCode == 0) {
                EXPECT_EQ(((*p).*op.length)(), 0);
                EXPECT_EQ(((*p).*op.build)(buf, sizeof buf), pr::kUnsupported);
                EXPECT_EQ(buf[0], 0x11);  // nothing written
                continue;
            }
            EXPECT_EQ(((*p).*op.length)(), 3);
            EXPECT_EQ(((*p).*op.build)(buf, 3), 3);
            EXPECT_EQ(buf[0], 0xAA);
            EXPECT_EQ(buf[1], 0x03);
            EXPECT_EQ(buf[2], op.expectedCode);
            EXPECT_EQ(buf[3], 0x11);
            uint8_t small[2] = {0x22, 0x22};
            EXPECT_EQ(((*p).*op.build)(small, 2), pr::kNoRoom);
            EXPECT_EQ(small[0], 0x22);
            EXPECT_EQ(((*p).*op.build)(nullptr, 3), pr::kNullBuffer);
        }
    }
}

TEST(Requests, DiscoveryRequestIsBuiltWithoutAProtocol) {
    uint8_t buf[4] = {0x11, 0x11, 0x11, 0x11};
    ASSERT_EQ(AccessoryProtocol::kDiscoveryRequestLength, 3);
    EXPECT_EQ(AccessoryProtocol::buildDiscoveryRequest(buf, 3), 3);
    EXPECT_EQ(buf[0], 0xAA);
    EXPECT_EQ(buf[1], 0x03);
    EXPECT_EQ(buf[2], 0x03);
    EXPECT_EQ(buf[3], 0x11);
    uint8_t small[2] = {0x22, 0x22};
    EXPECT_EQ(AccessoryProtocol::buildDiscoveryRequest(small, 2), pr::kNoRoom);
    EXPECT_EQ(small[0], 0x22);
    EXPECT_EQ(AccessoryProtocol::buildDiscoveryRequest(nullptr, 3), pr::kNullBuffer);
}

TEST(Capabilities, SlotAnswersBeforeDiscovery) {
    AccessoryProtocolTarno t1;
    AccessoryProtocolTarno2 t2;
    AccessoryProtocolTarno25 t3;
    EXPECT_TRUE(t1.isStreaming());
    EXPECT_FALSE(t2.isStreaming());
    EXPECT_FALSE(t3.isStreaming());
    EXPECT_FALSE(t1.hasSsidScan());
    EXPECT_TRUE(t2.hasSsidScan());
    EXPECT_TRUE(t3.hasSsidScan());
    EXPECT_EQ(t1.spectrumSegmentCount(1), 2);
    EXPECT_EQ(t1.powerSegmentCount(), 6);
    EXPECT_EQ(t2.spectrumSegmentCount(1), 1);
    EXPECT_EQ(t3.spectrumSegmentCount(2), 1);
    EXPECT_EQ(t3.powerSegmentCount(), 1);
    EXPECT_EQ(t1.settingsCommandLength(), 32);
    EXPECT_EQ(t2.settingsCommandLength(), 20);
    EXPECT_EQ(t3.settingsCommandLength(), 8);
    for (AccessoryProtocol* p :
         {static_cast<AccessoryProtocol*>(&t1), static_cast<AccessoryProtocol*>(&t2),
          static_cast<AccessoryProtocol*>(&t3)}) {
        EXPECT_FALSE(p->hasSpectrum());
        EXPECT_FALSE(p->hasPowerMeter());
        EXPECT_EQ(p->reservedCountA(), 0);
        EXPECT_EQ(p->reservedCountB(), 0);
    }
}
