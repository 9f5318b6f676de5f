#include <gtest/gtest.h>
#include <sqlite3.h>

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

void writeFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DamagedStoreTest : public ::testing::Test {
  protected:
    // Opens the store on the damaged file and expects it to be moved to `aside`, with a fresh,
    // working database in its place.
    void expectMovedAside(const std::string& aside, const std::vector<char>& original) {
        testing::internal::CaptureStderr();
        SqliteKeyValueStore store;
        EXPECT_TRUE(store.open(path_));
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("is unreadable"), std::string::npos) << message;
        EXPECT_NE(message.find("moved it to " + aside), std::string::npos) << message;

        EXPECT_EQ(readFile(aside), original);
        EXPECT_EQ(store.getInteger("config0.version", -1), -1);
        store.setInteger("config0.version", 2);
        EXPECT_TRUE(store.flush());
        SqliteKeyValueStore reopened(path_);
        EXPECT_EQ(reopened.getInteger("config0.version", -1), 2);
    }

    TempDirectory dir_;
    std::string path_ = dir_.file("settings.sqlite3");
};

TEST_F(DamagedStoreTest, FileThatIsNotADatabaseIsMovedAside) {
    std::vector<char> garbage(4096);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>(i * 7 + 3);
    }
    writeFile(path_, garbage);
    expectMovedAside(path_ + ".corrupt", garbage);

    // A second damaged file does not overwrite the first one set aside.
    writeFile(path_, std::vector<char>(100, 'x'));
    expectMovedAside(path_ + ".corrupt.1", std::vector<char>(100, 'x'));
    EXPECT_EQ(readFile(path_ + ".corrupt"), garbage);
}

TEST_F(DamagedStoreTest, DatabaseWithDamagedPagesIsMovedAside) {
    {
        SqliteKeyValueStore store(path_);
        for (int i = 0; i < 300; ++i) {
            store.setData("key" + std::to_string(i), std::vector<uint8_t>(200, uint8_t(i)));
        }
        ASSERT_TRUE(store.flush());
    }
    std::vector<char> bytes = readFile(path_);
    ASSERT_GT(bytes.size(), 4 * 4096u);
    // Scribble over the b-tree pages after the schema page; the header stays valid, so only the
    // integrity check can tell.
    for (size_t i = 4096 + 8; i < 3 * 4096; ++i) {
        bytes[i] = static_cast<char>(0xA5);
    }
    writeFile(path_, bytes);
    expectMovedAside(path_ + ".corrupt", bytes);
}

TEST_F(DamagedStoreTest, TruncatedDatabaseIsMovedAside) {
    {
        SqliteKeyValueStore store(path_);
        for (int i = 0; i < 300; ++i) {
            store.setData("key" + std::to_string(i), std::vector<uint8_t>(200, uint8_t(i)));
        }
        ASSERT_TRUE(store.flush());
    }
    std::vector<char> bytes = readFile(path_);
    bytes.resize(bytes.size() / 2 + 100);
    writeFile(path_, bytes);
    expectMovedAside(path_ + ".corrupt", bytes);
}

TEST_F(DamagedStoreTest, StaleWriteAheadLogGoesAsideWithItsDatabase) {
    writeFile(path_, std::vector<char>(512, 'z'));
    writeFile(path_ + "-wal", std::vector<char>(64, 'w'));
    expectMovedAside(path_ + ".corrupt", std::vector<char>(512, 'z'));
    // SQLite may already have dropped a log it could not use; either way it must not be left
    // next to the fresh database.
    EXPECT_NE(readFile(path_ + "-wal"), std::vector<char>(64, 'w'));
}

// The write-ahead log of a damaged store cannot follow it aside (its new name is taken): a fresh
// database would replay it, and it is the user's file, so nothing moves, nothing is deleted, and
// the store runs on defaults in memory saying why.
TEST_F(DamagedStoreTest, JournalThatCannotFollowKeepsBothInPlace) {
    const std::vector<char> damaged(512, 'z');
    const std::vector<char> journal(64, 'j');
    writeFile(path_, damaged);
    writeFile(path_ + "-wal", journal);
    std::filesystem::create_directory(path_ + ".corrupt-wal");
    // SQLite itself drops a log it cannot use; here it cannot, as when the folder refuses it.
    FaultyVfs::install();
    FaultyVfs::fail(FaultyVfs::Operation::remove, SQLITE_IOERR_DELETE, "-wal");

    testing::internal::CaptureStderr();
    SqliteKeyValueStore store;
    EXPECT_FALSE(store.open(path_));
    const std::string message = testing::internal::GetCapturedStderr();
    FaultyVfs::clear();
    EXPECT_NE(message.find("left where it is"), std::string::npos) << message;
    EXPECT_NE(message.find(path_ + "-wal cannot be moved"), std::string::npos) << message;
    EXPECT_NE(store.problem().find("-wal cannot be moved"), std::string::npos) << store.problem();

    EXPECT_EQ(readFile(path_), damaged);
    EXPECT_EQ(readFile(path_ + "-wal"), journal);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".corrupt"));
    EXPECT_TRUE(std::filesystem::is_directory(path_ + ".corrupt-wal"));

    // Defaults, earlier writes seen from memory, and nothing written to the user's files.
    EXPECT_EQ(store.getInteger("config0.version", -1), -1);
    store.setInteger("config0.version", 2);
    EXPECT_EQ(store.getInteger("config0.version", -1), 2);
    EXPECT_FALSE(store.flush());
    store.close();
    EXPECT_EQ(readFile(path_), damaged);
    EXPECT_EQ(readFile(path_ + "-wal"), journal);
}

TEST_F(DamagedStoreTest, JournalThatIsNoRegularFileIsNotFollowed) {
    const std::vector<char> damaged(512, 'z');
    writeFile(path_, damaged);
    const std::string elsewhere = dir_.file("elsewhere");
    writeFile(elsewhere, std::vector<char>(64, 'e'));
    std::filesystem::create_symlink(elsewhere, path_ + "-wal");

    testing::internal::CaptureStderr();
    SqliteKeyValueStore store;
    EXPECT_FALSE(store.open(path_));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("using defaults"), std::string::npos) << message;
    EXPECT_EQ(readFile(path_), damaged);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".corrupt"));
    EXPECT_TRUE(std::filesystem::is_symlink(path_ + "-wal"));
    EXPECT_EQ(readFile(elsewhere), std::vector<char>(64, 'e'));
}

}  // namespace
