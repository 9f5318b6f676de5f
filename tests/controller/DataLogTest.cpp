// The CSV data log: exact file name, header blocks, stamps and values, the state switch, failures
// of the file system, and the rows the controller writes for every kind of measurement.
#include "tests/controller/DataLogTestSupport.h"

using namespace datalogtest;

TEST(DataLogText, ValuesHaveFourSignificantDigitsAndNoTrailingComma) {
    std::vector<float> values = {-85.25f, -100.125f, 3.5e-05f, 0.0f, 12345.0f, -0.5f};
    EXPECT_EQ(DataLogFile::logValues(values.data(), values.size()),
              "-85.25,-100.1,3.5e-05,0,1.234e+04,-0.5\n");
    EXPECT_EQ(DataLogFile::logValues(nullptr, 0), "\n");
}

TEST(DataLogText, FileNameAndStampsUseTheLocalTime) {
    std::tm local{};
    fixedLocalTime(local);
    EXPECT_EQ(DataLogFile::fileName(local), kName);
    local.tm_mon = 2000000000;  // does not fit: the time part is left out
    local.tm_mday = 2000000000;
    EXPECT_EQ(DataLogFile::fileName(local), "Tarno_.csv");

    ManualClock clock(1000);
    DataLogFile file("/nonexistent/", &clock, fixedLocalTime);
    EXPECT_EQ(file.logTimestamp(true, 0), kStamp);
    // Not open: the relative stamp starts counting at its first use.
    EXPECT_EQ(file.logTimestamp(false, 0), "0.000,");
    clock.advance(1234);
    EXPECT_EQ(file.logTimestamp(false, 8), "1.242,");
}

TEST(DataLogText, HeadersForEveryBandAndGeneration) {
    SpectrumSettings model;
    model.accessory.generation = 2;
    EXPECT_EQ(DataLogFile::logHeader(model, LogMeasurement::kSweep24, false),
              "Spectrum\nFreq (MHz):, 2400,2401,2402,2403,2404,2405,2406,2407,2408,2409,2410,2411,"
              "2412,2413,2414,2415,2416,2417,2418,2419,2420,2421,2422,2423,2424,2425,2426,2427,"
              "2428,2429,2430,2431,2432,2433,2434,2435,2436,2437,2438,2439,2440,2441,2442,2443,"
              "2444,2445,2446,2447,2448,2449,2450,2451,2452,2453,2454,2455,2456,2457,2458,2459,"
              "2460,2461,2462,2463,2464,2465,2466,2467,2468,2469,2470,2471,2472,2473,2474,2475,"
              "2476,2477,2478,2479,2480,2481,2482,2483,2484,2485,2486,2487,2488,2489,2490,2491,"
              "2492,2493,2494,2495\n");
    model.accessory.generation = 6;
    std::string header = DataLogFile::logHeader(model, LogMeasurement::kSweep24, true);
    std::vector<std::string> l = lines(header);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "Spectrum");
    EXPECT_EQ(l[1], "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm");
    EXPECT_EQ(l[2].rfind("Freq (MHz):,2400.0,2400.4,2400.8,2401.2,", 0), 0u);
    EXPECT_EQ(fields(l[2]).size(), 246u);
    EXPECT_EQ(l[2].substr(l[2].size() - 14), ",2495.3,2495.7");

    l = lines(DataLogFile::logHeader(model, LogMeasurement::kSweep5, false));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[1].rfind("Freq (MHz):, 5145.0,5146.4,5147.8,", 0), 0u);
    EXPECT_EQ(fields(l[1]).size(), 513u);
    EXPECT_EQ(l[1].substr(l[1].size() - 14), ",5858.6,5860.0");

    model.accessory.generation = 0;
    EXPECT_EQ(DataLogFile::logHeader(model, LogMeasurement::kSweep24, false), "Spectrum\n");

    model.accessory.powerTimeBases = {0.00001f};
    model.power_setting.powerTimeBaseIndex = 0;
    model.accessory.powerAxisMin = -50.0f;
    model.accessory.powerAxisMax = 0.0f;
    EXPECT_EQ(DataLogFile::logHeader(model, LogMeasurement::kPower, true),
              "Power\ntime:,10 \xC2\xB5,s/div, Power:,6.25 ,dBm/div,\n");
}

TEST(DataLog, FiveGigahertzStartWritesTheFullHeaderThenAbsoluteThenRelativeRows) {
    LogRig rig;
    rig.model.accessory.generation = 7;
    rig.model.accessory.shownPoints5 = 512;
    std::vector<float> sweep = ramp(512);
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), sweep.size());
    EXPECT_EQ(rig.model.runtime.dataLogState, SpectrumSettings::kDataLogOn);
    rig.clock.advance(100);
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), sweep.size());
    std::string expectedRow = DataLogFile::logValues(sweep.data(), 512);
    EXPECT_EQ(rig.text(), DataLogFile::logHeader(rig.model, LogMeasurement::kSweep5, true) +
                              kStamp + expectedRow + "0.100," + expectedRow);
    EXPECT_EQ(rig.logger.rowsWritten(), 2u);
}

