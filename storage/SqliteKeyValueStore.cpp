#include "storage/SqliteKeyValueStore.h"

#include <sqlite3.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "storage/StoreFiles.h"
#include "storage/WritableDirectory.h"

namespace {

using store_files::describeKind;
using store_files::exists;
using store_files::moveAside;
using store_files::PathKind;
using store_files::pathKind;
using store_files::readOnlyUri;

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS entries (key TEXT PRIMARY KEY NOT NULL, value) WITHOUT ROWID";
constexpr int kSchemaVersion = 1;

// Result codes that mean the file itself is bad. Everything else (no permission, an I/O error, a
// full disk, a lock) says nothing about the file's content and must never cost the user it.
bool isDamage(int code) {
    switch (code & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return true;
        default:
            return false;
    }
}

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        code_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return code_ == SQLITE_OK; }
    int code() const { return code_; }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
    int code_ = SQLITE_OK;
};

}  // namespace

SqliteKeyValueStore::SqliteKeyValueStore() = default;

SqliteKeyValueStore::SqliteKeyValueStore(const std::string& path) {
    open(path);
}

SqliteKeyValueStore::~SqliteKeyValueStore() {
    close();
}

bool SqliteKeyValueStore::open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (db_ != nullptr && !readOnly_ && !pending_.empty()) {
        commitPending();
    }
    closeFile();
    path_ = path;
    problem_.clear();
    readOnly_ = false;
    readErrorReported_ = false;

    const PathKind kind = pathKind(path);
    if (kind == PathKind::other) {
        fail("cannot use settings store " + path + ": " + describeKind(path) +
             "; using defaults, settings will not be saved");
        return false;
    }
    OpenResult result = openFile(path, Access::readWrite);
    if (result == OpenResult::damaged) {
        // A link is the user's arrangement: what it leads to is not ours to move.
        std::string aside = kind == PathKind::regularFile ? moveAside(path) : std::string();
        if (aside.empty()) {
            fail("settings store " + path + " is damaged (" + lastError_ +
                 ") and was left where it is; using defaults, settings will not be saved");
            return false;
        }
        std::fprintf(stderr,
                     "Tarno: settings store %s is unreadable (%s); moved it to %s and starting "
                     "from defaults\n",
                     path.c_str(), lastError_.c_str(), aside.c_str());
        result = openFile(path, Access::readWrite);
    } else if (result == OpenResult::failed && kind != PathKind::missing) {
        // Not writable here (permissions, a full disk, a read-only folder): what can be read
        // still loads, and nothing is written back.
        const std::string writeError = lastError_;
        if (openFile(path, Access::readOnly) == OpenResult::ok) {
            readOnly_ = true;
            fail("settings store " + path + " is read-only here (" + writeError +
                 "); settings loaded, changes will not be saved");
            return true;
        }
        lastError_ = writeError;
    }
    if (result != OpenResult::ok) {
        fail("cannot open settings store " + path + " (" + lastError_ +
             "); using defaults, settings will not be saved");
        return false;
    }
    if (sqlite3_db_readonly(db_, "main") == 1) {
        readOnly_ = true;
        fail("settings store " + path +
             " is read-only; settings loaded, changes will not be saved");
    }
    return true;
}

