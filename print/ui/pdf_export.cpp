#include "print/ui/pdf_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/ui/qt_text.h"
#include "print/ui/page_replay.h"

namespace sorvix {

namespace fs = std::filesystem;

namespace {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "sorvix";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

std::string Reason(int err) {
  return SystemReason(err);
}

// Whether `bytes` is a whole PDF file as QPdfEngine ends one: "%%EOF" last,
// and the cross-reference table where "startxref" says.  A write that
// failed on the way leaves the end missing or the table moved.
bool CompletePdf(std::string_view bytes) {
  if (bytes.substr(0, 5) != "%PDF-") return false;
  size_t end = bytes.find_last_not_of("\r\n");
  if (end == std::string_view::npos || end < 4 || bytes.substr(end - 4, 5) != "%%EOF") return false;
  size_t start = bytes.rfind("startxref");
  if (start == std::string_view::npos) return false;
  size_t digits = bytes.find_first_of("0123456789", start + 9);
  if (digits == std::string_view::npos || digits > end) return false;
  size_t offset = std::strtoull(std::string(bytes.substr(digits, 20)).c_str(), nullptr, 10);
  return offset < bytes.size() && bytes.substr(offset, 4) == "xref";
}

// Writes all of `bytes` to `fd`; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The handlers the mutes replaced, innermost last.
std::vector<QtMessageHandler>& Replaced() {
  static std::vector<QtMessageHandler> handlers;
  return handlers;
}

void MutedHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtCriticalMsg && type != QtFatalMsg) return;
  QtMessageHandler outer = Replaced().empty() ? nullptr : Replaced().front();
  if (outer) {
    outer(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n",
                 qFormatLogMessage(type, context, message).toLocal8Bit().constData());
  }
}

}  // namespace

// ------------------------------------------------------------ PdfFileWrite

PdfFileWrite::PdfFileWrite(fs::path target) : target_(std::move(target)) {}

PdfFileWrite::~PdfFileWrite() {
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void PdfFileWrite::Fail(const std::string& reason) {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  throw Error("PDF ファイルを書き込めません", target_.string(), reason);
}

void PdfFileWrite::Create() {
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Fail(Reason(EISDIR));
  fs::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  // What an earlier export of this file left when it was killed.
  RemoveStaleTempFilesOf(target_);
  fs::path temp = TempPathFor(target_);
  // A PDF is as readable as any other file the user makes (0666 less the
  // umask).
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    int err = errno;
    Fail("フォルダ " + folder.string() + " に一時ファイルを作れません: " + Reason(err));
  }
  temp_ = temp.string();
  ::close(fd);
}

void PdfFileWrite::SyncAndRename() {
  int fd = ::open(temp_.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    int err = errno;
    if (fd >= 0) ::close(fd);
    Fail(Reason(err));
  }
  if (::close(fd) != 0) Fail(Reason(errno));
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) Fail(Reason(errno));
  committed_ = true;
  // The new name on disk too; the file is complete either way.
  fs::path folder = target_.parent_path();
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void PdfFileWrite::CommitBytes(std::string_view bytes) {
  if (temp_.empty()) Create();
  int fd = ::open(temp_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) Fail(Reason(errno));
  if (!WriteAll(fd, bytes)) {
    int err = errno;
    ::close(fd);
    Fail(Reason(err));
  }
  if (::close(fd) != 0) Fail(Reason(errno));
  SyncAndRename();
}

void PdfFileWrite::CommitWritten() {
  if (temp_.empty()) Fail(Reason(ENOENT));
  std::string bytes;
  {
    int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail(Reason(errno));
    char buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
  }
  if (!CompletePdf(bytes)) {
    // The writer does not say why it stopped: write on after its end once
    // more to get the system's reason (a full disk, a size limit).
    int fd = ::open(temp_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    std::string probe(64 << 10, '\n');
    bool wrote = fd >= 0 && WriteAll(fd, probe) && ::fsync(fd) == 0;
    int err = errno;
    if (fd >= 0) ::close(fd);
    Fail(wrote ? std::string("書き込みが途中で終わりました（") + std::to_string(bytes.size()) +
                     " バイトで不完全）"
               : Reason(err));
  }
  SyncAndRename();
}

// ---------------------------------------------------------- QtWarningsMuted

QtWarningsMuted::QtWarningsMuted() {
  const char* show = std::getenv("SORVIX_QT_WARNINGS");
  if (show && *show && std::strcmp(show, "0") != 0) return;
  Replaced().push_back(qInstallMessageHandler(MutedHandler));
  active_ = true;
}

QtWarningsMuted::~QtWarningsMuted() {
  if (!active_) return;
  qInstallMessageHandler(Replaced().back());
  Replaced().pop_back();
}

// ------------------------------------------------------------ WritePagesPdf

void WritePagesPdf(const TPrevX& prev, const std::vector<int>& pages, const std::string& utf8Path) {
  for (int p : pages)
    if (p < 1 || p > prev.PageCount())
      throw Error("ページ " + std::to_string(p) + " はありません（全 " +
                  std::to_string(prev.PageCount()) + " ページ）");
  if (pages.empty()) throw Error("書き出すページがありません");
  QtWarningsMuted muted;
  PdfFileWrite file{fs::path(utf8Path)};
  // The temporary file first: a target that cannot be written fails
  // before any page is drawn.
  file.Create();

  EnsureGuiApplication();
  QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), "IPAGothic");

  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const PrinterInfo& printer = prev.Printer();
    QPdfWriter writer(&buffer);
    writer.setResolution(printer.DpiY);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(printer.Orientation == 2 ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(Q(prev.Title));
    writer.setCreator("Sorvix");
    QPainter painter;
    if (!painter.begin(&writer))
      throw Error("PDF を作れません", utf8Path, "描画を開始できませんでした");
    bool first = true;
    for (int p : pages) {
      if (!first) writer.newPage();
      first = false;
      ReplayPage(painter, prev.Pages()[static_cast<size_t>(p - 1)]);
    }
    painter.end();
  }
  file.CommitBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace sorvix
