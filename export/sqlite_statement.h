// A prepared statement of a SqliteDatabase: bind the values of a row by
// position (from 1), run it, and it is ready for the next row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace sorvix {

class SqliteDatabase;

class SqliteStatement {
 public:
  SqliteStatement(SqliteDatabase& db, const std::string& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& Bind(int column, int64_t value);
  SqliteStatement& Bind(int column, double value);
  // UTF-8 text, copied by SQLite.
  SqliteStatement& Bind(int column, std::string_view text);
  SqliteStatement& BindNull(int column);
  SqliteStatement& Bind(int column, const std::optional<double>& value) {
    return value ? Bind(column, *value) : BindNull(column);
  }
  SqliteStatement& Bind(int column, int value) { return Bind(column, int64_t{value}); }

  // Runs an insert or update with the bound values, then resets the
  // statement for the next row.
  void Run();
  // Steps a query: true while there is a row to read with the getters.
  bool Next();
  std::string TextAt(int column) const;  // from 0
  int64_t IntAt(int column) const;
  void Reset();

 private:
  SqliteDatabase& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace sorvix