TEST(DataLog, KindChangesStartNewHeaderBlocksAndScaleLinesFollowAcknowledgements) {
    LogRig rig;
    SpectrumSettings& m = rig.model;
    m.accessory.generation = 6;
    m.accessory.shownPoints24 = 245;
    m.accessory.powerTimeBases = {0.001f};
    m.power_setting.powerTimeBaseIndex = 0;
    std::vector<float> sweep = ramp(256);
    std::vector<float> capture = ramp(3, -20.0f);
    rig.logger.logSweep(m, LogMeasurement::kSweep24, sweep.data(), sweep.size());
    rig.clock.advance(1000);
    rig.logger.logPowerCapture(m, capture.data(), capture.size());
    rig.logger.setScaleChanged();
    rig.clock.advance(1000);
    rig.logger.logPowerCapture(m, capture.data(), capture.size());
    rig.clock.advance(1000);
    rig.logger.logSweep(m, LogMeasurement::kSweep24, sweep.data(), sweep.size());
    rig.clock.advance(1000);
    rig.logger.logSweep(m, LogMeasurement::kSweep5, sweep.data(), 0);

    std::vector<std::string> l = lines(rig.text());
    ASSERT_EQ(l.size(), 14u);
    EXPECT_EQ(l[0], "Spectrum");
    EXPECT_EQ(l[3].substr(0, kStamp.size()), kStamp);
    EXPECT_EQ(fields(l[3]).size(), 1u + 245u);  // the shown points, not the 256 received
    EXPECT_EQ(l[4], "Power");
    EXPECT_EQ(l[5], "1.000,-20,-19.75,-19.5");
    EXPECT_EQ(l[6], "time:,1 m,s/div, Power:,5.00 ,dBm/div,");
    EXPECT_EQ(l[7], "2.000,-20,-19.75,-19.5");
    EXPECT_EQ(l[8], "Spectrum");
    EXPECT_EQ(l[9].rfind("Freq (MHz):,2400.0,", 0), 0u);
    EXPECT_EQ(l[10].rfind("3.000,-90,", 0), 0u);
    EXPECT_EQ(l[11], "Spectrum");
    EXPECT_EQ(l[12].rfind("Freq (MHz):, 5145.0,", 0), 0u);
    EXPECT_EQ(l[13], "4.000,");
}

TEST(DataLog, RollingSamplesAreOneRowEachWithTheirOwnOffsets) {
    LogRig rig;
    rig.model.accessory.powerTimeBases = {0.1f};
    rig.model.power_setting.powerTimeBaseIndex = 0;
    rig.model.accessory.powerRollPoints = 240;  // 0.1 s × 10 / 240: 4 ms apart
    std::vector<float> samples = {-30.0f, -31.5f, -33.25f};
    rig.logger.logRollingSamples(rig.model, samples.data(), samples.size());
    rig.clock.advance(500);
    rig.logger.logRollingSamples(rig.model, samples.data(), 2);
    std::vector<std::string> l = lines(rig.text());
    ASSERT_EQ(l.size(), 7u);
    EXPECT_EQ(l[0], "Power");
    EXPECT_EQ(l[2], kStamp + "-30");
    EXPECT_EQ(l[3], "0.004,-31.5");
    EXPECT_EQ(l[4], "0.008,-33.25");
    EXPECT_EQ(l[5], "0.500,-30");
    EXPECT_EQ(l[6], "0.504,-31.5");
}

