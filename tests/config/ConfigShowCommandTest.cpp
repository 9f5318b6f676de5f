// `tarno-cli config show --store PATH` as a user runs it: it reads a Tarno store and nothing
// else, and whatever PATH is, it is exactly as it was afterwards.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "model/config/RecordImages.h"
#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/TempDirectory.h"

namespace {

struct Result {
    std::string out;
    std::string err;
    int status = -1;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ConfigShowCommandTest : public ::testing::Test {
  protected:
    // Runs tarno-cli with `faults` armed in the faulty VFS (none when empty); killed after 20 s,
    // so a command stuck on a FIFO fails instead of hanging the suite.
    Result run(const std::string& arguments, const std::string& faults = {}) {
        const std::string errFile = dir_.file("stderr.txt");
        std::string environment;
        if (!faults.empty()) {
            environment = "LD_PRELOAD=" + std::string(TARNO_FAULTY_VFS_PRELOAD) +
                          " TARNO_TEST_SQLITE_FAULTS=" + faults +
                          " ASAN_OPTIONS=verify_asan_link_order=0 ";
        }
        const std::string command = environment + "timeout -s KILL 20 " +
                                    std::string(TARNO_CLI_PATH) + " config show " + arguments +
                                    " 2>" + errFile;
        Result result;
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return result;
        }
        char chunk[512];
        while (std::fgets(chunk, sizeof chunk, pipe)) {
            result.out += chunk;
        }
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readFile(errFile);
        std::filesystem::remove(errFile);
        return result;
    }

    // A store as Tarno writes it, with slot 1 saved.
    std::string makeStore(const SpectrumSettings& settings) {
        const std::string path = dir_.file("settings.sqlite3");
        SqliteKeyValueStore store(path);
        EXPECT_TRUE(ConfigurationStore(store).save(settings, 1));
        store.close();
        return path;
    }

    TempDirectory dir_;
};

TEST_F(ConfigShowCommandTest, ReadsAStoreWithoutChangingOrCreatingAnything) {
    SpectrumSettings settings;
    settings.spectrum_settings.traceModes[1] = 4;
    const std::string path = makeStore(settings);
    const std::string before = readFile(path);
    const std::set<std::string> names = namesIn(dir_.path());

    Result result = run("1 --store " + path);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("(HEAT MAP, MAX HOLD, NONE)"), std::string::npos) << result.out;
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(namesIn(dir_.path()), names);
}

TEST_F(ConfigShowCommandTest, RefusesWhatIsNotATarnoStoreAndLeavesItAlone) {
    const std::string text = dir_.file("notes.txt");
    std::ofstream(text) << "the user's notes\n";
    const std::string folder = dir_.file("folder");
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/inside") << "kept";
    const std::string fifo = dir_.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string absent = dir_.file("absent.sqlite3");
    const std::string otherDatabase = dir_.file("other.sqlite3");
    sqlite3* other = nullptr;  // a database of some other program
    ASSERT_EQ(sqlite3_open(otherDatabase.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE notes (text)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    const std::set<std::string> names = namesIn(dir_.path());

    struct Case {
        std::string path;
        const char* why;
    };
    for (const Case& c : {Case{text, "not a Tarno settings store"}, Case{folder, "it is a folder"},
                          Case{fifo, "not a regular file"}, Case{absent, "does not exist"},
                          Case{otherDatabase, "not a Tarno settings store"}}) {
        SCOPED_TRACE(c.path);
        Result result = run("--store " + c.path);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(c.why), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(namesIn(dir_.path()), names);
    EXPECT_EQ(readFile(text), "the user's notes\n");
    EXPECT_EQ(readFile(folder + "/inside"), "kept");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(ConfigShowCommandTest, StoreThatCannotBeReadIsReportedAndLeftAlone) {
    const std::string path = makeStore(SpectrumSettings());
    const std::string before = readFile(path);
    const std::set<std::string> names = namesIn(dir_.path());
    // Permission refused (what mode 000 does for anyone but root), then a failing disk.
    for (const char* faults : {"open:PERM", "open:CANTOPEN", "read:IOERR"}) {
        SCOPED_TRACE(faults);
        Result result = run("1 --store " + path, faults);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("cannot read " + path), std::string::npos) << result.err;
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(namesIn(dir_.path()), names);
    }
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(path.c_str(), 0), 0);
        Result result = run("1 --store " + path);
        chmod(path.c_str(), 0644);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(readFile(path), before);
    }
}

TEST_F(ConfigShowCommandTest, OutOfRangeValuesShowAsDefaultsWithANotice) {
    const std::string path = makeStore(SpectrumSettings());
    SpectrumViewSettings view;
    view.band = 99;
    {
        SqliteKeyValueStore store(path);
        store.setData("config1.spectrum_settings", encodeSpectrumViewSettings(view));
        ASSERT_TRUE(store.flush());
    }
    Result result = run("1 --store " + path);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("config1.spectrum_settings: band 99 is out of range; using 0"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("(2.4 GHz)"), std::string::npos) << result.out;
}

}  // namespace
