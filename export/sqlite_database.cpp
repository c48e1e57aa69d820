#include "export/sqlite_database.h"

#include <sqlite3.h>

#include "common/error.h"
#include "export/sqlite_statement.h"

namespace sorvix {

SqliteDatabase::SqliteDatabase(const std::filesystem::path& path) : path_(path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error("SQLite のファイルを開けません", path.string(), reason);
  }
  sqlite3_busy_timeout(db_, 2000);
  sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase() {
  sqlite3_close_v2(db_);
}

void SqliteDatabase::Fail(const std::string& operation) const {
  int code = sqlite3_errcode(db_);
  Error::Kind kind = (code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT
                         ? Error::Kind::Damaged
                     : (code & 0xff) == SQLITE_BUSY ? Error::Kind::Busy
                                                    : Error::Kind::Io;
  throw Error(operation, path_.string(), sqlite3_errmsg(db_), kind);
}

void SqliteDatabase::Execute(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    Fail("SQLite のファイルに書き込めません");
}

void SqliteDatabase::RollBack() noexcept {
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::string SqliteDatabase::TextOf(const std::string& sql) {
  SqliteStatement query(*this, sql);
  return query.Next() ? query.TextAt(0) : std::string();
}

}  // namespace sorvix
