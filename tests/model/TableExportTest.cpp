// Exported tables: CSV and JSON text that survives hostile access-point names, files created only
// where nothing exists (never through a planted link), the access-point and peak tables' rows.
#include "model/TableExport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/AccessPoint.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTableExport.h"
#include "model/ExportFile.h"
#include "model/PeakTable.h"
#include "model/SpectrumSettings.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ExportDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarno-export-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir;
};

std::unique_ptr<AccessPoint> accessPoint(const std::string& name, int channel, float rssi,
                                         uint8_t last) {
    auto ap = std::make_unique<AccessPoint>();
    ap->name[0] = static_cast<uint8_t>(name.size());
    std::memcpy(ap->name + 1, name.data(), name.size());
    ap->channel = static_cast<uint16_t>(channel);
    ap->rssi = rssi;
    ap->bssid[0] = 0x2c;
    ap->bssid[5] = last;
    ap->color[0] = 255;
    ap->color[2] = 16;
    ap->standards = 0x04;
    ap->security = 4;
    return ap;
}

TEST(TableExport, CsvQuotesAndDefusesWhatAStrangerNamedTheirNetwork) {
    ExportTable table;
    table.kind = "SSID";
    table.columns = {"SSID", "RSSI (dBm)"};
    table.rows = {{{"plain", false}, {"-45", true}},
                  {{"a,b \"quoted\"", false}, {"-60", true}},
                  {{"=HYPERLINK(\"x\")", false}, {"", true}},
                  {{"line\nbreak", false}, {"-70", true}}};
    EXPECT_EQ(TableExport::csv(table),
              "SSID,RSSI (dBm)\r\n"
              "plain,-45\r\n"
              "\"a,b \"\"quoted\"\"\",-60\r\n"
              "\"'=HYPERLINK(\"\"x\"\")\",\r\n"
              "\"line\nbreak\",-70\r\n");
    // A negative number is a number, not a formula.
    EXPECT_EQ(TableExport::csvField({"-45", true}), "-45");
    EXPECT_EQ(TableExport::csvField({"-45", false}), "'-45");
}

