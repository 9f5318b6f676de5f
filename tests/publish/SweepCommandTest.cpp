// `tarno-cli sweep` as a user runs it, on the demonstration recordings of the build, read back
// the way a hackrf_sweep script reads its lines.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliProcess.h"

namespace fs = std::filesystem;
using CliProcess::lines;
using CliProcess::split;

namespace {

const std::string kSweep = std::string(TARNO_CLI_PATH) +
                           " sweep --simulated-time --resources " TARNO_TEST_RESOURCE_ROOT " ";

bool isWholeNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// One hackrf_sweep line as its readers take it apart.
struct CsvSweep {
    std::string date, time;
    unsigned long long low = 0, high = 0, width = 0, samples = 0;
    std::vector<double> levels;
};

::testing::AssertionResult parseCsv(const std::string& line, CsvSweep& out) {
    const std::vector<std::string> fields = split(line, ", ");
    if (fields.size() < 7) {
        return ::testing::AssertionFailure() << "too few fields: " << line;
    }
    static const std::regex date("[0-9]{4}-[0-9]{2}-[0-9]{2}");
    static const std::regex time("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{6}");
    if (!std::regex_match(fields[0], date) || !std::regex_match(fields[1], time)) {
        return ::testing::AssertionFailure() << "bad date or time: " << line.substr(0, 40);
    }
    for (size_t i = 2; i < 6; ++i) {
        if (!isWholeNumber(fields[i])) {
            return ::testing::AssertionFailure() << "field " << i << " not whole: " << fields[i];
        }
    }
    out.date = fields[0];
    out.time = fields[1];
    out.low = std::stoull(fields[2]);
    out.high = std::stoull(fields[3]);
    out.width = std::stoull(fields[4]);
    out.samples = std::stoull(fields[5]);
    out.levels.clear();
    for (size_t i = 6; i < fields.size(); ++i) {
        char* end = nullptr;
        const double level = std::strtod(fields[i].c_str(), &end);
        if (end == fields[i].c_str() || *end != '\0') {
            return ::testing::AssertionFailure() << "bad level '" << fields[i] << "'";
        }
        out.levels.push_back(level);
    }
    if (out.width * out.samples != out.high - out.low) {
        return ::testing::AssertionFailure()
               << "bin width × samples != span: " << line.substr(0, 80);
    }
    if (out.levels.size() != out.samples) {
        return ::testing::AssertionFailure()
               << out.levels.size() << " levels for " << out.samples << " samples";
    }
    return ::testing::AssertionSuccess();
}

// The numbers of a JSON array member `"key":[...]` of a line.
std::vector<double> jsonArray(const std::string& line, const std::string& key) {
    std::vector<double> values;
    const size_t at = line.find("\"" + key + "\":[");
    if (at == std::string::npos) {
        return values;
    }
    const size_t begin = line.find('[', at) + 1;
    const size_t end = line.find(']', begin);
    for (const std::string& field : split(line.substr(begin, end - begin), ",")) {
        values.push_back(std::strtod(field.c_str(), nullptr));
    }
    return values;
}

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/tarno-cli-sweep-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

}  // namespace

TEST(SweepCommand, HundredSweepsThatAHackrfSweepReaderParses) {
    const auto run = CliProcess::run(kSweep + "--demo 2 --signal 1 --count 100");
    EXPECT_EQ(run.status, 0);
    const auto out = lines(run.out);
    ASSERT_EQ(out.size(), 100u);
    std::string previous;
    for (const std::string& line : out) {
        CsvSweep sweep;
        ASSERT_TRUE(parseCsv(line, sweep));
        EXPECT_EQ(sweep.low, 2400000000u);
        EXPECT_EQ(sweep.samples, 256u);
        // The last point, low + 255 × width, is the band's top edge to within rounding.
        EXPECT_NEAR(static_cast<double>(sweep.low + 255 * sweep.width), 2.5e9, 256.0);
        for (double level : sweep.levels) {
            EXPECT_TRUE(level > -130.0 && level < 0.0) << level;
        }
        const std::string stamp = sweep.date + " " + sweep.time;
        EXPECT_GT(stamp, previous);  // every sweep once, in order
        previous = stamp;
    }
}