bool SqliteKeyValueStore::openReadOnly(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (db_ != nullptr && !readOnly_ && !pending_.empty()) {
        commitPending();
    }
    closeFile();
    pending_.clear();
    path_ = path;
    readOnly_ = true;
    readErrorReported_ = false;
    switch (pathKind(path)) {
        case PathKind::missing:
            problem_ = path + " does not exist";
            return false;
        case PathKind::other:
            problem_ = path + " is not a Tarno settings store: " + describeKind(path);
            return false;
        default:
            break;
    }
    switch (openFile(path, Access::readOnly)) {
        case OpenResult::ok:
            break;
        case OpenResult::damaged:
            problem_ = path + " is not a Tarno settings store (" + lastError_ + ")";
            return false;
        case OpenResult::failed:
            problem_ = "cannot read " + path + " (" + lastError_ + ")";
            return false;
    }
    Statement table(db_, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'entries'");
    if (!table.ok() || sqlite3_step(table.get()) != SQLITE_ROW) {
        problem_ = path + " is not a Tarno settings store (it has no settings table)";
        closeFile();
        return false;
    }
    problem_.clear();
    return true;
}

bool SqliteKeyValueStore::openDefault() {
    std::string dir = writableDirectory();
    if (dir.empty()) {
        std::lock_guard lock(mutex_);
        closeFile();
        path_.clear();
        readOnly_ = false;
        fail(
            "no folder for the settings store can be found or made; using defaults, settings "
            "will not be saved");
        return false;
    }
    return open(dir + kFileName);
}

void SqliteKeyValueStore::close() {
    std::lock_guard lock(mutex_);
    if (db_ != nullptr && !readOnly_ && !pending_.empty()) {
        commitPending();
    }
    pending_.clear();
    closeFile();
}

bool SqliteKeyValueStore::isOpen() const {
    std::lock_guard lock(mutex_);
    return db_ != nullptr;
}

bool SqliteKeyValueStore::isReadOnly() const {
    std::lock_guard lock(mutex_);
    return db_ != nullptr && readOnly_;
}

std::string SqliteKeyValueStore::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

std::string SqliteKeyValueStore::path() const {
    std::lock_guard lock(mutex_);
    return path_;
}

void SqliteKeyValueStore::setBusyTimeout(int milliseconds) {
    std::lock_guard lock(mutex_);
    busyTimeoutMs_ = milliseconds;
    if (db_ != nullptr) {
        sqlite3_busy_timeout(db_, busyTimeoutMs_);
    }
}

SqliteKeyValueStore& SqliteKeyValueStore::shared() {
    // Never destroyed, like the settings model: nothing may find it gone during exit.
    static SqliteKeyValueStore* store = [] {
        auto* created = new SqliteKeyValueStore();
        created->openDefault();
        return created;
    }();
    return *store;
}

SqliteKeyValueStore::OpenResult SqliteKeyValueStore::openFile(const std::string& path,
                                                              Access access) {
    const bool existed = exists(path);
    const std::string name = access == Access::readOnly ? readOnlyUri(path) : path;
    const int flags = access == Access::readOnly
                          ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX
                          : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    int code = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        lastError_ = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        closeFile();
        return existed && isDamage(code) ? OpenResult::damaged : OpenResult::failed;
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs_);
    OpenResult result = checkIntegrity();
    if (result == OpenResult::ok && access == Access::readWrite) {
        result = prepareSchema();
    }
    if (result != OpenResult::ok) {
        closeFile();
    }
    return result;
}

SqliteKeyValueStore::OpenResult SqliteKeyValueStore::checkIntegrity() {
    // quick_check reads every page, so damage shows now rather than halfway through a load.
    Statement check(db_, "PRAGMA quick_check");
    int code = check.ok() ? sqlite3_step(check.get()) : check.code();
    if (code == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
        std::string verdict = text != nullptr ? text : "";
        if (verdict != "ok") {
            lastError_ = "integrity check: " + verdict;
            return OpenResult::damaged;
        }
        return OpenResult::ok;
    }
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        // Another instance holds the file longer than the busy timeout. Keep the connection:
        // reads fall back to defaults and flushes retry, and the table is created with the
        // first commit.
        std::fprintf(stderr, "Tarno: settings store %s is busy (%s)\n", path_.c_str(),
                     sqlite3_errmsg(db_));
        return OpenResult::ok;
    }
    lastError_ = sqlite3_errmsg(db_);
    if (isDamage(code)) {
        return OpenResult::damaged;
    }
    return code == SQLITE_DONE ? OpenResult::ok : OpenResult::failed;
}

