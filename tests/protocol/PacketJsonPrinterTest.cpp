#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/protocol/ProtocolTestSupport.h"
#include "tools/tarno-cli/PacketJsonPrinter.h"

using namespace protocol_test;

namespace {

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace

TEST(PacketJsonPrinter, ThirdGenerationStream) {
    Bytes sweep = packet(5, 260);
    sweep[4] = 255;
    sweep[5] = 100;
    RecordFields five;
    five.channel = 36;
    five.band = 0;
    five.alt1 = 38;
    five.alt2 = 42;
    five.name = "Lab \"5\"";
    const uint8_t hexBssid[6] = {0xAC, 0xDE, 0x48, 0x0F, 0xB2, 0x9C};
    std::copy(std::begin(hexBssid), std::end(hexBssid), five.bssid);
    Bytes stream = concat({Bytes{0x13}, discoveryTarno25(), packet(2, 3), sweep,
                           recordList({record(RecordFields{}), record(five)}), packet(6, 4)});
    PacketJsonPrinter printer;
    std::vector<std::string> out = lines(printer.feed(stream.data(), stream.size()));
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0],
              "{\"kind\":\"description\",\"generation\":7,\"has24Spectrum\":true,"
              "\"has5Spectrum\":true,\"has24Scan\":true,\"has5Scan\":true,\"hasPowerMeter\":false,"
              "\"serial\":\"00010aff107e809cc30542e0\",\"points24\":256,\"points5\":512,"
              "\"shown24\":245,\"shown5\":512,\"rows24\":244,\"rows5\":226,"
              "\"range24\":[-124,-2.5],\"range5\":[-102.5,-46.25],\"powerAxis\":[null,null],"
              "\"sweepPeriod24\":0.25,\"sweepPeriod5\":1.25,\"powerPoints\":0}");
    EXPECT_EQ(out[1], "{\"kind\":\"settingsAck\"}");
    std::string expectedSweep =
        "{\"kind\":\"spectrum\",\"band\":1,\"segment\":0,\"values\":[-2.5,-80";
    for (int i = 2; i < 256; ++i)
        expectedSweep += ",-124";
    EXPECT_EQ(out[2], expectedSweep + "]}");
    EXPECT_EQ(out[3],
              "{\"kind\":\"accessPoints\",\"records\":["
              "{\"bssid\":\"00:11:22:33:44:55\",\"channel\":6,\"rssi\":-48,\"name\":\"Lab-AP\","
              "\"is5GHz\":0,\"securityClass\":2,\"security\":4,\"cipher\":3,\"bandwidth\":40,"
              "\"secondary\":1,\"standards\":4,\"alt1\":0,\"alt2\":0},"
              "{\"bssid\":\"ac:de:48:0f:b2:9c\",\"channel\":36,\"rssi\":-48,"
              "\"name\":\"Lab \\\"5\\\"\",\"is5GHz\":1,\"securityClass\":2,\"security\":4,"
              "\"cipher\":3,\"bandwidth\":40,\"secondary\":1,\"standards\":4,\"alt1\":38,"
              "\"alt2\":42}]}");
    EXPECT_EQ(out[4], "{\"kind\":\"haltAck\"}");
    EXPECT_EQ(printer.pendingBytes(), 0u);
}

TEST(PacketJsonPrinter, FirstGenerationPowerAndSegments) {
    Bytes power = packet(1, 62, 0x13);
    for (int i = 0; i < 40; ++i)
        power[2 + i] = static_cast<uint8_t>(4 * i);
    Bytes spectrum = packet(5, 52, 0x01);
    PacketJsonPrinter printer;
    Bytes stream = concat({discoveryTarno(), power, spectrum});
    std::vector<std::string> out = lines(printer.feed(stream.data(), stream.size()));
    ASSERT_EQ(out.size(), 3u);
    // raw 0, 4, 8 ... at 0.25 dB per count from -60 dBm.
    std::string expected = "{\"kind\":\"power\",\"segment\":3,\"marker\":true,\"values\":[-60";
    for (int i = 1; i < 40; ++i) {
        expected += "," + PacketJsonPrinter::number(static_cast<float>(4 * i) * 0.25f - 60.0f);
    }
    EXPECT_EQ(out[1], expected + "]}");
    EXPECT_EQ(
        out[2].rfind("{\"kind\":\"spectrum\",\"band\":1,\"segment\":1,\"values\":[-92.741936,", 0),
        0u)
        << out[2];
}

TEST(PacketJsonPrinter, GivenGenerationDecodesWithoutDiscovery) {
    PacketJsonPrinter printer(6);
    Bytes empty = recordList({});
    Bytes wrongReply = discoveryTarno25();
    wrongReply.resize(60);
    Bytes stream = concat({empty, wrongReply, discoveryTarno2(), discoveryTarno2()});
    std::vector<std::string> out = lines(printer.feed(stream.data(), stream.size()));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], "{\"kind\":\"accessPoints\",\"records\":[]}");
    EXPECT_EQ(out[1],
              "{\"kind\":\"rejected\",\"type\":3,\"code\":-5,\"name\":\"OTHER_GENERATION\"}");
    EXPECT_EQ(out[2].rfind("{\"kind\":\"description\",\"generation\":6,", 0), 0u);
    EXPECT_EQ(out[3], "{\"kind\":\"ignored\",\"type\":3}");
}

