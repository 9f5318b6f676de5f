#include "storage/SqliteKeyValueStore.h"

#include <sqlite3.h>

#include <climits>
#include <cstdio>

#include "storage/SqliteStatement.h"

SqliteKeyValueStore::SqliteKeyValueStore() = default;

SqliteKeyValueStore::SqliteKeyValueStore(const std::string& path) {
    open(path);
}

SqliteKeyValueStore::~SqliteKeyValueStore() {
    close();
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
    SqliteStatement select(db_, "SELECT value FROM entries WHERE key = ?1");
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
    SqliteStatement select(
        db_, "SELECT length(value) FROM entries WHERE key = ?1 AND typeof(value) = 'blob'");
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
        SqliteStatement upsert(db_, "INSERT OR REPLACE INTO entries (key, value) VALUES (?1, ?2)");
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