SqliteKeyValueStore::OpenResult SqliteKeyValueStore::prepareSchema() {
    // WAL lets a second instance read while this one commits. Filesystems without shared memory
    // refuse it and the default rollback journal stays, which is just as safe.
    execute("PRAGMA journal_mode=WAL");
    execute("PRAGMA synchronous=FULL");
    if (!execute(kCreateTable)) {
        return isDamage(sqlite3_errcode(db_)) ? OpenResult::damaged : OpenResult::failed;
    }
    Statement version(db_, "PRAGMA user_version");
    if (version.ok() && sqlite3_step(version.get()) == SQLITE_ROW &&
        sqlite3_column_int(version.get(), 0) == 0) {
        execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    }
    return OpenResult::ok;
}

void SqliteKeyValueStore::fail(const std::string& why) {
    problem_ = why;
    std::fprintf(stderr, "Tarno: %s\n", why.c_str());
}

void SqliteKeyValueStore::closeFile() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool SqliteKeyValueStore::execute(const char* sql) {
    char* message = nullptr;
    int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    if (code != SQLITE_OK) {
        lastError_ = message != nullptr ? message : sqlite3_errstr(code);
    }
    sqlite3_free(message);
    return code == SQLITE_OK;
}

void SqliteKeyValueStore::reportReadError(int code) {
    if (!readErrorReported_) {
        readErrorReported_ = true;
        const std::string why = "reading settings from " + path_ + " failed (" +
                                (db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code)) +
                                "); using defaults";
        if (problem_.empty()) {
            problem_ = why;
        }
        std::fprintf(stderr, "Tarno: %s\n", why.c_str());
    }
}

bool SqliteKeyValueStore::lookup(std::string_view key, Value& value) {
    if (auto found = pending_.find(key); found != pending_.end()) {
        value = found->second;
        return true;
    }
    if (db_ == nullptr) {
        return false;
    }
    Statement select(db_, "SELECT value FROM entries WHERE key = ?1");
    if (!select.ok()) {
        reportReadError(select.code());
        return false;
    }
    sqlite3_bind_text(select.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    int code = sqlite3_step(select.get());
    if (code == SQLITE_DONE) {
        return false;
    }
    if (code != SQLITE_ROW) {
        reportReadError(code);
        return false;
    }
    switch (sqlite3_column_type(select.get(), 0)) {
        case SQLITE_INTEGER:
            value = static_cast<int64_t>(sqlite3_column_int64(select.get(), 0));
            return true;
        case SQLITE_BLOB: {
            // Size first: the pointer of an empty blob is null.
            int size = sqlite3_column_bytes(select.get(), 0);
            const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(select.get(), 0));
            value = bytes != nullptr ? std::vector<uint8_t>(bytes, bytes + size)
                                     : std::vector<uint8_t>();
            return true;
        }
        default:
            // Text, real or null: nothing Tarno writes, so treated as missing.
            return false;
    }
}

int SqliteKeyValueStore::getInteger(std::string_view key, int defaultValue) {
    std::lock_guard lock(mutex_);
    Value value;
    if (!lookup(key, value)) {
        return defaultValue;
    }
    const int64_t* integer = std::get_if<int64_t>(&value);
    if (integer == nullptr || *integer < INT_MIN || *integer > INT_MAX) {
        return defaultValue;
    }
    return static_cast<int>(*integer);
}

bool SqliteKeyValueStore::getBool(std::string_view key, bool defaultValue) {
    std::lock_guard lock(mutex_);
    Value value;
    if (!lookup(key, value)) {
        return defaultValue;
    }
    const int64_t* integer = std::get_if<int64_t>(&value);
    return integer != nullptr ? *integer != 0 : defaultValue;
}

std::vector<uint8_t> SqliteKeyValueStore::getData(std::string_view key) {
    std::lock_guard lock(mutex_);
    Value value;
    if (!lookup(key, value)) {
        return {};
    }
    auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
    return bytes != nullptr ? std::move(*bytes) : std::vector<uint8_t>();
}

