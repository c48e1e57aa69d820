// Replays recorded pages into a PDF file (A4, the pages' orientation, no
// margins).  The interface carries no Qt types so that command-line code can
// call it; the implementation starts an offscreen QGuiApplication when the
// process has none, because QPdfWriter needs one for its fonts.
//
// A PDF file is never written in place: it goes to a temporary file in the
// target's folder, which is synced and renamed over the target only when it
// is complete.  A full disk, a file size limit or a target that cannot be
// written therefore leave no file (and no truncated one) under the target's
// name, and an older file of that name is kept.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "print/page_model.h"

namespace sorvix {

// Writes `pages` (1-based page numbers of `prev`, in order) to the PDF file
// `utf8Path`.  Throws Error (what failed, the file and the system's reason)
// when a page number is out of range or the file cannot be written.
void WritePagesPdf(const TPrevX& prev, const std::vector<int>& pages, const std::string& utf8Path);

// The temporary file of one PDF written to `target`.  Create() makes it in
// the target's folder; the PDF is then either handed over as bytes
// (CommitBytes) or written into TempPath() by someone else, a file printer
// for instance (CommitWritten checks that it is a complete PDF).  Either
// commit syncs the file and renames it over the target.  The temporary file
// is removed when the commit fails or never happens.  A failure throws
// Error naming the target and the system's reason.
class PdfFileWrite {
 public:
  explicit PdfFileWrite(std::filesystem::path target);
  ~PdfFileWrite();
  PdfFileWrite(const PdfFileWrite&) = delete;
  PdfFileWrite& operator=(const PdfFileWrite&) = delete;

  void Create();
  const std::filesystem::path& TempPath() const { return temp_; }
  const std::filesystem::path& Target() const { return target_; }

  void CommitBytes(std::string_view bytes);
  void CommitWritten();

 private:
  [[noreturn]] void Fail(const std::string& reason);
  void SyncAndRename();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  bool committed_ = false;
};

// Keeps the toolkit's own warnings ("QPainter::begin(): Returned false",
// "QStandardPaths: XDG_RUNTIME_DIR not set, …") off the user's stderr for
// the life of the object; critical and fatal messages still go through.
// A printing step that fails reports the failure itself, in Japanese.
// Setting SORVIX_QT_WARNINGS=1 lets every message through, for debugging.
class QtWarningsMuted {
 public:
  QtWarningsMuted();
  ~QtWarningsMuted();
  QtWarningsMuted(const QtWarningsMuted&) = delete;
  QtWarningsMuted& operator=(const QtWarningsMuted&) = delete;

 private:
  bool active_ = false;
};

}  // namespace sorvix