TEST(SweepCommand, EachGenerationAndBandHasItsOwnGrid) {
    struct Case {
        const char* arguments;
        unsigned long long low;
        unsigned long long samples;
        double top;
    };
    const Case cases[] = {
        {"--demo 0 --signal 2 --count 3", 2400000000u, 100u, 2.5e9},
        {"--demo 1 --signal 3 --count 3", 2400000000u, 256u, 2.5e9},
        {"--demo 2 --signal 1 --band 1 --count 3", 5145000000u, 512u, 5.86e9},
    };
    for (const Case& c : cases) {
        const auto run = CliProcess::run(kSweep + c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments;
        const auto out = lines(run.out);
        ASSERT_EQ(out.size(), 3u) << c.arguments;
        for (const std::string& line : out) {
            CsvSweep sweep;
            ASSERT_TRUE(parseCsv(line, sweep)) << c.arguments;
            EXPECT_EQ(sweep.low, c.low);
            EXPECT_EQ(sweep.samples, c.samples);
            EXPECT_NEAR(static_cast<double>(sweep.low + (sweep.samples - 1) * sweep.width), c.top,
                        static_cast<double>(sweep.samples));
        }
    }
}

TEST(SweepCommand, JsonCarriesTheSameSweepsAndTheTracesTheWindowKeeps) {
    const auto csv = CliProcess::run(kSweep + "--demo 2 --signal 1 --count 30");
    const auto json = CliProcess::run(kSweep + "--demo 2 --signal 1 --count 30 --format json" +
                                      " --trace live,max,min,avg,decay");
    EXPECT_EQ(json.status, 0);
    const auto csvLines = lines(csv.out);
    const auto jsonLines = lines(json.out);
    ASSERT_EQ(csvLines.size(), 30u);
    ASSERT_EQ(jsonLines.size(), 30u);
    std::vector<double> runningMax, runningMin;
    for (size_t n = 0; n < jsonLines.size(); ++n) {
        const std::string& line = jsonLines[n];
        CsvSweep sweep;
        ASSERT_TRUE(parseCsv(csvLines[n], sweep));
        EXPECT_EQ(line.rfind("{\"time\":\"" + sweep.date + "T" + sweep.time +
                                 "Z\",\"band\":\"2.4\","
                                 "\"start\":2400000000,\"stop\":" +
                                 std::to_string(sweep.low + 255 * sweep.width) +
                                 ",\"step\":" + std::to_string(sweep.width) + ",\"levels\":[",
                             0),
                  0u)
            << line.substr(0, 120);
        const std::vector<double> levels = jsonArray(line, "levels");
        ASSERT_EQ(levels, sweep.levels);
        if (runningMax.empty()) {
            runningMax = levels;
            runningMin = levels;
        }
        for (size_t i = 0; i < levels.size(); ++i) {
            runningMax[i] = std::max(runningMax[i], levels[i]);
            runningMin[i] = std::min(runningMin[i], levels[i]);
        }
        // Maximum and minimum hold since the first sweep, point by point.
        EXPECT_EQ(jsonArray(line, "max"), runningMax) << n;
        EXPECT_EQ(jsonArray(line, "min"), runningMin) << n;
        const std::vector<double> average = jsonArray(line, "avg");
        const std::vector<double> decay = jsonArray(line, "decay");
        ASSERT_EQ(average.size(), levels.size());
        ASSERT_EQ(decay.size(), levels.size());
        for (size_t i = 0; i < levels.size(); ++i) {
            EXPECT_GE(average[i], runningMin[i] - 0.005);
            EXPECT_LE(average[i], runningMax[i] + 0.005);
            EXPECT_GE(decay[i], levels[i]);  // the decay trace never falls below the live one
        }
        // The live peaks are the five highest live points, highest first.
        std::vector<double> sorted = levels;
        std::sort(sorted.rbegin(), sorted.rend());
        const size_t peaks = line.find("\"peaks\":{\"live\":[{\"hz\":");
        ASSERT_NE(peaks, std::string::npos) << line.substr(line.size() - 200);
        const size_t dB = line.find("\"dB\":", peaks);
        EXPECT_DOUBLE_EQ(std::strtod(line.c_str() + dB + 5, nullptr), sorted[0]);
    }
}

TEST(SweepCommand, AClosedPipeEndsTheCommandCleanly) {
    // No --count: only the reader going away can end it.
    const auto run = CliProcess::run("bash -c 'set -o pipefail; " + kSweep +
                                     "--demo 2 --signal 1 | head -n 3; echo status $?'");
    const auto out = lines(run.out);
    ASSERT_EQ(out.size(), 4u) << run.out.substr(0, 200);
    CsvSweep sweep;
    EXPECT_TRUE(parseCsv(out[2], sweep));
    EXPECT_EQ(out[3], "status 0");
}

TEST(SweepCommand, CtrlCEndsAfterAWholeLine) {
    CliProcess::Child child({TARNO_CLI_PATH, "sweep", "--demo", "2", "--signal", "1", "--format",
                             "json", "--simulated-time", "--resources", TARNO_TEST_RESOURCE_ROOT});
    std::string line;
    ASSERT_TRUE(child.readLine(line));
    child.signal(SIGINT);
    size_t more = 0;
    while (child.readLine(line)) {
        EXPECT_EQ(line.back(), '}');
        ++more;
    }
    EXPECT_EQ(child.wait(), 0);
    EXPECT_LT(more, 1000000u);
}

TEST(SweepCommand, OutCreatesAFileAndNeverTouchesAnExistingOne) {
    TempDir dir;
    const fs::path file = dir.path / "sweeps.csv";
    auto run =
        CliProcess::run(kSweep + "--demo 2 --signal 1 --count 5 --out " + file.string() + " 2>&1");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    std::stringstream written;
    written << std::ifstream(file).rdbuf();
    EXPECT_EQ(written.str(), CliProcess::run(kSweep + "--demo 2 --signal 1 --count 5").out);
    EXPECT_EQ((fs::status(file).permissions() & fs::perms::others_write), fs::perms::none);

    // An existing file, and a link to one, are left as they are.
    const fs::path mine = dir.path / "mine.txt";
    std::ofstream(mine) << "keep me\n";
    const fs::path link = dir.path / "link.csv";
    fs::create_symlink(mine, link);
    const fs::path dangling = dir.path / "dangling.csv";
    fs::create_symlink(dir.path / "nowhere.csv", dangling);
    for (const fs::path& target : {mine, link, dangling}) {
        run = CliProcess::run(kSweep + "--demo 2 --signal 1 --count 5 --out " + target.string() +
                              " 2>&1");
        EXPECT_EQ(run.status, 1) << target;
        EXPECT_NE(run.out.find("cannot create " + target.string() + ": "), std::string::npos)
            << run.out;
    }
    // A start that fails leaves no file behind.
    const fs::path never = dir.path / "never.csv";
    run = CliProcess::run(kSweep + "--demo 2 --signal 1 --resources " + dir.path.string() +
                          " --out " + never.string() + " 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no demonstration recordings"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(never));

    std::stringstream kept;
    kept << std::ifstream(mine).rdbuf();
    EXPECT_EQ(kept.str(), "keep me\n");
    EXPECT_FALSE(fs::exists(dir.path / "nowhere.csv"));
}

TEST(SweepCommand, RefusesWhatItCannotDo) {
    for (const char* arguments : {"--count 0", "--format xml", "--trace live", "--band 2",
                                  "--format json --trace live,peak", "--out"}) {
        const auto run =
            CliProcess::run(kSweep + "--demo 2 --signal 1 " + arguments + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.out.find("Usage: tarno-cli sweep"), std::string::npos) << arguments;
    }
    // The first generation has no 5 GHz band.
    const auto run = CliProcess::run(kSweep + "--demo 0 --signal 1 --band 1 --count 2 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no 5 GHz band"), std::string::npos) << run.out;
}
