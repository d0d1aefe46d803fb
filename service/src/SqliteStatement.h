#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace palletry_service {

/// One prepared SQLite statement. Errors throw std::runtime_error with SQLite's message.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    /// Parameters are 1-based, as in SQLite.
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, double value);
    SqliteStatement& bind(int index, std::string_view text);
    /// Binds NULL for the empty text, the text otherwise.
    SqliteStatement& bindTextOrNull(int index, std::string_view text);

    /// Advances to the next row; false once the statement is done.
    bool step();
    /// Runs a statement that returns no rows.
    void run();
    /// Makes the statement ready to run again with new parameters.
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    std::string_view text(int column) const;
    std::int64_t int64(int column) const;

private:
    void check(int rc) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace palletry_service
