// tarno-cli measure run as a user runs it, on crafted data logs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

namespace {

std::string run(const std::string& arguments) {
    std::string output;
    std::FILE* pipe = popen((std::string(TARNO_CLI_PATH) + " measure " + arguments).c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) {
        output += chunk;
    }
    int status = pclose(pipe);
    return output + "exit " + std::to_string(WEXITSTATUS(status));
}

class MeasureCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarno-measure-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    std::string write(const std::string& name, const std::string& text) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    // Two cycles of 10 samples at -40 dBm and 10 at -10 dBm.
    static std::string squareRow(const std::string& stamp) {
        std::string row = stamp;
        for (int i = 0; i < 40; ++i) {
            row += (i / 10) % 2 ? ",-10" : ",-40";
        }
        return row + "\n";
    }

    std::string dir_;
};

TEST_F(MeasureCommand, OneObjectPerPowerRowWithTheScaleLinesTimeBase) {
    // 4 s/div over 40 samples: 1 s per sample.
    std::string path =
        write("square.csv", "Power\ntime:,4 ,s/div, Power:,5.00 ,dBm/div,\n" +
                                squareRow("2026-12-08 13:48:17.000") +
                                "Spectrum\n0.100,-90,-91\nPower\n" + squareRow("0.200"));
    std::string output = run(path);
    const std::string expected =
        "\"samples\":40,\"dt\":1,\"period\":20,\"frequency\":0.05,\"riseTime\":0,"
        "\"fallTime\":0,\"dutyPlus\":50,\"dutyMinus\":50,\"pulsePlus\":10,\"pulseMinus\":10,"
        "\"peakToPeak\":30,\"max\":-10,\"min\":-40,\"mean\":-25,\"cycleMean\":-25,\"rms\":-13.00";
    EXPECT_EQ(output.find("{\"row\":1," + expected), 0u) << output;
    EXPECT_NE(output.find("}\n{\"row\":2," + expected), std::string::npos) << output;
    EXPECT_EQ(output.find("\"row\":3"), std::string::npos);
    EXPECT_NE(output.find("}\nexit 0"), std::string::npos);
}

TEST_F(MeasureCommand, GivenIntervalAndUndefinedValuesAsNull) {
    std::string path = write("flat.csv", "Power\n0.000,-30,-30,-30,-30\n");
    std::string output = run("--dt 0.25 " + path);
    EXPECT_EQ(output,
              "{\"row\":1,\"samples\":4,\"dt\":0.25,\"period\":null,\"frequency\":null,"
              "\"riseTime\":null,\"fallTime\":null,\"dutyPlus\":null,\"dutyMinus\":null,"
              "\"pulsePlus\":null,\"pulseMinus\":null,\"peakToPeak\":0,\"max\":-30,\"min\":-30,"
              "\"mean\":-30,\"cycleMean\":null,\"rms\":-30,\"cycleRms\":null}\nexit 0");
}

TEST_F(MeasureCommand, MissingIntervalOrRowsFail) {
    std::string noScale = write("noscale.csv", "Power\n0.000,-30,-20,-30\n");
    std::string output = run(noScale + " 2>&1");
    EXPECT_NE(output.find("line 2: no sample interval"), std::string::npos) << output;
    EXPECT_NE(output.find("exit 1"), std::string::npos);

    std::string spectrum = write("spectrum.csv", "Spectrum\nFreq (MHz):, 1,2\n0.000,-90,-91\n");
    output = run(spectrum + " 2>&1");
    EXPECT_NE(output.find("holds no power rows"), std::string::npos) << output;
    EXPECT_NE(output.find("exit 1"), std::string::npos);

    output = run(dir_ + "/absent.csv 2>&1");
    EXPECT_NE(output.find("cannot read " + dir_ + "/absent.csv: No such file or directory"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("exit 1"), std::string::npos);

    output = run("--dt 0 " + noScale + " 2>&1");
    EXPECT_NE(output.find("exit 2"), std::string::npos) << output;
}

}  // namespace
