// The store under I/O faults: only a file that is damaged may be moved aside; a file that cannot
// be read or written stays exactly as it was, and whatever can still be read is read.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/SqliteKeyValueStore.h"
#include "tests/storage/FaultyVfs.h"
#include "tests/storage/TempDirectory.h"

namespace {

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
}

size_t countOf(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++count;
    }
    return count;
}

class StoreFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FaultyVfs::install();
        FaultyVfs::clear();
        // A good store as Tarno leaves it: committed, closed, no log next to it.
        SqliteKeyValueStore store(path_);
        store.setInteger("config0.version", 2);
        store.setData("config0.demo", std::vector<uint8_t>{1, 2, 0});
        ASSERT_TRUE(store.flush());
        store.close();
        original_ = readFile(path_);
        ASSERT_FALSE(original_.empty());
    }
    void TearDown() override { FaultyVfs::clear(); }

    // Nothing beside the store was made, and the store holds exactly what it held.
    void expectUntouched() {
        EXPECT_EQ(readFile(path_), original_);
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            EXPECT_EQ(entry.path().filename().string().find(".corrupt"), std::string::npos)
                << entry.path();
        }
    }

    // Opens under the armed faults, uses the store as a run of Tarno would, closes it; returns
    // what went to stderr.
    std::string runOnFaults(bool expectReadable) {
        testing::internal::CaptureStderr();
        {
            SqliteKeyValueStore store;
            store.open(path_);
            EXPECT_FALSE(store.problem().empty());
            EXPECT_EQ(store.getInteger("config0.version", -1), expectReadable ? 2 : -1);
            const std::vector<uint8_t> demo =
                expectReadable ? std::vector<uint8_t>{1, 2, 0} : std::vector<uint8_t>();
            EXPECT_EQ(store.getData("config0.demo"), demo);
            // Writes are kept for this run only.
            store.setInteger("config0.version", 7);
            EXPECT_EQ(store.getInteger("config0.version", -1), 7);
            EXPECT_FALSE(store.flush());
        }
        return testing::internal::GetCapturedStderr();
    }

    TempDirectory dir_;
    std::string path_ = dir_.file("settings.sqlite3");
    std::vector<char> original_;
};

TEST_F(StoreFaultTest, UnopenableStoreIsLeftAloneAndSaysWhyOnce) {
    for (int code : {SQLITE_CANTOPEN, SQLITE_IOERR, SQLITE_FULL, SQLITE_PERM, SQLITE_AUTH}) {
        SCOPED_TRACE(sqlite3_errstr(code));
        FaultyVfs::clear();
        FaultyVfs::fail(FaultyVfs::Operation::open, code, "settings.sqlite3");
        std::string message = runOnFaults(false);
        EXPECT_GT(FaultyVfs::injected(), 0);
        EXPECT_EQ(countOf(message, "Tarno:"), 1u) << message;
        EXPECT_NE(message.find(path_), std::string::npos) << message;
        EXPECT_NE(message.find("will not be saved"), std::string::npos) << message;
        FaultyVfs::clear();
        expectUntouched();
    }
}

TEST_F(StoreFaultTest, UnreadableStoreIsLeftAlone) {
    // A read error (a failing disk, or a file this user may not read) is not damage.
    FaultyVfs::fail(FaultyVfs::Operation::read, SQLITE_IOERR_READ, "settings.sqlite3");
    std::string message = runOnFaults(false);
    EXPECT_EQ(countOf(message, "Tarno:"), 1u) << message;
    FaultyVfs::clear();
    expectUntouched();
}

TEST_F(StoreFaultTest, FullDiskStillLoadsTheSettingsAndWritesNothing) {
    // On a full disk the shared-memory index of the log cannot grow and nothing can be written.
    FaultyVfs::fail(FaultyVfs::Operation::write, SQLITE_FULL);
    FaultyVfs::fail(FaultyVfs::Operation::shmMap, SQLITE_IOERR_SHMSIZE);
    std::string message = runOnFaults(true);
    EXPECT_EQ(countOf(message, "Tarno:"), 1u) << message;
    EXPECT_NE(message.find("read-only"), std::string::npos) << message;
    FaultyVfs::clear();
    expectUntouched();
}

TEST_F(StoreFaultTest, ReadOnlyFolderLoadsTheSettings) {
    // What a folder without write permission does to SQLite: no new file, no shared memory index,
    // nothing deleted.
    FaultyVfs::fail(FaultyVfs::Operation::create, SQLITE_CANTOPEN);
    FaultyVfs::fail(FaultyVfs::Operation::shmMap, SQLITE_READONLY_CANTINIT);
    FaultyVfs::fail(FaultyVfs::Operation::remove, SQLITE_IOERR_DELETE);
    std::string message = runOnFaults(true);
    EXPECT_EQ(countOf(message, "Tarno:"), 1u) << message;
    FaultyVfs::clear();
    expectUntouched();
}

