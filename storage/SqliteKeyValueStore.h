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
// A file that is not a database, fails the integrity check or cannot be read is moved aside
// (to "<path>.corrupt", numbered when that exists) with a message on stderr, and a fresh file
// takes its place. If no file can be opened at all the store keeps working from memory: reads
// see earlier writes, flush() fails.
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
    // open() on kFileName in writableDirectory().
    bool openDefault();
    // Flushes, then closes. Pending writes that could not be committed are dropped.
    void close();
    bool isOpen() const;
    std::string path() const;
    // Applies to the open database and to later opens.
    void setBusyTimeout(int milliseconds);

    // The process-wide store on the default file, opened on first use.
    static SqliteKeyValueStore& shared();

    int getInteger(std::string_view key, int defaultValue) override;
    bool getBool(std::string_view key, bool defaultValue) override;
    std::vector<uint8_t> getData(std::string_view key) override;
    void setInteger(std::string_view key, int value) override;
    void setBool(std::string_view key, bool value) override;
    void setData(std::string_view key, std::span<const uint8_t> bytes) override;
    bool flush() override;

  private:
    using Value = std::variant<int64_t, std::vector<uint8_t>>;
    enum class OpenResult { ok, damaged, failed };

    OpenResult openFile(const std::string& path);
    OpenResult prepareSchema();
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
    bool readErrorReported_ = false;
    std::map<std::string, Value, std::less<>> pending_;
};