TEST(PacketJsonPrinter, RejectedPacketsAndLeftovers) {
    PacketJsonPrinter printer(7);
    Bytes odd = {0xAA, 0xA2, 0x00, 0x00};  // framed as 4 bytes, not the empty sweep
    std::string out = printer.feed(odd.data(), odd.size());
    EXPECT_EQ(out, "{\"kind\":\"rejected\",\"type\":5,\"code\":-2,\"name\":\"TOO_SHORT\"}\n");
    Bytes partial = packet(5, 100);
    EXPECT_EQ(printer.feed(partial.data(), partial.size()), "");
    EXPECT_EQ(printer.pendingBytes(), 100u);
}

TEST(PacketJsonPrinter, NumbersAndStrings) {
    EXPECT_EQ(PacketJsonPrinter::number(NAN), "null");
    EXPECT_EQ(PacketJsonPrinter::number(INFINITY), "null");
    EXPECT_EQ(PacketJsonPrinter::number(0.1f), "0.1");
    EXPECT_EQ(PacketJsonPrinter::number(2e-05f), "2e-05");
    EXPECT_EQ(PacketJsonPrinter::number(-48.0f), "-48");
    EXPECT_EQ(PacketJsonPrinter::number(-0.0f), "-0");
    // Every float reads back exactly, however short its text.
    for (float value : {1.0f / 3.0f, 3.4028235e38f, 1.4e-45f, -123.456f, 16777217.0f}) {
        std::string text = PacketJsonPrinter::number(value);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
    }
}

// Strings are text: UTF-8 comes out as the characters it encodes, a byte that is not UTF-8 as
// U+FFFD, and only what JSON cannot hold raw (quote, backslash, controls) is escaped.
TEST(PacketJsonPrinter, StringsAreTextWithControlsEscaped) {
    auto json = [](const std::string& bytes) {
        return PacketJsonPrinter::string(reinterpret_cast<const uint8_t*>(bytes.data()),
                                         bytes.size());
    };
    EXPECT_EQ(json("a\"\\\x01\x7f"), "\"a\\\"\\\\\\u0001\\u007f\"");
    EXPECT_EQ(json("Caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x93\xb6"),
              "\"Caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x93\xb6\"");
    EXPECT_EQ(json("caf\xe9"), "\"caf\xef\xbf\xbd\"");
    EXPECT_EQ(json(std::string("\n\t\0\x1b[2J\xc2\x85", 9)),
              "\"\\u000a\\u0009\\u0000\\u001b[2J\\u0085\"");
}

TEST(DecodeCommand, RunsOnAFileAndFailsOnAMissingOne) {
    const char* cli = std::getenv("TARNO_CLI");
    if (cli == nullptr || !std::filesystem::exists(cli))
        GTEST_SKIP() << "tarno-cli not built";
    auto dir = std::filesystem::temp_directory_path() / "tarno-decode-test";
    std::filesystem::create_directories(dir);
    auto input = dir / "stream.bin";
    auto output = dir / "out.txt";
    Bytes stream = concat({discoveryTarno2(), packet(2, 3)});
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()), static_cast<long>(stream.size()));

    std::string run = std::string(cli) + " decode " + input.string() + " > " + output.string();
    ASSERT_EQ(std::system(run.c_str()), 0);
    std::ifstream in(output);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> out = lines(text);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1], "{\"kind\":\"settingsAck\"}");

    std::string missing =
        std::string(cli) + " decode " + (dir / "none.bin").string() + " 2> " + output.string();
    EXPECT_NE(std::system(missing.c_str()), 0);
    std::ifstream err(output);
    std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_EQ(lines(message).size(), 1u);
    EXPECT_NE(message.find("none.bin"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(DecodeCommand, PrintsNamesAsTheCharactersTheyEncode) {
    const char* cli = std::getenv("TARNO_CLI");
    if (cli == nullptr || !std::filesystem::exists(cli))
        GTEST_SKIP() << "tarno-cli not built";
    auto dir = std::filesystem::temp_directory_path() /
               ("tarno-decode-names-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    RecordFields cafe, latin1, cjk;
    cafe.name = "Caf\xc3\xa9";
    latin1.name = "Caf\xe9\n";
    cjk.name = "\xe4\xb8\xad\xe6\x96\x87";
    Bytes stream =
        concat({discoveryTarno25(), recordList({record(cafe), record(latin1), record(cjk)})});
    const auto input = dir / "names.bin";
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()), static_cast<long>(stream.size()));
    const auto output = dir / "out.txt";
    const std::string run =
        std::string(cli) + " decode " + input.string() + " > " + output.string();
    ASSERT_EQ(std::system(run.c_str()), 0);
    std::ifstream in(output);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"name\":\"Caf\xc3\xa9\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"name\":\"Caf\xef\xbf\xbd\\u000a\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"name\":\"\xe4\xb8\xad\xe6\x96\x87\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\\u00c3"), std::string::npos) << text;
    std::filesystem::remove_all(dir);
}