TEST(TableExport, JsonIsValidUtf8WithEveryControlCharacterEscaped) {
    EXPECT_EQ(TableExport::jsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(TableExport::jsonString("a\"b\\c\n\t\x01\x7F"),
              "\"a\\\"b\\\\c\\n\\t\\u0001\\u007f\"");
    // A lone continuation byte, a cut sequence, an overlong slash and a surrogate become U+FFFD.
    EXPECT_EQ(TableExport::jsonString("\x80"), "\"\xEF\xBF\xBD\"");
    EXPECT_EQ(TableExport::jsonString("x\xE2\x82"), "\"x\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(TableExport::jsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(TableExport::jsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(TableExport::jsonString("\xF0\x9F\x93\xB6"), "\"\xF0\x9F\x93\xB6\"");

    ExportTable table;
    table.kind = "Peaks";
    table.columns = {"Trace", "Level (dBm)"};
    table.rows = {{{"RAW", false}, {"-45.50", true}}, {{"MAX", false}, {"", true}}};
    EXPECT_EQ(TableExport::json(table),
              "{\"table\": \"Peaks\", \"columns\": [\"Trace\", \"Level (dBm)\"], \"rows\": [\n"
              "  {\"Trace\": \"RAW\", \"Level (dBm)\": -45.50},\n"
              "  {\"Trace\": \"MAX\", \"Level (dBm)\": null}\n"
              "]}\n");
    table.rows.clear();
    EXPECT_EQ(TableExport::json(table),
              "{\"table\": \"Peaks\", \"columns\": [\"Trace\", \"Level (dBm)\"], \"rows\": []}\n");
}

TEST_F(ExportDirectory, NamesLikeTheLogsAndNeverTouchesAFileItDidNotCreate) {
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 18;
    local.tm_min = 45;
    local.tm_sec = 7;
    const std::string stem = ExportFile::stem("SSID", local);
    EXPECT_EQ(stem, "Tarno_SSID_20261208_184507");

    ExportFile::Result first = ExportFile::write(dir, stem, ".csv", "one\n");
    ASSERT_TRUE(first.written) << first.error;
    EXPECT_EQ(first.path, dir + "Tarno_SSID_20261208_184507.csv");
    // The same second again: a new name, the first file untouched.
    ExportFile::Result second = ExportFile::write(dir, stem, ".csv", "two\n");
    ASSERT_TRUE(second.written);
    EXPECT_EQ(second.path, dir + "Tarno_SSID_20261208_184507_2.csv");
    EXPECT_EQ(readAll(first.path), "one\n");

    // A link planted under the next name, pointing at someone's file: not followed, skipped.
    const std::string victim = dir + "victim.txt";
    std::ofstream(victim) << "precious";
    ASSERT_EQ(::symlink(victim.c_str(), (dir + "Tarno_SSID_20261208_184507_3.csv").c_str()), 0);
    ExportFile::Result third = ExportFile::write(dir, stem, ".csv", "three\n");
    ASSERT_TRUE(third.written);
    EXPECT_EQ(third.path, dir + "Tarno_SSID_20261208_184507_4.csv");
    EXPECT_EQ(readAll(victim), "precious");

    // A folder that is not there: nothing written, and the reason given.
    ExportFile::Result missing = ExportFile::write(dir + "gone/", stem, ".csv", "x");
    EXPECT_FALSE(missing.written);
    EXPECT_NE(missing.error.find("No such file or directory"), std::string::npos) << missing.error;
    EXPECT_TRUE(missing.path.empty());
}

TEST(AccessPointTableExport, RowsCarryTheTableTextsAndTheNumbersBehindThem) {
    std::vector<std::unique_ptr<AccessPoint>> list;
    list.push_back(accessPoint("home", 6, -45.0f, 1));
    list.push_back(accessPoint("office", 36, -70.0f, 2));
    list.back()->is5GHz = 1;
    list.push_back(nullptr);  // an empty slot is skipped
    const ExportTable ssid = AccessPointTableExport::ssid(list);
    ASSERT_EQ(ssid.rows.size(), 2u);
    ASSERT_EQ(ssid.columns.size(), ssid.rows[0].size());
    EXPECT_EQ(ssid.rows[0][0].text, "home");
    EXPECT_EQ(ssid.rows[0][1].text, "2c:00:00:00:00:01");
    EXPECT_EQ(ssid.rows[0][2].text, "-45");
    EXPECT_TRUE(ssid.rows[0][2].number);
    EXPECT_EQ(ssid.rows[0][5].text, "2437");
    EXPECT_EQ(ssid.rows[0][9].text, "#ff0010");
    EXPECT_EQ(ssid.rows[1][3].text, "5");
    EXPECT_EQ(ssid.rows[1][5].text, "5180");

    // Utilization: 2.4 GHz only, the selected ones first; ungraded figures are empty (null).
    list.push_back(accessPoint("mine", 1, -40.0f, 3));
    ScanStatistics statistics;
    ASSERT_TRUE(AccessPointSelection::add(statistics, list.back()->bssid));
    list.back()->grading.graded = true;
    list.back()->grade = 130.0f;  // clamped as the table shows it
    list.back()->grading.addRecommendation(11);
    const ExportTable utilization = AccessPointTableExport::utilization(list, statistics);
    ASSERT_EQ(utilization.rows.size(), 2u);
    EXPECT_EQ(utilization.rows[0][0].text, "yes");
    EXPECT_EQ(utilization.rows[0][1].text, "mine");
    EXPECT_EQ(utilization.rows[0][5].text, "11");
    EXPECT_EQ(utilization.rows[0][6].text, "100");
    EXPECT_EQ(utilization.rows[0][7].text, "A");
    EXPECT_EQ(utilization.rows[1][1].text, "home");
    EXPECT_EQ(utilization.rows[1][6].text, "");
    EXPECT_NE(TableExport::json(utilization).find("\"Grade (%)\": null"), std::string::npos);
}

TEST(PeakTable, RowsAreTheShownTracesPeaksAtTheirFrequencyAndLevel) {
    SpectrumSettings model;
    BandSweepBuffers& band = model.band24;
    band.processedPointCount = 256;
    // Raw in slot 0, max twice (listed once), the heat map (no peaks) in slot 2.
    model.spectrum_settings.traceModes[0] = 1;
    model.spectrum_settings.traceModes[1] = 4;
    model.spectrum_settings.traceModes[2] = 4;
    model.spectrum_settings.peakCounts[0] = 1;
    model.spectrum_settings.peakCounts[3] = 5;
    band.setPeaks(0, PeakList{PeakEntry{0, -40.0f}, PeakEntry{255, -50.0f}});
    // 400 is past the points: not a peak of this sweep.
    band.setPeaks(3, PeakList{PeakEntry{102, -30.5f}, PeakEntry{400, -20.0f}});
    std::vector<PeakTable::Row> rows = PeakTable::rows(model, 0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, 1);
    EXPECT_FLOAT_EQ(rows[0].frequencyMHz, 2400.0f);
    EXPECT_TRUE(rows[0].marked);
    EXPECT_EQ(rows[1].rank, 2);
    EXPECT_FLOAT_EQ(rows[1].frequencyMHz, 2500.0f);
    EXPECT_FALSE(rows[1].marked);  // one marker on the raw trace
    EXPECT_EQ(rows[2].kind, 4);
    EXPECT_NEAR(rows[2].frequencyMHz, 2440.0f, 1e-3f);
    EXPECT_EQ(PeakTable::frequencyText(rows[2].frequencyMHz), "2440.0 MHz");
    EXPECT_EQ(PeakTable::levelText(rows[2].levelDbm, false), "-30.5 dBm");
    EXPECT_EQ(PeakTable::levelText(-30.0f, true), "1.00 µW");

    // With an accessory the levels carry the attenuation, as the readouts do.
    model.runtime.deviceConnected = true;
    model.common_settings.externalAttenuation = 10.0f;
    rows = PeakTable::rows(model, 0);
    EXPECT_FLOAT_EQ(rows[2].levelDbm, -20.5f);
    const ExportTable table = PeakTable::exportTable(rows, 0);
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[2][1].text, "MAX");
    EXPECT_EQ(table.rows[2][3].text, "2440.00");
    EXPECT_EQ(table.rows[2][4].text, "-20.50");
    // Before the first sweep there is nothing to list.
    model.band24.processedPointCount = 0;
    EXPECT_TRUE(PeakTable::rows(model, 0).empty());
}

}  // namespace
