#include "storage/SqliteKeyValueStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/storage/TempDirectory.h"

namespace {

// Runs one query on its own connection and returns the first column of the first row as text.
std::string queryText(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result = "<error>";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            int code = sqlite3_step(statement);
            if (code == SQLITE_ROW) {
                const unsigned char* text = sqlite3_column_text(statement, 0);
                result = text != nullptr ? reinterpret_cast<const char*>(text) : "<null>";
            } else if (code == SQLITE_DONE) {
                result = "<none>";
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

bool executeRaw(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

class SqliteKeyValueStoreTest : public ::testing::Test {
  protected:
    TempDirectory dir_;
    std::string path_ = dir_.file("settings.sqlite3");
};

TEST_F(SqliteKeyValueStoreTest, ValuesSurviveReopenWithTheirKinds) {
    const std::vector<uint8_t> blob = {0x00, 0x01, 0xff, 0x00, 0x7f};
    {
        SqliteKeyValueStore store(path_);
        ASSERT_TRUE(store.isOpen());
        store.setInteger("config0.version", 2);
        store.setInteger("min", INT_MIN);
        store.setInteger("max", INT_MAX);
        store.setBool("flag", true);
        store.setBool("off", false);
        store.setData("blob", blob);
        store.setData("empty", {});
        ASSERT_TRUE(store.flush());
    }
    SqliteKeyValueStore store(path_);
    EXPECT_EQ(store.getInteger("config0.version", -1), 2);
    EXPECT_EQ(store.getInteger("min", 0), INT_MIN);
    EXPECT_EQ(store.getInteger("max", 0), INT_MAX);
    EXPECT_TRUE(store.getBool("flag", false));
    EXPECT_FALSE(store.getBool("off", true));
    EXPECT_EQ(store.getData("blob"), blob);
    EXPECT_TRUE(store.getData("empty").empty());

    // The file layout documented in the header: one table, integers and blobs as SQLite types.
    EXPECT_EQ(queryText(path_, "PRAGMA user_version"), "1");
    EXPECT_EQ(queryText(path_, "SELECT typeof(value) FROM entries WHERE key='config0.version'"),
              "integer");
    EXPECT_EQ(queryText(path_, "SELECT value FROM entries WHERE key='flag'"), "1");
    EXPECT_EQ(queryText(path_, "SELECT hex(value) FROM entries WHERE key='blob'"), "0001FF007F");
    // Empty data is an empty blob, not NULL (NULL would read back as a missing key).
    EXPECT_EQ(queryText(path_,
                        "SELECT typeof(value) || length(value) FROM entries WHERE "
                        "key='empty'"),
              "blob0");
}

TEST_F(SqliteKeyValueStoreTest, MissingOrMismatchedValuesGiveTheDefault) {
    ASSERT_TRUE(executeRaw(path_,
                           "CREATE TABLE entries (key TEXT PRIMARY KEY NOT NULL, value) WITHOUT "
                           "ROWID; INSERT INTO entries VALUES ('text', 'abc'), ('real', 1.5), "
                           "('null', NULL), ('huge', 4294967296), ('blob', x'0102')"));
    SqliteKeyValueStore store(path_);
    store.setInteger("integer", 7);
    EXPECT_EQ(store.getInteger("absent", 42), 42);
    EXPECT_TRUE(store.getBool("absent", true));
    EXPECT_TRUE(store.getData("absent").empty());
    for (const char* key : {"text", "real", "null", "huge", "blob"}) {
        EXPECT_EQ(store.getInteger(key, -5), -5) << key;
    }
    EXPECT_TRUE(store.getBool("blob", true));
    EXPECT_FALSE(store.getBool("text", false));
    EXPECT_TRUE(store.getData("integer").empty());
    EXPECT_TRUE(store.getData("text").empty());
    EXPECT_EQ(store.getData("blob"), (std::vector<uint8_t>{1, 2}));
}

TEST_F(SqliteKeyValueStoreTest, WritesReachOtherConnectionsOnlyAtFlush) {
    SqliteKeyValueStore writer(path_);
    SqliteKeyValueStore reader(path_);
    writer.setInteger("a", 1);
    writer.setInteger("a", 2);  // the last write wins
    writer.setBool("b", true);
    EXPECT_EQ(writer.getInteger("a", 0), 2);  // the writer sees its own pending writes
    EXPECT_EQ(reader.getInteger("a", 0), 0);
    EXPECT_FALSE(reader.getBool("b", false));

    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(reader.getInteger("a", 0), 2);
    EXPECT_TRUE(reader.getBool("b", false));

    // And the other way round, with the first one still open.
    reader.setData("c", std::vector<uint8_t>{9});
    ASSERT_TRUE(reader.flush());
    EXPECT_EQ(writer.getData("c"), std::vector<uint8_t>{9});
}

TEST_F(SqliteKeyValueStoreTest, FlushBlockedByAnotherInstanceKeepsItsWrites) {
    SqliteKeyValueStore store(path_);
    store.setBusyTimeout(0);
    store.setInteger("mine", 1);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO entries VALUES ('theirs', 5)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.flush());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("could not save settings"),
              std::string::npos);
    EXPECT_EQ(store.getInteger("mine", 0), 1);
    // Reading is not blocked by the other instance's open write transaction.
    EXPECT_EQ(store.getInteger("theirs", 0), 0);

    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_TRUE(store.flush());
    SqliteKeyValueStore reopened(path_);
    EXPECT_EQ(reopened.getInteger("mine", 0), 1);
    EXPECT_EQ(reopened.getInteger("theirs", 0), 5);
}

TEST_F(SqliteKeyValueStoreTest, UnopenableLocationRunsFromMemory) {
    SqliteKeyValueStore store;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.open(dir_.file("missing/dir/settings.sqlite3")));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot open settings store"),
              std::string::npos);
    EXPECT_FALSE(store.isOpen());
    store.setInteger("a", 3);
    EXPECT_EQ(store.getInteger("a", 0), 3);
    EXPECT_FALSE(store.flush());
}

TEST_F(SqliteKeyValueStoreTest, DestructorAndReopenCommitPendingWrites) {
    {
        SqliteKeyValueStore store(path_);
        store.setInteger("at.exit", 4);
    }
    SqliteKeyValueStore store(path_);
    EXPECT_EQ(store.getInteger("at.exit", 0), 4);
    store.setInteger("before.reopen", 6);
    ASSERT_TRUE(store.open(path_));
    EXPECT_EQ(store.getInteger("before.reopen", 0), 6);
    EXPECT_EQ(queryText(path_, "SELECT value FROM entries WHERE key='before.reopen'"), "6");
}

}  // namespace