TEST(DataLog, StopClosesAndAStartInTheSameSecondGetsItsOwnFile) {
    LogRig rig;
    rig.model.accessory.shownPoints5 = 512;
    std::vector<float> sweep = ramp(4);
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStopRequested;
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    EXPECT_EQ(rig.model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
    EXPECT_FALSE(rig.file.isOpen());
    EXPECT_EQ(rig.logger.rowsWritten(), 2u);
    EXPECT_EQ(lines(rig.text()).size(), 5u);
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    EXPECT_EQ(lines(rig.text()).size(), 5u);  // off: nothing more

    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    EXPECT_EQ(lines(rig.text()).size(), 5u);  // the first file is kept whole
    const std::string second = "Tarno_20260304_050607_2.csv";
    EXPECT_EQ(rig.file.path(), rig.dir.path + second);
    EXPECT_EQ(lines(rig.dir.read(second)).size(), 4u);
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStopRequested;
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    rig.model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    rig.logger.logSweep(rig.model, LogMeasurement::kSweep5, sweep.data(), 4);
    EXPECT_EQ(rig.file.path(), rig.dir.path + "Tarno_20260304_050607_3.csv");
    rig.logger.closeOnDisconnect(rig.model);
    EXPECT_EQ(rig.model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
    EXPECT_TRUE(rig.file.path().empty());
}

// Collects what the log step tells the user.
struct RecordingSink : DiagnosticSink {
    void vlog(int, const char* format, va_list args) override {
        char line[512];
        std::vsnprintf(line, sizeof line, format, args);
        lines.push_back(line);
    }
    std::vector<std::string> lines;
};

TEST(DataLog, AFileThatCannotBeCreatedStopsTheLogAndSaysWhy) {
    ManualClock clock(10);
    DataLogFile file("/nonexistent-tarno-dir/", &clock, fixedLocalTime);
    DataLogger logger(file);
    SpectrumSettings model;
    RecordingSink sink;
    model.runtime.screenLog = &sink;
    model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    std::vector<float> sweep = ramp(10);
    logger.logSweep(model, LogMeasurement::kSweep24, sweep.data(), 10);
    EXPECT_EQ(model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
    EXPECT_TRUE(model.runtime.dataLogFailed.exchange(false));
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0],
              "Data log stopped: /nonexistent-tarno-dir/" + kName + ": No such file or directory");
    logger.logSweep(model, LogMeasurement::kSweep24, sweep.data(), 10);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(logger.rowsWritten(), 0u);
    EXPECT_EQ(sink.lines.size(), 1u) << "said once";
    model.runtime.screenLog = nullptr;
}

TEST(DataLog, AFullDiskStopsTheLogAndSaysWhy) {
    ManualClock clock(10);
    std::string opened;
    DataLogFile file("/tmp/", &clock, fixedLocalTime, [&](const std::string& path) {
        opened = path;
        return std::fopen("/dev/full", "w");
    });
    DataLogger logger(file);
    SpectrumSettings model;
    RecordingSink sink;
    model.runtime.screenLog = &sink;
    model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
    std::vector<float> sweep = ramp(10);
    logger.logSweep(model, LogMeasurement::kSweep24, sweep.data(), 10);
    EXPECT_EQ(opened, "/tmp/" + kName);
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.path().empty());
    EXPECT_EQ(logger.rowsWritten(), 0u);
    EXPECT_EQ(file.failure(), "/tmp/" + kName + ": No space left on device");
    EXPECT_EQ(model.runtime.dataLogState, SpectrumSettings::kDataLogOff);
    EXPECT_TRUE(model.runtime.dataLogFailed.load());
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0], "Data log stopped: " + file.failure());
    model.runtime.screenLog = nullptr;
}

TEST(DataLog, AWriteThatFailsHalfwayLeavesTheFileEndingAtItsLastCompleteRow) {
    TempDir dir;
    // In a child: the file size limit applies to the whole process. Without SIGXFSZ ignored the
    // limit kills instead of failing the write.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{10000, 10000};
        setrlimit(RLIMIT_FSIZE, &limit);
        ManualClock clock(10);
        DataLogFile file(dir.path, &clock, fixedLocalTime);
        DataLogger logger(file);
        SpectrumSettings model;
        model.accessory.shownPoints5 = 512;
        model.runtime.dataLogState = SpectrumSettings::kDataLogStartRequested;
        std::vector<float> sweep = ramp(512);
        for (int i = 0; i < 20; ++i) {
            clock.advance(100);
            logger.logSweep(model, LogMeasurement::kSweep5, sweep.data(), sweep.size());
        }
        const bool stopped = model.runtime.dataLogState == SpectrumSettings::kDataLogOff &&
                             file.failure() == dir.path + kName + ": File too large";
        _exit(stopped ? static_cast<int>(logger.rowsWritten()) : 255);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const int rows = WEXITSTATUS(status);
    ASSERT_NE(rows, 255) << "the log did not stop with the reason";
    EXPECT_GT(rows, 0);
    const std::string text = dir.read(kName);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::vector<std::string> l = lines(text);
    ASSERT_EQ(l.size(), 3u + static_cast<size_t>(rows));
    for (size_t i = 3; i < l.size(); ++i) {
        EXPECT_EQ(fields(l[i]).size(), 513u) << i;
    }
}

TEST(DataLog, APlantedLinkIsNeverFollowed) {
    TempDir dir;
    const std::string target = dir.path + "someone-elses-file";
    std::ofstream(target) << "precious\n";
    ASSERT_EQ(symlink(target.c_str(), (dir.path + kName).c_str()), 0);
    // A dangling link too: creating through it would make a file elsewhere.
    ASSERT_EQ(symlink((dir.path + "elsewhere").c_str(),
                      (dir.path + "Tarno_20260304_050607_2.csv").c_str()),
              0);
    ManualClock clock(10);
    DataLogFile file(dir.path, &clock, fixedLocalTime);
    ASSERT_TRUE(file.open());
    EXPECT_EQ(file.path(), dir.path + "Tarno_20260304_050607_3.csv");
    EXPECT_TRUE(file.write("Spectrum\n"));
    file.close();
    EXPECT_EQ(dir.read("someone-elses-file"), "precious\n");
    EXPECT_FALSE(std::ifstream(dir.path + "elsewhere").good());
    EXPECT_EQ(dir.read("Tarno_20260304_050607_3.csv"), "Spectrum\n");
}

// --- Through the controller, against the simulator ------------------------------------------
