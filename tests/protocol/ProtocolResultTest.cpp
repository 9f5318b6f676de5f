#include <gtest/gtest.h>

#include <set>
#include <string>

#include "protocol/AccessoryProtocolTarno.h"
#include "protocol/AccessoryProtocolTarno25.h"
#include "tests/protocol/ProtocolTestSupport.h"

using namespace protocol_test;

namespace {

const pr::Code kFailures[] = {
    pr::kWrongSync,    pr::kTooShort,    pr::kNullBuffer, pr::kWrongType,  pr::kOtherGeneration,
    pr::kUnknownBand,  pr::kUnsupported, pr::kNeedMore,   pr::kNotAPacket, pr::kNoSync,
    pr::kRejectBuffer, pr::kNoRoom,      pr::kNoSettings,
};

}  // namespace

TEST(ProtocolResult, EveryFailureHasItsOwnValueAndName) {
    std::set<int> values;
    std::set<std::string> names;
    for (pr::Code code : kFailures) {
        EXPECT_LT(code, 0);
        values.insert(code);
        const std::string name = pr::resultName(code);
        EXPECT_NE(name, "OK") << code;
        EXPECT_NE(name, "UNKNOWN") << code;
        names.insert(name);
    }
    EXPECT_EQ(values.size(), std::size(kFailures));
    EXPECT_EQ(names.size(), std::size(kFailures));
    // Success and a builder's length are not failures; a number that is no code says so.
    EXPECT_STREQ(pr::resultName(pr::kOk), "OK");
    EXPECT_STREQ(pr::resultName(32), "OK");
    EXPECT_STREQ(pr::resultName(-7), "UNKNOWN");
    EXPECT_STREQ(pr::resultName(pr::kTooShort), "TOO_SHORT");
}

TEST(ProtocolResult, FramingAndParsingFailuresOfOneHeaderDiffer) {
    // The same bare header is "wait for more" to the framer but "too short" to the decoder: the
    // framer must never mistake a decoder's answer for its own.
    AccessoryProtocolTarno p;
    Bytes header = packet(1, 2);
    std::vector<float> v(40);
    int count = 0, segment = 0;
    bool marker = false;
    const int framed = p.packetLength(header.data(), header.size());
    const int parsed =
        p.parsePowerSamples(header.data(), header.size(), v.data(), 40, &count, &segment, &marker);
    EXPECT_EQ(framed, pr::kNeedMore);
    EXPECT_EQ(parsed, pr::kTooShort);
    EXPECT_NE(framed, parsed);
}

TEST(ProtocolResult, BuildersNameWhyTheyDecline) {
    AccessoryProtocolTarno25 p;  // no power meter: no power request
    uint8_t buffer[8] = {};
    EXPECT_EQ(p.buildPowerRequest(buffer, sizeof buffer), pr::kUnsupported);
    EXPECT_EQ(p.buildSpectrumRequest(buffer, 2), pr::kNoRoom);
    EXPECT_EQ(p.buildSpectrumRequest(nullptr, 3), pr::kNullBuffer);
    EXPECT_EQ(p.buildSettingsCommand(buffer, sizeof buffer, nullptr), pr::kNoSettings);
    EXPECT_STREQ(pr::resultName(p.buildSettingsCommand(buffer, 7, nullptr)), "NO_ROOM");
}
