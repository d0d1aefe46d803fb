#pragma once

#include "SqliteStatement.h"

#include <string>
#include <string_view>

struct sqlite3;

namespace palletry_service {

/// An open SQLite connection. Errors throw std::runtime_error with SQLite's message.
class SqliteDatabase {
public:
    /// Opens the file at path, or an in-memory database when path is empty.
    explicit SqliteDatabase(const std::string& path);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    /// Runs one or more statements that return no rows.
    void exec(const char* sql);
    SqliteStatement prepare(std::string_view sql) { return SqliteStatement(db_, sql); }
    /// Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;

    /// Rolls back unless committed before it goes out of scope.
    class Transaction {
    public:
        explicit Transaction(SqliteDatabase& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        SqliteDatabase& db_;
        bool done_ = false;
    };

private:
    sqlite3* db_ = nullptr;
};

} // namespace palletry_service
