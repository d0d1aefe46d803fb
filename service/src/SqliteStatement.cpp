#include "SqliteStatement.h"

#include <sqlite3.h>

#include <stdexcept>

namespace palletry_service {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db)
{
    check(sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

void SqliteStatement::check(int rc) const
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_));
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value)
{
    check(sqlite3_bind_double(stmt_, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bindTextOrNull(int index, std::string_view text)
{
    if (text.empty()) {
        check(sqlite3_bind_null(stmt_, index));
        return *this;
    }
    return bind(index, text);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    check(rc);
    return rc == SQLITE_ROW;
}

void SqliteStatement::run()
{
    while (step()) {
    }
    reset();
}

void SqliteStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string_view SqliteStatement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!p)
        return {};
    return {p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

std::int64_t SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

} // namespace palletry_service