size_t SqliteKeyValueStore::dataSize(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (auto found = pending_.find(key); found != pending_.end()) {
        const auto* bytes = std::get_if<std::vector<uint8_t>>(&found->second);
        return bytes != nullptr ? bytes->size() : 0;
    }
    if (db_ == nullptr) {
        return 0;
    }
    // length() of a blob comes from the record header; the blob's pages are not read.
    Statement select(db_,
                     "SELECT length(value) FROM entries WHERE key = ?1 AND typeof(value) = 'blob'");
    if (!select.ok()) {
        reportReadError(select.code());
        return 0;
    }
    sqlite3_bind_text(select.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    int code = sqlite3_step(select.get());
    if (code == SQLITE_ROW) {
        return static_cast<size_t>(sqlite3_column_int64(select.get(), 0));
    }
    if (code != SQLITE_DONE) {
        reportReadError(code);
    }
    return 0;
}

void SqliteKeyValueStore::setInteger(std::string_view key, int value) {
    std::lock_guard lock(mutex_);
    pending_.insert_or_assign(std::string(key), Value(static_cast<int64_t>(value)));
}

void SqliteKeyValueStore::setBool(std::string_view key, bool value) {
    std::lock_guard lock(mutex_);
    pending_.insert_or_assign(std::string(key), Value(static_cast<int64_t>(value ? 1 : 0)));
}

void SqliteKeyValueStore::setData(std::string_view key, std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    pending_.insert_or_assign(std::string(key),
                              Value(std::vector<uint8_t>(bytes.begin(), bytes.end())));
}

bool SqliteKeyValueStore::flush() {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) {
        return true;
    }
    // Why was said at open; the user's file stays as it was.
    if (db_ == nullptr || readOnly_) {
        return false;
    }
    if (!commitPending()) {
        std::fprintf(stderr, "Tarno: could not save settings to %s: %s\n", path_.c_str(),
                     lastError_.c_str());
        return false;
    }
    return true;
}

bool SqliteKeyValueStore::commitPending() {
    // IMMEDIATE takes the write lock up front, so waiting for another instance happens here,
    // under the busy timeout, and never halfway through the writes.
    if (!execute("BEGIN IMMEDIATE")) {
        return false;
    }
    bool ok = execute(kCreateTable);
    if (ok) {
        Statement upsert(db_, "INSERT OR REPLACE INTO entries (key, value) VALUES (?1, ?2)");
        ok = upsert.ok();
        for (auto entry = pending_.begin(); ok && entry != pending_.end(); ++entry) {
            sqlite3_stmt* statement = upsert.get();
            sqlite3_reset(statement);
            sqlite3_bind_text(statement, 1, entry->first.data(),
                              static_cast<int>(entry->first.size()), SQLITE_STATIC);
            if (const int64_t* integer = std::get_if<int64_t>(&entry->second)) {
                sqlite3_bind_int64(statement, 2, *integer);
            } else {
                const auto& bytes = std::get<std::vector<uint8_t>>(entry->second);
                // A null pointer would bind SQL NULL; empty data must stay an empty blob.
                if (bytes.empty()) {
                    sqlite3_bind_zeroblob(statement, 2, 0);
                } else {
                    sqlite3_bind_blob(statement, 2, bytes.data(), static_cast<int>(bytes.size()),
                                      SQLITE_STATIC);
                }
            }
            ok = sqlite3_step(statement) == SQLITE_DONE;
        }
        if (!ok) {
            lastError_ = sqlite3_errmsg(db_);
        }
    }
    if (ok && execute("COMMIT")) {
        pending_.clear();
        return true;
    }
    if (sqlite3_get_autocommit(db_) == 0) {
        std::string error = lastError_;
        execute("ROLLBACK");
        lastError_ = error;
    }
    return false;
}