TEST_F(StoreFaultTest, ReadOnlyFolderAndFileByPermissions) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes through permissions; the faulty VFS covers this";
    }
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
    std::string message = runOnFaults(true);
    EXPECT_EQ(countOf(message, "Tarno:"), 1u) << message;
    chmod(dir_.path().c_str(), 0755);
    expectUntouched();

    ASSERT_EQ(chmod(path_.c_str(), 0), 0);
    runOnFaults(false);
    chmod(path_.c_str(), 0644);
    expectUntouched();
}

TEST_F(StoreFaultTest, FailedCommitKeepsTheLastCommittedValues) {
    SqliteKeyValueStore store(path_);
    ASSERT_TRUE(store.problem().empty());
    store.setInteger("config0.version", 9);
    for (FaultyVfs::Operation operation :
         {FaultyVfs::Operation::write, FaultyVfs::Operation::sync}) {
        FaultyVfs::clear();
        FaultyVfs::fail(
            operation, operation == FaultyVfs::Operation::write ? SQLITE_FULL : SQLITE_IOERR_FSYNC);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(store.flush());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("could not save settings"),
                  std::string::npos);
        EXPECT_EQ(store.getInteger("config0.version", -1), 9);  // still pending
    }
    FaultyVfs::clear();
    {
        SqliteKeyValueStore other(path_);
        EXPECT_EQ(other.getInteger("config0.version", -1), 2);
    }
    EXPECT_TRUE(store.flush());
    SqliteKeyValueStore reopened(path_);
    EXPECT_EQ(reopened.getInteger("config0.version", -1), 9);
}

TEST_F(StoreFaultTest, PathsThatAreNotRegularFilesAreNeverMoved) {
    TempDirectory other;
    const std::string folder = other.file("folder");
    const std::string fifo = other.file("fifo");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    std::ofstream(folder + "/inside") << "keep";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string garbage = other.file("garbage");
    std::ofstream(garbage) << "not a database, and not Tarno's to move";
    const std::string link = other.file("link");
    std::filesystem::create_symlink(garbage, link);

    for (const std::string& path : {folder, fifo, link}) {
        SCOPED_TRACE(path);
        testing::internal::CaptureStderr();
        SqliteKeyValueStore store;
        EXPECT_FALSE(store.open(path));
        EXPECT_FALSE(store.problem().empty());
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::exists(folder + "/inside"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::vector<char>(readFile(garbage)).size(), 39u);
    for (const auto& entry : std::filesystem::directory_iterator(other.path())) {
        EXPECT_EQ(entry.path().filename().string().find(".corrupt"), std::string::npos)
            << entry.path();
    }
}

TEST_F(StoreFaultTest, ReadOnlyOpenNeverCreatesOrMoves) {
    SqliteKeyValueStore store;
    EXPECT_TRUE(store.openReadOnly(path_));
    EXPECT_TRUE(store.isReadOnly());
    EXPECT_EQ(store.getInteger("config0.version", -1), 2);
    store.close();
    expectUntouched();
    EXPECT_FALSE(std::filesystem::exists(path_ + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(path_ + "-shm"));

    const std::string absent = dir_.file("absent.sqlite3");
    EXPECT_FALSE(store.openReadOnly(absent));
    EXPECT_NE(store.problem().find("does not exist"), std::string::npos) << store.problem();
    EXPECT_FALSE(std::filesystem::exists(absent));

    const std::string text = dir_.file("notes.txt");
    std::ofstream(text) << "a text file, not a store\n";
    EXPECT_FALSE(store.openReadOnly(text));
    EXPECT_NE(store.problem().find("not a Tarno settings store"), std::string::npos)
        << store.problem();
    EXPECT_EQ(readFile(text).size(), 25u);
}

TEST_F(StoreFaultTest, DataSizeIsKnownWithoutReadingTheData) {
    SqliteKeyValueStore store(path_);
    store.setData("big", std::vector<uint8_t>(300000, 7));
    ASSERT_TRUE(store.flush());
    store.setData("pending", std::vector<uint8_t>(5, 1));
    SqliteKeyValueStore reader(path_);
    EXPECT_EQ(reader.dataSize("big"), 300000u);
    EXPECT_EQ(reader.dataSize("config0.version"), 0u);  // an integer
    EXPECT_EQ(reader.dataSize("absent"), 0u);
    EXPECT_EQ(store.dataSize("pending"), 5u);
}

}  // namespace
