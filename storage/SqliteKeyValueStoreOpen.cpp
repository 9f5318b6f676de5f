// Opening the settings store: which file may be used, what damage looks like, moving a damaged
// file aside, falling back to read-only or memory, and preparing the schema. Reads and writes are
// in SqliteKeyValueStore.cpp.
#include <sqlite3.h>

#include <cstdio>

#include "storage/SqliteKeyValueStore.h"
#include "storage/SqliteStatement.h"
#include "storage/StoreFiles.h"
#include "storage/WritableDirectory.h"

namespace {

using store_files::describeKind;
using store_files::exists;
using store_files::moveAside;
using store_files::PathKind;
using store_files::pathKind;
using store_files::readOnlyUri;

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

}  // namespace

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
        std::string why;
        std::string aside = kind == PathKind::regularFile ? moveAside(path, &why) : std::string();
        if (aside.empty()) {
            fail("settings store " + path + " is damaged (" + lastError_ +
                 ") and was left where it is" + (why.empty() ? "" : " (" + why + ")") +
                 "; using defaults, settings will not be saved");
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
    SqliteStatement table(db_,
                          "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'entries'");
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
    SqliteStatement check(db_, "PRAGMA quick_check");
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
    SqliteStatement version(db_, "PRAGMA user_version");
    if (version.ok() && sqlite3_step(version.get()) == SQLITE_ROW &&
        sqlite3_column_int(version.get(), 0) == 0) {
        execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    }
    return OpenResult::ok;
}
