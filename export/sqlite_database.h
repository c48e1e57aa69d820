// One SQLite database file, open for reading and writing: statements run
// as text or prepared once and run many times (SqliteStatement).  A failure
// of SQLite throws Error with the file and SQLite's own reason.
#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

namespace sorvix {

class SqliteDatabase {
 public:
  // Opens `path`, making it when it does not exist.  Throws Error when the
  // file cannot be opened or is not an SQLite database.
  explicit SqliteDatabase(const std::filesystem::path& path);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs `sql` (one or more statements without results).
  void Execute(const std::string& sql);
  // Rolls back the open transaction, if any; never throws (SQLite may have
  // rolled it back already after a failure).
  void RollBack() noexcept;
  // The first column of the first row of `sql` as text ("" without a row).
  std::string TextOf(const std::string& sql);

  sqlite3* handle() const { return db_; }
  const std::filesystem::path& path() const { return path_; }
  // Throws the Error of SQLite's last failure on this database, saying
  // `operation` failed.
  [[noreturn]] void Fail(const std::string& operation) const;

 private:
  std::filesystem::path path_;
  sqlite3* db_ = nullptr;
};

}  // namespace sorvix
