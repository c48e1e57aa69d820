#include "export/sqlite_statement.h"

#include <sqlite3.h>

#include "export/sqlite_database.h"

namespace sorvix {

SqliteStatement::SqliteStatement(SqliteDatabase& db, const std::string& sql) : db_(db) {
  if (sqlite3_prepare_v2(db.handle(), sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
      SQLITE_OK)
    db.Fail("SQLite のファイルを読み書きできません");
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::Bind(int column, int64_t value) {
  sqlite3_bind_int64(stmt_, column, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int column, double value) {
  sqlite3_bind_double(stmt_, column, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int column, std::string_view text) {
  sqlite3_bind_text(stmt_, column, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int column) {
  sqlite3_bind_null(stmt_, column);
  return *this;
}

void SqliteStatement::Run() {
  int rc = sqlite3_step(stmt_);
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE) db_.Fail("SQLite のファイルに書き込めません");
}

bool SqliteStatement::Next() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) db_.Fail("SQLite のファイルを読めません");
  return false;
}

std::string SqliteStatement::TextAt(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

int64_t SqliteStatement::IntAt(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
}

}  // namespace sorvix
