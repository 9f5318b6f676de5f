// Every tarno-cli command that reads a file, given what a user or an attacker might hand it: a
// directory, a FIFO with no writer, an endless device, a huge sparse file. Each run is a child
// process with a CPU and wall-clock limit; its peak memory must not follow the file's size.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

// Far below what reading a 1 GiB file into memory takes; well above the program's own needs.
constexpr long kMemoryCeilingKb = 96 * 1024;
constexpr off_t kSparseBytes = off_t{1} << 30;

class CliBadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarno-cli-input-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    static ChildResult run(const std::string& command, const std::string& path) {
        return runChild({TARNO_CLI_PATH, command, path});
    }

    std::string dir_;
};

const char* const kReaders[] = {"decode", "measure"};

TEST_F(CliBadInput, DirectoriesFifosAndDevicesAreRefusedWithAReason) {
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir_, "a directory, not a file"},
        {fifo, "a pipe or socket, not a file"},
        {"/dev/zero", "a device, not a file"},
        {dir_ + "/missing", "No such file or directory"},
    };
    for (const char* command : kReaders) {
        for (const Case& c : cases) {
            ChildResult r = run(command, c.path);
            EXPECT_EQ(r.exitCode, 1) << command << " " << c.path << ": " << r.err;
            EXPECT_NE(r.err.find("cannot read " + c.path + ": " + c.reason), std::string::npos)
                << command << " " << c.path << ": " << r.err;
            EXPECT_EQ(r.out, "") << command << " " << c.path;
        }
    }
}

TEST_F(CliBadInput, AHugeSparseFileIsReadInBoundedMemoryAndFails) {
    const std::string sparse = dir_ + "/sparse.bin";
    int fd = open(sparse.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, kSparseBytes), 0);
    close(fd);

    ChildResult decoded = run("decode", sparse);
    EXPECT_EQ(decoded.exitCode, 1) << decoded.err;
    EXPECT_NE(decoded.err.find(sparse + " holds no accessory packets"), std::string::npos)
        << decoded.err;
    EXPECT_LT(decoded.maxRssKb, kMemoryCeilingKb);

    ChildResult measured = run("measure", sparse);
    EXPECT_EQ(measured.exitCode, 1) << measured.err;
    EXPECT_NE(measured.err.find("line 1: longer than"), std::string::npos) << measured.err;
    EXPECT_LT(measured.maxRssKb, kMemoryCeilingKb);
}

TEST_F(CliBadInput, AnEmptyFileDecodesToNothingAndSaysSo) {
    const std::string empty = dir_ + "/empty.bin";
    close(open(empty.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
    ChildResult r = run("decode", empty);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("holds no accessory packets"), std::string::npos) << r.err;
}

TEST_F(CliBadInput, PacketsSplitAcrossReadsDecodeAsInOneRead) {
    // Junk that puts the recording's packets across the reader's piece boundaries.
    const std::string recording =
        readWholeFile(TARNO_TEST_RESOURCE_ROOT "/res/packets/TarnoDuo/TarnoDuo_discover.bin") +
        readWholeFile(TARNO_TEST_RESOURCE_ROOT "/res/packets/TarnoDuo/TarnoDuo_spectrumWifi.bin");
    ASSERT_GT(recording.size(), 1000u);
    const std::string whole = dir_ + "/whole.bin";
    const std::string shifted = dir_ + "/shifted.bin";
    {
        std::ofstream(whole, std::ios::binary) << recording;
        std::ofstream(shifted, std::ios::binary) << std::string(65536 - 7, '\0') << recording;
    }
    ChildResult a = run("decode", whole);
    ChildResult b = run("decode", shifted);
    EXPECT_EQ(a.exitCode, 0) << a.err;
    EXPECT_EQ(b.exitCode, 0) << b.err;
    EXPECT_GT(std::count(a.out.begin(), a.out.end(), '\n'), 10);
    EXPECT_TRUE(a.out == b.out) << "the shifted file decodes differently";
}

}  // namespace
