// tarno-cli log run as a user runs it, on the demonstration recordings of the build.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/ChildProcess.h"

namespace {

std::string run(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe)) {
        output += chunk;
    }
    int status = pclose(pipe);
    output += "exit " + std::to_string(WEXITSTATUS(status));
    return output;
}

}  // namespace

TEST(LogCommand, SimulatedDemonstrationWritesTheHeaderAndExactlyTheRowsAskedFor) {
    char pattern[] = "/tmp/tarno-cli-log-XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::string output = run(std::string(TARNO_CLI_PATH) +
                             " log --demo 2 --signal 1 --band 1 --count 5 --simulated-time"
                             " --resources " TARNO_TEST_RESOURCE_ROOT " --out " +
                             dir + " 2>&1");
    EXPECT_NE(output.find("5 rows written to " + dir + "/Tarno_"), std::string::npos) << output;
    EXPECT_NE(output.find("exit 0"), std::string::npos);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().rfind("Tarno_", 0), 0u);
    EXPECT_EQ(files[0].extension(), ".csv");
    std::ifstream in(files[0]);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Spectrum,Demonstration data");
    EXPECT_EQ(lines[1], "Spectrum Mode :: Frequency: MHz :: Amplitude: dBm");
    EXPECT_EQ(lines[2].rfind("Freq (MHz):, 5145.0,5146.4,", 0), 0u);
    EXPECT_NE(lines[3].find(".000,"), std::string::npos);
    // The 5 GHz recording plays one sweep per 1.25 s of virtual time on average, on passes of
    // 100 ms: at 1.3, 2.5, 3.8 and 5.0 s.
    EXPECT_EQ(lines[4].rfind("1.300,", 0), 0u);
    EXPECT_EQ(lines[5].rfind("2.500,", 0), 0u);
    EXPECT_EQ(lines[7].rfind("5.000,", 0), 0u);
    for (size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 512) << i;
        EXPECT_NE(lines[i].back(), ',');
    }
    std::filesystem::remove_all(dir);
}

TEST(LogCommand, DashWritesTheCsvToStandardOutputAndTheSummaryToStandardError) {
    const std::string command = std::string(TARNO_CLI_PATH) +
                                " log --demo 2 --signal 1 --count 3 --simulated-time"
                                " --resources " TARNO_TEST_RESOURCE_ROOT " --out -";
    std::istringstream csv(run(command + " 2>/dev/null"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 7u);  // three header lines, three rows, the exit status
    EXPECT_EQ(lines[0], "Spectrum,Demonstration data");  // a demonstration log says so
    EXPECT_EQ(lines[2].rfind("Freq (MHz):,", 0), 0u);
    EXPECT_EQ(lines[6], "exit 0");
    EXPECT_EQ(run(command + " 2>&1 >/dev/null"), "3 rows written to standard output\nexit 0");
    // "-" names no file: nothing appears where the command ran.
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().filename().string().rfind("-", 0), 0u) << entry.path();
    }
}

TEST(LogCommand, RefusesMissingRecordingsAndBadArguments) {
    EXPECT_NE(run(std::string(TARNO_CLI_PATH) +
                  " log --demo 1 --simulated-time --resources /nonexistent --out /tmp 2>&1")
                  .find("no demonstration recordings"),
              std::string::npos);
    EXPECT_NE(run(std::string(TARNO_CLI_PATH) + " log --band 2 --out /tmp 2>&1").find("exit 2"),
              std::string::npos);
    EXPECT_NE(
        run(std::string(TARNO_CLI_PATH) + " log --power --band 1 --out /tmp 2>&1").find("exit 2"),
        std::string::npos);
}

namespace {

std::vector<std::filesystem::path> filesIn(const std::string& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> logArguments(const std::string& dir, const std::string& extra) {
    std::vector<std::string> argv = {TARNO_CLI_PATH,
                                     "log",
                                     "--demo",
                                     "2",
                                     "--signal",
                                     "1",
                                     "--simulated-time",
                                     "--resources",
                                     TARNO_TEST_RESOURCE_ROOT,
                                     "--out",
                                     dir};
    std::stringstream words(extra);
    for (std::string word; words >> word;) {
        argv.push_back(word);
    }
    return argv;
}

}  // namespace

TEST(LogCommand, AFullDiskStopsTheLogAtItsLastCompleteRowAndFails) {
    char pattern[] = "/tmp/tarno-cli-log-XXXXXX";
    std::string dir = mkdtemp(pattern);
    // No --count: before, the simulated run went on for its whole pass limit after the failure.
    ChildLimits limits;
    limits.fileSizeBytes = 20000;  // the header and a few 5 GHz rows of about 3 KB each
    ChildResult r = runChild(logArguments(dir, "--band 1"), limits);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    std::vector<std::filesystem::path> files = filesIn(dir);
    ASSERT_EQ(files.size(), 1u);
    const std::string text = readWholeFile(files[0].string());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the file ends with a complete row";
    EXPECT_LE(text.size(), 20000u);
    const long rows = std::count(text.begin(), text.end(), '\n') - 3;  // after the header block
    EXPECT_GT(rows, 0);
    EXPECT_NE(r.err.find("tarno-cli log: stopped after " + std::to_string(rows) +
                         " rows: " + files[0].string() + ": File too large"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    std::filesystem::remove_all(dir);
}

TEST(LogCommand, PowerOnAnAccessoryWithoutAPowerMeterFailsAndWritesNothing) {
    char pattern[] = "/tmp/tarno-cli-log-XXXXXX";
    std::string dir = mkdtemp(pattern);
    ChildResult r = runChild(logArguments(dir, "--power --count 3"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("this accessory has no power meter"), std::string::npos) << r.err;
    EXPECT_TRUE(filesIn(dir).empty());
    std::filesystem::remove_all(dir);
}

TEST(LogCommand, LogsStartedInTheSameSecondGetTheirOwnFiles) {
    char pattern[] = "/tmp/tarno-cli-log-XXXXXX";
    std::string dir = mkdtemp(pattern);
    // A planted link where the first log would go: it is not followed, and its target survives.
    const std::string target = dir + "-target";
    std::ofstream(target) << "the user's file\n";
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[64];
    std::strftime(name, sizeof name, "Tarno_%Y%m%d_%H%M%S.csv", &local);
    std::filesystem::create_symlink(target, dir + "/" + name);

    ChildResult first = runChild(logArguments(dir, "--count 1"));
    ChildResult second = runChild(logArguments(dir, "--count 1"));
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(readWholeFile(target), "the user's file\n");
    size_t logs = 0;
    for (const auto& path : filesIn(dir)) {
        if (std::filesystem::is_symlink(path)) {
            continue;
        }
        ++logs;
        const std::string text = readWholeFile(path.string());
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << path;
    }
    EXPECT_EQ(logs, 2u);
    EXPECT_NE(first.out.find(dir + "/Tarno_"), std::string::npos);
    EXPECT_NE(first.out, second.out);
    std::filesystem::remove_all(dir);
    std::filesystem::remove(target);
}
