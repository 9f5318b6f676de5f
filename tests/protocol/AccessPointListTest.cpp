#include <gtest/gtest.h>

#include <cstring>

#include "protocol/AccessPointRecordDecoder.h"
#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno2.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/CapturingSink.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

template <typename P>
struct Scanner {
    explicit Scanner(bool connected = true) {
        ProtocolEnvironment env;
        env.log = &sink;
        env.deviceConnected = [connected] { return connected; };
        protocol.setEnvironment(env);
    }

    int parse(const Bytes& b) { return protocol.parseSsidList(b.data(), b.size(), &list); }

    P protocol;
    CapturingSink sink;
    std::unique_ptr<AccessPointList> list;
};

RecordFields fiveGHz() {
    RecordFields s;
    s.channel = 36;
    s.band = 0;
    s.standards = 0x1C;
    s.alt1 = 38;
    s.alt2 = 42;
    s.bssid[5] = 0x66;
    return s;
}

}  // namespace

TEST(AccessPointList, SecondGenerationDecodesARecord) {
    Scanner<AccessoryProtocolTarno2> s;
    ASSERT_EQ(s.parse(recordList({record(RecordFields{})})), 0);
    ASSERT_TRUE(s.list);
    ASSERT_EQ(s.list->size(), 1u);
    const AccessPoint& ap = *s.list->front();
    EXPECT_EQ(ap.channel, 6);
    EXPECT_FLOAT_EQ(ap.rssi, -48.0f);
    const uint8_t bssid[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_EQ(std::memcmp(ap.bssid, bssid, 6), 0);
    EXPECT_EQ(ap.bandwidthMHz, 40);
    EXPECT_EQ(ap.secondaryChannel, 1);
    EXPECT_EQ(ap.nameView(), "Lab-AP");
    EXPECT_EQ(ap.standards, 4);
    EXPECT_EQ(ap.is5GHz, 0);
    EXPECT_EQ(ap.securityClass, 2);
    EXPECT_EQ(ap.security, 4);
    EXPECT_EQ(ap.cipher, 3);
    EXPECT_EQ(ap.alt1, 0);
    EXPECT_EQ(ap.alt2, 0);
    EXPECT_EQ(ap.lastSeen, 0u);
    EXPECT_EQ(ap.seenCount, 0);
    ASSERT_EQ(s.sink.lines.size(), 2u);
    EXPECT_EQ(s.sink.lines[0], "--------------");
    EXPECT_EQ(s.sink.lines[1], "0) Lab-AP CH: 6 BW:40 SB:1 Alt: 0 0 Sec 4 Enc: 3");
    EXPECT_EQ(s.sink.levels, (std::vector<int>{8, 8}));
}

TEST(AccessPointList, EmptyListIsNullAndStillLogs) {
    Scanner<AccessoryProtocolTarno2> s;
    s.list = std::make_unique<AccessPointList>();
    ASSERT_EQ(s.parse(recordList({})), 0);
    EXPECT_EQ(s.list, nullptr);
    EXPECT_EQ(s.sink.lines, (std::vector<std::string>{"--------------"}));
}

TEST(AccessPointList, BadChecksumSkipsOnlyThatRecord) {
    Scanner<AccessoryProtocolTarno2> s;
    Bytes bad = record(RecordFields{});
    bad[0] = static_cast<uint8_t>(bad[0] + 1);  // the 64 bytes now add up to 1
    RecordFields second;
    second.name = "Second";
    testing::internal::CaptureStdout();
    ASSERT_EQ(s.parse(recordList({bad, record(second)})), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "!!!!!SSID: 0 Checksum failed.\n");
    ASSERT_TRUE(s.list);
    ASSERT_EQ(s.list->size(), 1u);
    EXPECT_EQ(s.list->front()->nameView(), "Second");
    EXPECT_EQ(s.sink.lines.back().rfind("1) Second", 0), 0u);
}

TEST(AccessPointList, NegativeCodesAndShortLists) {
    Scanner<AccessoryProtocolTarno2> s;
    Bytes list = recordList({record(RecordFields{}), record(RecordFields{})});
    EXPECT_EQ(s.protocol.parseSsidList(nullptr, 100, &s.list), pr::kNullBuffer);
    EXPECT_EQ(s.protocol.parseSsidList(list.data(), 3, &s.list), pr::kTooShort);
    Bytes noSync = list;
    noSync[0] = 0x00;
    EXPECT_EQ(s.parse(noSync), pr::kWrongSync);
    // One byte short of the two records it announces: rejected whole, nothing logged.
    EXPECT_EQ(s.protocol.parseSsidList(list.data(), list.size() - 1, &s.list), pr::kTooShort);
    EXPECT_TRUE(s.sink.lines.empty());
    EXPECT_EQ(s.list, nullptr);
    // Without an output only the separator is written.
    EXPECT_EQ(s.protocol.parseSsidList(list.data(), list.size(), nullptr), 0);
    EXPECT_EQ(s.sink.lines, (std::vector<std::string>{"--------------"}));

    AccessoryProtocolTarno first;
    EXPECT_EQ(first.parseSsidList(list.data(), list.size(), &s.list), pr::kUnsupported);
}

TEST(AccessPointList, SecurityAndCipherMapping) {
    struct Case {
        uint32_t word;
        int security, cipher;
    };
    AccessPointRecordDecoder decoder(RecordFormat::Single, ProtocolEnvironment{});
    for (Case c :
         {Case{0, 0, 0}, Case{0xFFFFFFFF, -1, -1}, Case{0x100000, 1, 0}, Case{0x100002, 1, 1},
          Case{0x300004, 1, 2}, Case{0x200006, 3, 3}, Case{0x400000, 4, -1}, Case{0x000001, 2, -1},
          Case{0x000005, 2, 2}, Case{0x800000, -1, -1}}) {
        RecordFields fields;
        fields.securityWord = c.word;
        auto ap = decoder.decodeRecord(record(fields).data());
        ASSERT_TRUE(ap);
        EXPECT_EQ(ap->security, c.security) << std::hex << c.word;
        EXPECT_EQ(ap->cipher, c.cipher) << std::hex << c.word;
    }
}

TEST(AccessPointList, WidthClassAndStandardsMapping) {
    AccessPointRecordDecoder single(RecordFormat::Single, ProtocolEnvironment{});
    AccessPointRecordDecoder dual(RecordFormat::DualBand, ProtocolEnvironment{});
    struct Width {
        uint16_t word;
        int bandwidth, secondary;
    };
    for (Width w : {Width{0x0000, -1, 0}, Width{0x0400, 10, 0}, Width{0x0800, 20, 0},
                    Width{0x0E00, 40, 2}, Width{0x0B00, 20, 0}, Width{0xF1FF, -1, 1}}) {
        RecordFields fields;
        fields.widthWord = w.word;
        auto ap = single.decodeRecord(record(fields).data());
        EXPECT_EQ(ap->bandwidthMHz, w.bandwidth) << std::hex << w.word;
        EXPECT_EQ(ap->secondaryChannel, w.secondary) << std::hex << w.word;
    }
    struct Class {
        uint8_t wire;
        int mapped;
    };
    for (Class c : {Class{0, 1}, Class{1, 0}, Class{2, 2}, Class{3, 3}, Class{200, 3}}) {
        RecordFields fields;
        fields.securityClass = c.wire;
        EXPECT_EQ(single.decodeRecord(record(fields).data())->securityClass, c.mapped);
    }
    struct Standards {
        uint8_t wire, single, dual;
    };
    for (Standards s : {Standards{4, 4, 4}, Standards{2, 2, 2}, Standards{1, 1, 1},
                        Standards{8, 0, 8}, Standards{0x1C, 0, 0x1C}, Standards{0xFF, 0, 0x1F}}) {
        RecordFields fields;
        fields.standards = s.wire;
        Bytes r = record(fields);
        EXPECT_EQ(single.decodeRecord(r.data())->standards, s.single) << int(s.wire);
        EXPECT_EQ(dual.decodeRecord(r.data())->standards, s.dual) << int(s.wire);
    }
    EXPECT_EQ(AccessPointRecordDecoder::standardsText(0x1F), "a/b/g/n/ac/");
    EXPECT_EQ(AccessPointRecordDecoder::standardsText(0), "");
}

TEST(AccessPointList, ThirdGenerationDropsEmptyRecordsSilently) {
    Scanner<AccessoryProtocolTarno25> s;
    RecordFields empty;
    std::memset(empty.bssid, 0, 6);
    RecordFields channel0;
    channel0.channel = 0;
    RecordFields channel255;
    channel255.channel = 255;
    testing::internal::CaptureStdout();
    ASSERT_EQ(s.parse(recordList({record(empty), record(channel0), record(channel255)})), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(s.list, nullptr);
    // The second generation keeps the same records.
    Scanner<AccessoryProtocolTarno2> s2;
    ASSERT_EQ(s2.parse(recordList({record(empty), record(channel0), record(channel255)})), 0);
    ASSERT_TRUE(s2.list);
    EXPECT_EQ(s2.list->size(), 3u);
}

TEST(AccessPointList, ThirdGenerationAltChannelsAndFiveGigahertzLog) {
    Scanner<AccessoryProtocolTarno25> s;
    ASSERT_EQ(s.parse(recordList({record(RecordFields{}), record(fiveGHz())})), 0);
    ASSERT_TRUE(s.list);
    ASSERT_EQ(s.list->size(), 2u);
    const AccessPoint& ap = *(*s.list)[1];
    EXPECT_EQ(ap.is5GHz, 1);
    EXPECT_EQ(ap.alt1, 38);
    EXPECT_EQ(ap.alt2, 42);
    EXPECT_EQ(ap.standards, 0x1C);
    // Only the 5 GHz record is logged.
    ASSERT_EQ(s.sink.lines.size(), 2u);
    EXPECT_EQ(s.sink.lines[1], "1) Lab-AP CH: 36 BW:40 SB:1 Alt: 38 42 Sec 4 Enc: 3 a/n/ac/  0d00");
}

TEST(AccessPointList, PlaybackRenamesTheRecordedAccessPoints) {
    RecordFields recorded;
    const uint8_t bssid[6] = {0xE0, 0x91, 0xF5, 0x76, 0x83, 0x22};
    std::memcpy(recorded.bssid, bssid, 6);
    recorded.name = "HomeNetwork-Long-Name";
    RecordFields sibling = recorded;
    sibling.bssid[5] = 0x23;
    RecordFields other = recorded;
    other.bssid[5] = 0x24;
    Bytes list = recordList({record(recorded), record(sibling), record(other)});

    Scanner<AccessoryProtocolTarno25> playback(false);
    ASSERT_EQ(playback.parse(list), 0);
    ASSERT_EQ(playback.list->size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const AccessPoint& ap = *(*playback.list)[i];
        EXPECT_EQ(ap.nameView(), "Free WiFi");
        EXPECT_EQ(ap.name[0], 9);
        for (int k = 10; k < 32; ++k)
            EXPECT_EQ(ap.name[k], 0) << k;
    }
    EXPECT_EQ((*playback.list)[2]->nameView(), "HomeNetwork-Long-Name");

    Scanner<AccessoryProtocolTarno25> live(true);
    ASSERT_EQ(live.parse(list), 0);
    EXPECT_EQ(live.list->front()->nameView(), "HomeNetwork-Long-Name");
    // The second generation never renames.
    Scanner<AccessoryProtocolTarno2> second(false);
    ASSERT_EQ(second.parse(list), 0);
    EXPECT_EQ(second.list->front()->nameView(), "HomeNetwork-Long-Name");
}

TEST(AccessPointList, OverlongNameLengthStaysInsideTheRecord) {
    Scanner<AccessoryProtocolTarno2> s;
    Bytes r = record(RecordFields{});
    r[12] = 200;  // claims more than the 31 stored characters
    r[0] = static_cast<uint8_t>(r[0] - (200 - 6));
    ASSERT_EQ(s.parse(recordList({r})), 0);
    ASSERT_TRUE(s.list);
    EXPECT_EQ(s.list->front()->nameView().size(), 31u);
    EXPECT_EQ(s.sink.lines[1].rfind("0) Lab-AP", 0), 0u);
}
