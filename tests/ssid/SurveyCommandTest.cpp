// `tarno-cli survey` as a user runs it, on demonstration files whose access-point list is
// crafted here: hostile names, channel 14, a bonded channel, a channel outside the plan.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTexts.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGradingHook.h"
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
    EXPECT_NE(out[1].find("\"channelLevel\":null,\"grade\":null,\"letter\":null"),
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
    EXPECT_EQ(out[5].rfind("{\"channels\":[{\"channel\":1,\"peakLevel\":", 0), 0u) << out[5];
    const std::string key = "\"overlappingAccessPoints\":";
    std::vector<int> counts;
    for (size_t at = out[5].find(key); at != std::string::npos; at = out[5].find(key, at + 1)) {
        counts.push_back(std::atoi(out[5].c_str() + at + key.size()));
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
    EXPECT_NE(output.find("no access-point scan arrived in 2 s"), std::string::npos);
    EXPECT_NE(output.find("exit 1"), std::string::npos);
}

TEST_F(SurveyCommandTest, BeforeAHundredSweepsTheFiguresAreUnknownNotZero) {
    // 4 s give the first scans but only 16 sweeps of 0.25 s: nothing can be graded yet.
    const std::vector<std::string> out = lines(survey("--seconds 4"));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out.back(), "exit 0");
    EXPECT_NE(out[0].find("\"channelLevel\":null,\"grade\":null"), std::string::npos) << out[0];
    EXPECT_NE(out[5].find("{\"channel\":3,\"peakLevel\":null,\"overlappingAccessPoints\":null}"),
              std::string::npos)
        << out[5];
    EXPECT_EQ(out[5].find("0.0"), std::string::npos);
}

TEST(SurveyCommand, SaysWhenTheAccessoryScansTooLateForTheRun) {
    // The second generation sends its first list 110 s after it starts.
    const std::string output =
        run(std::string(TARNO_CLI_PATH) + " survey --demo 1 --signal 1 --simulated-time " +
            "--seconds 60 --resources " + TARNO_TEST_RESOURCE_ROOT + " 2>&1");
    EXPECT_NE(output.find("no access-point scan arrived in 60 s; this accessory sends its first "
                          "scan 110 s after it starts (try --seconds 130)"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("exit 1"), std::string::npos);
    const std::string noLists =
        run(std::string(TARNO_CLI_PATH) + " survey --demo 2 --signal 2 --simulated-time " +
            "--seconds 10 --resources " + TARNO_TEST_RESOURCE_ROOT + " 2>&1");
    EXPECT_NE(noLists.find("plays access-point lists only with --signal 1"), std::string::npos)
        << noLists;
}

// The window's utilization table reads the model the controller grades; the survey must print
// the same grades, letters and recommendations for the same recording and the same run.
TEST_F(SurveyCommandTest, AgreesWithTheTableOfTheSameRun) {
    const std::vector<std::string> out =
        lines(survey("--seconds 60 --select 02:00:5e:10:00:01 --select 02:00:5e:10:00:03"));
    ASSERT_EQ(out.size(), 7u);

    SpectrumSettings model;
    model.common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    model.spectrum_settings.ssidScanOn = 1;
    model.demo.wifiSsid = 1;
    model.demo.hardware = 2;
    model.demo.signalType = 1;
    ManualClock clock(1);
    FileResourceReader resources(root.string());
    AccessoryCommunicationDelegate::Options options;
    options.clock = &clock;
    options.resources = &resources;
    options.startWorker = false;
    AccessoryCommunicationDelegate controller(model, options);
    controller.setUtilizationGrading(UtilizationGradingHook());
    const uint8_t mine[2][6] = {{0x02, 0x00, 0x5e, 0x10, 0x00, 0x01},
                                {0x02, 0x00, 0x5e, 0x10, 0x00, 0x03}};
    for (int pass = 0; pass < 600; ++pass) {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller.runPass();
        for (const auto& bssid : mine) {
            for (const auto& ap : model.accessPoints) {
                if (ap && std::memcmp(ap->bssid, bssid, 6) == 0 &&
                    !AccessPointSelection::contains(model.scanStatistics, bssid)) {
                    AccessPointSelection::add(model.scanStatistics, bssid);
                }
            }
        }
    }
    int compared = 0;
    for (const auto& ap : model.accessPoints) {
        if (!ap || ap->is5GHz != 0 || !ap->grading.graded) {
            continue;
        }
        std::string bssid = AccessPointTexts::bssid(*ap);
        bssid = bssid.substr(1, bssid.size() - 2);
        const auto line = std::find_if(out.begin(), out.end(), [&](const std::string& l) {
            return l.find("\"bssid\":\"" + bssid + "\"") != std::string::npos;
        });
        ASSERT_NE(line, out.end()) << bssid;
        std::string percent = AccessPointTexts::gradePercent(*ap);
        percent.pop_back();  // the table's "%"
        EXPECT_NE(line->find("\"grade\":" + percent + ","), std::string::npos) << *line;
        EXPECT_NE(line->find("\"letter\":\"" + AccessPointTexts::gradeLetter(*ap) + "\""),
                  std::string::npos)
            << *line;
        const bool selected = AccessPointSelection::contains(model.scanStatistics, ap->bssid);
        const int recommended = selected ? ap->grading.recommendedChannel() : 0;
        EXPECT_NE(line->find("\"recommended\":" +
                             (recommended ? std::to_string(recommended) : std::string("null"))),
                  std::string::npos)
            << *line;
        ++compared;
    }
    EXPECT_EQ(compared, 4);  // channels 6, 14, 1 and 200; not 36 (5 GHz)
}
