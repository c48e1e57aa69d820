// Writes exported dates into a prepared export file, one transaction per
// date: a date is in the file whole (its meeting_days row last) or not at
// all.
#pragma once

#include <memory>

namespace sorvix {

class SqliteDatabase;
struct ExportedDate;

class ExportWriter {
 public:
  explicit ExportWriter(SqliteDatabase& db);
  ~ExportWriter();
  ExportWriter(const ExportWriter&) = delete;
  ExportWriter& operator=(const ExportWriter&) = delete;

  // Writes `date` and commits; on a failure nothing of it stays and the
  // Error is thrown on.
  void Write(const ExportedDate& date);

  // The prepared inserts, made once per file.
  struct Statements;

 private:
  SqliteDatabase& db_;
  std::unique_ptr<Statements> s_;
};

}  // namespace sorvix
