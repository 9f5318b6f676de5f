// The rows the controller writes to the data log for every kind of measurement, end to end.
#include "tests/controller/DataLogTestSupport.h"

using namespace datalogtest;

TEST(DataLogEndToEnd, SpectrumOfBothBandsLogsEveryStoredSweep) {
    TempDir dir;
    LinkRig rig(SimGeneration::TarnoDuo, dir.path);
    rig.model.spectrum_settings.ssidScanOn = 0;
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    auto stored = [&](BandSweepBuffers& b) { return b.sweepCount(); };
    ASSERT_TRUE(rig.tickUntil([&] { return stored(rig.model.band24) >= 3; }, 100));
    rig.model.spectrum_settings.band = 1;
    rig.controller.requestReconfigure(false);
    ASSERT_TRUE(rig.tickUntil([&] { return stored(rig.model.band5) >= 2; }, 100));

    std::vector<std::string> l = lines(dir.read(kName));
    ASSERT_GE(l.size(), 3u + 3u + 3u + 2u);
    EXPECT_EQ(l[0], "Spectrum");
    EXPECT_EQ(l[1], "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm");
    EXPECT_EQ(l[2].rfind("Freq (MHz):,2400.0,", 0), 0u);
    EXPECT_EQ(l[3].substr(0, kStamp.size()), kStamp);
    size_t row24 = 0, row5 = 0, block5 = 0;
    for (size_t i = 3; i < l.size(); ++i) {
        if (l[i] == "Spectrum") {
            block5 = i;
            continue;
        }
        size_t n = fields(l[i]).size();
        if (block5 == 0) {
            ASSERT_EQ(n, 246u) << l[i];
            ++row24;
        } else if (i > block5 + 2) {
            ASSERT_EQ(n, 513u);
            ++row5;
        }
    }
    EXPECT_EQ(row24, static_cast<size_t>(stored(rig.model.band24)));
    EXPECT_EQ(row5, static_cast<size_t>(stored(rig.model.band5)));
    ASSERT_GT(block5, 0u);
    // The band change came with a settings acknowledgement: a full header with the scale line.
    EXPECT_EQ(l[block5 + 1], "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm");
    EXPECT_EQ(l[block5 + 2].rfind("Freq (MHz):, 5145.0,", 0), 0u);
    // The last row holds the newest sweep.
    const float* newest = rig.model.band5.sweep(rig.model.band5.sweepCount() - 1);
    std::string last = l.back();
    EXPECT_EQ(last.substr(last.find(',') + 1) + "\n", DataLogFile::logValues(newest, 512));
}

TEST(DataLogEndToEnd, PowerCapturesAndRollingSamples) {
    TempDir dir;
    LinkRig rig(SimGeneration::Tarno2, dir.path);
    rig.model.common_settings.spectrumMode = 0;
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    ASSERT_TRUE(rig.tickUntil([&] { return rig.model.live.history.size() >= 3; }, 100));
    std::vector<std::string> l = lines(dir.read(kName));
    ASSERT_GE(l.size(), 5u);
    EXPECT_EQ(l[0], "Power");
    EXPECT_EQ(l[1].rfind("time:,", 0), 0u);
    EXPECT_NE(l[1].find(",s/div, Power:,"), std::string::npos);
    EXPECT_EQ(fields(l[2]).size(), 1001u);
    {
        const std::vector<float>& first = rig.model.live.history.front();
        EXPECT_EQ(
            l[2],
            kStamp + DataLogFile::logValues(first.data(), first.size())
                         .substr(0, DataLogFile::logValues(first.data(), first.size()).size() - 1));
    }

    // Now rolling: a scale line (the new settings were acknowledged) and one row per sample.
    rig.model.power_setting.powerTimeBaseIndex = 3;
    rig.controller.requestReconfigure(true);
    ASSERT_TRUE(rig.tickUntil([&] { return rig.controller.ackCount() == 2; }, 20));
    rig.ticks(30);
    l = lines(dir.read(kName));
    size_t scale = 0;
    for (size_t i = 3; i < l.size(); ++i) {
        if (l[i].rfind("time:,", 0) == 0) {
            scale = i;
        }
    }
    ASSERT_GT(scale, 0u);
    EXPECT_EQ(l[scale], "time:,100 m,s/div, Power:,6.25 ,dBm/div,");
    size_t rolled = 0;
    for (size_t i = scale + 1; i < l.size(); ++i) {
        ASSERT_EQ(fields(l[i]).size(), 2u) << l[i];
        ++rolled;
    }
    const std::vector<float>& roll = rig.model.live.rollingHistory;
    ASSERT_FALSE(roll.empty());
    EXPECT_GE(rolled, roll.size());
    EXPECT_EQ(l.back().substr(l.back().find(',') + 1) + "\n",
              DataLogFile::logValues(&roll.back(), 1));
}

// The demonstration logs like an accessory; only the header lines say where the data came from,
// and `tarno-cli measure` still reads the file.
TEST(DataLogEndToEnd, TheDemonstrationsLogIsMarkedInItsHeaderLineOnly) {
    TempDir dir;
    ControllerRig rig(&MemoryResources::recordings(SimGeneration::Tarno), dir.path);
    rig.model.demo.hardware = 0;
    rig.model.common_settings.spectrumMode = 0;
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    for (int i = 0; i < 40; ++i) {
        rig.pass();
    }
    const std::string text = dir.read(kName);
    std::vector<std::string> l = lines(text);
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "Power,Demonstration data");
    // Everything after the mode word is what an accessory's capture would have given.
    const std::string plain = DataLogFile::logHeader(rig.model, LogMeasurement::kPower, true);
    EXPECT_EQ(text.substr(l[0].size(), plain.size() - 5), plain.substr(5));
    {
        const std::vector<float>& first = rig.model.live.history.front();
        std::string row = DataLogFile::logValues(first.data(), first.size());
        row.pop_back();
        EXPECT_EQ(l[2], kStamp + row);
    }
    std::istringstream in(text);
    PowerLogReader reader(in);
    PowerLogReader::Row row;
    ASSERT_TRUE(reader.next(row)) << reader.error();
    EXPECT_EQ(row.samples.size(), 240u);
    EXPECT_GT(row.secondsPerDivision, 0.0f);
}
