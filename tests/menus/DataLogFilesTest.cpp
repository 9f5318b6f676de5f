#include "menus/DataLogFiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "menus/CaptureFileName.h"
#include "menus/DesktopCommand.h"

namespace fs = std::filesystem;

namespace {

class DataLogFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarno-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    // A file with a modification time in whole seconds, so the order is known.
    void write(const std::string& name, long seconds) {
        const std::string path = dir + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("x", file);
        std::fclose(file);
        struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    bool exists(const std::string& name) {
        return fs::exists(fs::symlink_status(dir + "/" + name));
    }

    std::string dir;
};

TEST_F(DataLogFilesTest, ListsOnlyLogsAndScreenshotsNewestFirst) {
    write("settings.sqlite3", 500);
    write("settings.sqlite3-wal", 501);
    write("settings.sqlite3-shm", 502);
    write("notes.txt", 503);
    write("Tarno_20260101_100000.csv", 100);
    write("Tarno_20260101_110000.png", 300);
    write("Tarno_$(touch x).csv", 200);
    write("Tarno_%s%n.png", 200);
    fs::create_directory(dir + "/Tarno_folder.csv");
    fs::create_symlink(dir + "/settings.sqlite3", dir + "/Tarno_link.csv");
    const std::vector<std::string> expected = {"Tarno_20260101_110000.png", "Tarno_%s%n.png",
                                               "Tarno_$(touch x).csv", "Tarno_20260101_100000.csv"};
    EXPECT_EQ(DataLogFiles::list(dir), expected);
    EXPECT_TRUE(DataLogFiles::list(dir + "/missing").empty());
}

TEST_F(DataLogFilesTest, DeletesOnlyWhatItWouldList) {
    write("settings.sqlite3", 500);
    write("Tarno_a.csv", 100);
    write("Tarno_b.png", 100);
    fs::create_symlink(dir + "/settings.sqlite3", dir + "/Tarno_link.csv");
    using R = DataLogFiles::DeleteResult;
    EXPECT_EQ(DataLogFiles::remove(dir, "settings.sqlite3", false), R::kNotListed);
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_link.csv", false), R::kNotListed);
    EXPECT_EQ(DataLogFiles::remove(dir, "../Tarno_a.csv", false), R::kNotListed);
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_gone.csv", false), R::kNotListed);
    // While a log is being written no log is deleted; screenshots still are.
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_a.csv", true), R::kInUse);
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_b.png", true), R::kDeleted);
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_a.csv", false), R::kDeleted);
    EXPECT_TRUE(exists("settings.sqlite3"));
    EXPECT_TRUE(exists("Tarno_link.csv"));
    EXPECT_FALSE(exists("Tarno_a.csv"));
    EXPECT_FALSE(exists("Tarno_b.png"));
}

TEST_F(DataLogFilesTest, ListsTheTableExportsAndDeletesThemWhileALogRuns) {
    write("Tarno_20260101_100000.csv", 100);
    write("Tarno_SSID_20260101_100500.csv", 200);
    write("Tarno_SSID_20260101_100500.json", 201);
    write("Tarno_Peaks_20260101_100600_2.json", 300);
    write("other.json", 400);
    const std::vector<std::string> expected = {
        "Tarno_Peaks_20260101_100600_2.json", "Tarno_SSID_20260101_100500.json",
        "Tarno_SSID_20260101_100500.csv", "Tarno_20260101_100000.csv"};
    EXPECT_EQ(DataLogFiles::list(dir), expected);
    // An export is never the log being written.
    using R = DataLogFiles::DeleteResult;
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_20260101_100000.csv", true), R::kInUse);
    EXPECT_EQ(DataLogFiles::remove(dir, "Tarno_SSID_20260101_100500.csv", true), R::kDeleted);
    EXPECT_TRUE(exists("other.json"));
}

TEST(CaptureFileName, SameSecondGetsASuffix) {
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 3;
    local.tm_min = 4;
    local.tm_sec = 5;
    EXPECT_EQ(captureFileName(local, ".png", {}), "Tarno_20260102_030405.png");
    std::vector<std::string> taken = {"Tarno_20260102_030405.png", "Tarno_20260102_030405_2.png"};
    auto isTaken = [&](const std::string& name) {
        return std::find(taken.begin(), taken.end(), name) != taken.end();
    };
    EXPECT_EQ(captureFileName(local, ".png", isTaken), "Tarno_20260102_030405_3.png");
}

int waitFor(pid_t pid) {
    int status = -1;
    // The child is a shell that exits at once; poll never blocks the caller.
    while ((status = DesktopCommand::poll(pid)) < 0)
        sched_yield();
    return status;
}

TEST(DesktopCommand, ArgumentsArriveUnchangedAndFailuresAreReported) {
    char pattern[] = "/tmp/tarno-spawn-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string out = dir + "/args";
    const std::string hostile = dir + "/Tarno_$(touch " + dir + "/pwned).csv";
    const pid_t pid = DesktopCommand::start(
        {"sh", "-c", "printf '%s\\n' \"$@\" > \"$0\"", out, "--attach", hostile});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(waitFor(pid), 0);
    std::FILE* file = std::fopen(out.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char line[512];
    std::vector<std::string> lines;
    while (std::fgets(line, sizeof line, file))
        lines.emplace_back(line, strcspn(line, "\n"));
    std::fclose(file);
    EXPECT_EQ(lines, (std::vector<std::string>{"--attach", hostile}));
    EXPECT_FALSE(fs::exists(dir + "/pwned"));

    EXPECT_EQ(waitFor(DesktopCommand::start({"sh", "-c", "exit 3"})), 3);
    EXPECT_EQ(DesktopCommand::start({"tarno-no-such-helper"}), -1);
    EXPECT_EQ(DesktopCommand::start({}), -1);
    fs::remove_all(dir);
}

}  // namespace
