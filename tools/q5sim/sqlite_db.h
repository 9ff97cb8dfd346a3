// A thin owner of one SQLite connection and its prepared statements.
//
// Each q5sim session opens its own connection to the one database file;
// SQLite's locking serializes writers (BEGIN IMMEDIATE) and the busy timeout
// makes a writer wait for another instead of failing at once.
//
// Thread rule: a Db and its Statements belong to one thread at a time.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace q5sim {

class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A statement broke a uniqueness rule.
class ConstraintError : public DbError {
public:
    using DbError::DbError;
};

class Db {
public:
    // Opens (creating it when missing) the database file; throws DbError.
    explicit Db(const std::string& path);
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    ~Db();

    // Runs SQL without results; throws DbError.
    void Exec(const std::string& sql);
    sqlite3* handle() const noexcept { return db_; }
    std::int64_t LastInsertRowid() const noexcept { return sqlite3_last_insert_rowid(db_); }
    int Changes() const noexcept { return sqlite3_changes(db_); }

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(Db& db, const std::string& sql);  // throws DbError
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, std::int64_t value);
    // One step: true while a row is there, false when done; throws
    // ConstraintError for a broken uniqueness rule, DbError otherwise.
    bool Step();
    void Run() {
        while (Step()) {
        }
    }
    std::string Text(int column) const;
    std::int64_t Int(int column) const;
    int Columns() const { return sqlite3_column_count(stmt_); }

private:
    Db& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction; rolled back unless Commit() ran.
class Transaction {
public:
    explicit Transaction(Db& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

private:
    Db& db_;
    bool done_ = false;
};

// "name" with inner quotes doubled.
std::string QuoteIdentifier(std::string_view name);

}  // namespace q5sim
