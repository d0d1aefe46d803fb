#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <stdexcept>

namespace palletry_service {

SqliteDatabase::SqliteDatabase(const std::string& path)
{
    const std::string name = path.empty() ? std::string(":memory:") : path;
    // The service serialises access itself, so SQLite's own mutexes are not needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(name.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("SQLite: cannot open " + name + ": " + message);
    }
    exec("PRAGMA foreign_keys = ON;");
    if (!path.empty())
        exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(db_);
}

void SqliteDatabase::exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw std::runtime_error("SQLite: " + message);
    }
}

int SqliteDatabase::changes() const
{
    return sqlite3_changes(db_);
}

SqliteDatabase::Transaction::Transaction(SqliteDatabase& db) : db_(db)
{
    db_.exec("BEGIN IMMEDIATE");
}

SqliteDatabase::Transaction::~Transaction()
{
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (...) {
        }
    }
}

void SqliteDatabase::Transaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}

} // namespace palletry_service
