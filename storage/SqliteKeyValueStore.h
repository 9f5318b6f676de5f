#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "storage/KeyValueStore.h"

struct sqlite3;

// The key-value store on an SQLite 3 database file. The schema is documented in
// storage/SCHEMA.md; in short, one table:
//
//   CREATE TABLE entries (key TEXT PRIMARY KEY NOT NULL, value) WITHOUT ROWID;
//   PRAGMA user_version = 1;
//
// Integers and bools are SQLite INTEGERs (bools 0 or 1), data are BLOBs. The database runs in WAL
// mode with synchronous=FULL.
//
// Writes collect in memory and reach the file only in flush(), inside one transaction, so the
// write lock is held for the commit alone and a process killed before its flush leaves the
// previously committed values untouched. A second Tarno instance on the same file waits up to
// the busy timeout for the lock; a flush that still cannot get it fails and keeps its writes.
//
// Only damage moves a file: a regular file that is not a database or fails the integrity check is
// moved aside (to "<path>.corrupt", numbered when that exists) with a message on stderr, and a
// fresh file takes its place. Any other failure (no permission, I/O error, full disk, a path that
// is a folder, a FIFO or a link) leaves the path exactly as it was: a file that can still be read
// is opened read-only and its settings load, otherwise the store runs from memory (reads see
// earlier writes). Either way flush() then writes nothing and fails, and problem() says why;
// stderr hears it once, at open().
class SqliteKeyValueStore final : public KeyValueStore {
  public:
    static constexpr const char* kFileName = "settings.sqlite3";
    static constexpr int kDefaultBusyTimeoutMs = 5000;

    SqliteKeyValueStore();
    explicit SqliteKeyValueStore(const std::string& path);
    ~SqliteKeyValueStore() override;  // flushes pending writes

    SqliteKeyValueStore(const SqliteKeyValueStore&) = delete;
    SqliteKeyValueStore& operator=(const SqliteKeyValueStore&) = delete;

    // Opens (creating when missing) the database at `path`, flushing and closing any previous
    // one. False when no database could be opened; the store then runs from memory.
    bool open(const std::string& path);
    // Opens an existing Tarno store for reading only: never creates, writes or moves anything,
    // and prints nothing. False, with problem() saying why, for a missing path, anything but a
    // regular file (or a link to one), and a file that is not a Tarno store.
    bool openReadOnly(const std::string& path);
    // open() on kFileName in writableDirectory().
    bool openDefault();
    // Flushes, then closes. Pending writes that could not be committed are dropped.
    void close();
    bool isOpen() const;
    // Open, but flush() cannot write: the file, its folder or the disk refuses writes.
    bool isReadOnly() const;
    std::string path() const;
    // Applies to the open database and to later opens.
    void setBusyTimeout(int milliseconds);

    // The process-wide store on the default file, opened on first use.
    static SqliteKeyValueStore& shared();

    int getInteger(std::string_view key, int defaultValue) override;
    bool getBool(std::string_view key, bool defaultValue) override;
    std::vector<uint8_t> getData(std::string_view key) override;
    size_t dataSize(std::string_view key) override;
    void setInteger(std::string_view key, int value) override;
    void setBool(std::string_view key, bool value) override;
    void setData(std::string_view key, std::span<const uint8_t> bytes) override;
    bool flush() override;
    std::string problem() const override;

  private:
    using Value = std::variant<int64_t, std::vector<uint8_t>>;
    static constexpr const char* kCreateTable =
        "CREATE TABLE IF NOT EXISTS entries (key TEXT PRIMARY KEY NOT NULL, value) WITHOUT ROWID";
    enum class OpenResult { ok, damaged, failed };
    enum class Access { readWrite, readOnly };

    OpenResult openFile(const std::string& path, Access access);
    OpenResult checkIntegrity();
    OpenResult prepareSchema();
    void fail(const std::string& why);
    void closeFile();
    bool lookup(std::string_view key, Value& value);
    bool commitPending();
    bool execute(const char* sql);
    void reportReadError(int code);

    mutable std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::string path_;
    std::string lastError_;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    std::string problem_;
    bool readOnly_ = false;
    bool readErrorReported_ = false;
    std::map<std::string, Value, std::less<>> pending_;
};
