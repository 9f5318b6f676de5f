#pragma once

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes out of scope, so no early return can leak it.
class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const;
    // The result of preparing it.
    int code() const { return code_; }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
    int code_ = 0;
};
