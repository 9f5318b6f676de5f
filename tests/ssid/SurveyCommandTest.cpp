// `tarno-cli survey` as a user runs it, on demonstration files whose access-point list is
// crafted here: hostile names, channel 14, a bonded channel, a channel outside the plan.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/PacketEncoder.h"

namespace fs = std::filesystem;

namespace {

std::string run(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) {
        output += chunk;
    }
    int status = pclose(pipe);
    output += "exit " + std::to_string(WEXITSTATUS(status));
    return output;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

SimAccessPoint station(const std::string& name, uint8_t last, uint8_t channel, int16_t rssi,
                       uint8_t standards, uint8_t bandwidth = 20, uint8_t secondary = 0) {
    SimAccessPoint ap;
    ap.name = name;
    const uint8_t bssid[6] = {0x02, 0x00, 0x5e, 0x10, 0x00, last};
    std::copy(bssid, bssid + 6, ap.bssid);
    ap.channel = channel;
    ap.rssi = rssi;
    ap.standards = standards;
    ap.bandwidthMHz = bandwidth;
    ap.secondary = secondary;
    ap.securityClass = 2;
    ap.securityWord = SimSecurity::kWpa2Aes;
    return ap;
}

// The third generation's recordings with a crafted access-point list in place of the recorded.
class SurveyCommandTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarno-cli-survey-XXXXXX";
        root = mkdtemp(pattern);
        const fs::path from = fs::path(TARNO_TEST_RESOURCE_ROOT) / "res/packets/TarnoDuo";
        const fs::path to = root / "res/packets/TarnoDuo";
        fs::create_directories(to);
        for (const auto& entry : fs::directory_iterator(from)) {
            if (entry.path().filename() != "TarnoDuo_ssid.bin") {
                fs::copy_file(entry.path(), to / entry.path().filename());
            }
        }
        std::vector<SimAccessPoint> aps = {
            station("%s%n", 1, 6, -40, 0x07),
            station(std::string("a\"b\\c\x01\x7f\xc3\xa9", 9), 2, 14, -60, 0x01),
            station(std::string(31, 'L'), 3, 1, -70, 0x07, 40, 1),
            station("five", 4, 36, -50, 0x1C),
            station("offplan\xff", 5, 200, -55, 0x06),
        };
        aps[3].is5GHz = true;
        const PacketEncoder encoder(generationProfile(SimGeneration::TarnoDuo));
        std::vector<uint8_t> list;
        encoder.accessPointList(aps, list);
        // The third record claims a 255-byte name; byte 0 of a record balances its checksum.
        uint8_t* record = list.data() + 4 + 2 * PacketEncoder::kRecordLength;
        record[0] = static_cast<uint8_t>(record[0] + record[12] - 255);
        record[12] = 255;
        std::ofstream(to / "TarnoDuo_ssid.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(list.data()),
                   static_cast<std::streamsize>(list.size()));
    }
    void TearDown() override { fs::remove_all(root); }

    std::string survey(const std::string& arguments) {
        return run(std::string(TARNO_CLI_PATH) + " survey --demo 2 --signal 1 --simulated-time" +
                   " --resources " + root.string() + " " + arguments + " 2>&1");
    }

    fs::path root;
};

}  // namespace

TEST_F(SurveyCommandTest, PrintsEveryAccessPointStrongestFirstThenTheChannels) {
    const std::string output = survey("--seconds 60 --select 02:00:5e:10:00:01");
    const std::vector<std::string> out = lines(output);
    ASSERT_EQ(out.size(), 7u) << output;
    EXPECT_EQ(out.back(), "exit 0");
    EXPECT_EQ(out[0].rfind("{\"bssid\":\"02:00:5e:10:00:01\",\"name\":\"%s%n\",\"channel\":6,"
                           "\"band\":\"2.4\",\"rssi\":-40,\"bandwidth\":20,\"security\":\"WPA2\","
                           "\"standards\":\"b/g/n\",\"seen\":",
                           0),
              0u)
        << out[0];
    EXPECT_NE(out[0].find(",\"letter\":\"A\",\"recommended\":"), std::string::npos) << out[0];
    EXPECT_EQ(out[0].find("\"recommended\":null"), std::string::npos);  // selected: has one
    EXPECT_NE(out[1].find("\"name\":\"five\",\"channel\":36,\"band\":\"5\""), std::string::npos);
    EXPECT_NE(out[1].find("\"utilization\":null,\"grade\":null,\"letter\":null"),
              std::string::npos);
    EXPECT_NE(out[2].find("\"name\":\"offplan\xef\xbf\xbd\",\"channel\":200"), std::string::npos);
    EXPECT_NE(out[3].find("\"name\":\"a\\\"b\\\\c\\u0001\\u007f\xc3\xa9\",\"channel\":14,"),
              std::string::npos)
        << out[3];
    EXPECT_NE(out[3].find("\"standards\":\"b\""), std::string::npos);
    EXPECT_NE(out[4].find("\"name\":\"" + std::string(31, 'L') + "\",\"channel\":1,"),
              std::string::npos)
        << out[4];
    EXPECT_NE(out[4].find("\"bandwidth\":40"), std::string::npos);
    EXPECT_NE(out[4].find("\"recommended\":null"), std::string::npos);  // not selected
    for (size_t i = 0; i < 5; ++i) {
        if (i == 1) {
            continue;
        }
        const size_t at = out[i].find("\"grade\":");
        ASSERT_NE(at, std::string::npos) << out[i];
        const int grade = std::atoi(out[i].c_str() + at + 8);
        EXPECT_GE(grade, 0);
        EXPECT_LE(grade, 100);
    }
    // Counts: channel 1 at 40 MHz overlaps 1..9, channel 6 2..10, channel 14 12..14; channel
    // 200 counts nowhere.
    EXPECT_EQ(out[5].rfind("{\"channels\":[{\"channel\":1,\"utilization\":", 0), 0u) << out[5];
    std::vector<int> counts;
    for (size_t at = out[5].find("\"accessPoints\":"); at != std::string::npos;
         at = out[5].find("\"accessPoints\":", at + 1)) {
        counts.push_back(std::atoi(out[5].c_str() + at + 15));
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 0, 1, 1, 1}));
}

TEST_F(SurveyCommandTest, RefusesBadArgumentsAndReportsAnEmptySurvey) {
    EXPECT_NE(survey("--select 02:00:5e:10:00").find("exit 2"), std::string::npos);
    EXPECT_NE(survey("--seconds 0").find("exit 2"), std::string::npos);
    const std::string help = run(std::string(TARNO_CLI_PATH) + " survey --help 2>/dev/null");
    EXPECT_EQ(help.rfind("Usage: tarno-cli survey", 0), 0u) << help;
    EXPECT_NE(help.find("exit 0"), std::string::npos);
    EXPECT_NE(run(std::string(TARNO_CLI_PATH) + " survey --simulated-time 2>&1").find("exit 2"),
              std::string::npos);
    // Too short for the first scan: the channels line, an explanation and a failure status.
    fs::remove(root / "res/packets/TarnoDuo/TarnoDuo_ssid.bin");
    const std::string output = survey("--seconds 2 --select 02:00:5e:10:00:09");
    EXPECT_NE(output.find("02:00:5e:10:00:09 was not seen"), std::string::npos) << output;
    EXPECT_NE(output.find("no access-point scan arrived"), std::string::npos);
    EXPECT_NE(output.find("exit 1"), std::string::npos);
}
