// sorvix-cli acquire: the accumulating acquisition (JVデータ取得) without a
// window, through the JV-Link of this platform (the feed folder).
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/acquisition_run.h"
#include "acquisition/acquisition_time.h"
#include "acquisition/feed_hint.h"
#include "acquisition/feed_jv_link.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/feed_link.h"
#include "cli/wine_step.h"
#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
}

// The run's events on the terminal: a one-line progress bar on stderr
// (redrawn in place when stderr is a terminal), messages on their own lines.
class TerminalObserver : public AcquisitionObserver {
 public:
  explicit TerminalObserver(AcquisitionRun*& run) : run_(run), tty_(isatty(STDERR_FILENO)) {}

  void OnStatus(Cp932View text) override {
    status_ = Utf8(text);
    Draw(true);
  }
  void OnDownloadBar(int position, int maximum) override {
    if (!reading_) Bar(position, maximum);
  }
  void OnReadBar(int position, int maximum) override {
    reading_ = true;
    Bar(position, maximum);
  }
  void OnStoredLine(Cp932View) override { ++stored_; }
  // The run's messages (JV-Link errors, "no new data") as the CLI says them.
  void OnMessage(Cp932View text) override { Line("sorvix-cli: " + Utf8(text)); }
  void OnError(const Error& error) override {
    Line(std::string("sorvix-cli: 入出力エラー: ") + error.what());
  }
  void OnSkippedRecord(const std::string& type, const std::string& reason,
                       Cp932View fileName) override {
    Line("sorvix-cli: 警告: " + Utf8(fileName) + " の " + type +
         " レコードを保存しませんでした: " + reason);
  }
  void OnWarning(const std::string& text) override { Line("sorvix-cli: 警告: " + text); }
  bool WaitForOtherWriter(const std::string& message) override {
    Line(message + "。終わるのを待っています…");
    return true;
  }
  void ProcessEvents() override {
    if (interrupted && run_) {
      interrupted = 0;
      run_->Cancel();
    }
    if (++records_ % 512 == 0) Draw(false);
  }

  int stored() const { return stored_; }
  void Finish() {
    if (tty_ && drawn_) std::fputc('\n', stderr);
    drawn_ = false;
  }

 private:
  void Bar(int position, int maximum) {
    position_ = position;
    maximum_ = maximum;
    Draw(false);
  }
  void Draw(bool force) {
    int width = 30;
    int filled = maximum_ > 0 ? std::min(width, position_ * width / maximum_) : 0;
    std::string bar = "[" + std::string(static_cast<size_t>(filled), '#') +
                      std::string(static_cast<size_t>(width - filled), '.') + "] ";
    std::string line = bar + status_ + "  保存 " + std::to_string(stored_) + " 件";
    if (!tty_) {
      // Without a terminal only the status changes are worth a line.
      if (force && line != last_) std::fprintf(stderr, "%s\n", line.c_str());
      last_ = line;
      return;
    }
    if (!force && line == last_) return;
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    drawn_ = true;
    last_ = line;
  }
  void Line(const std::string& text) {
    Finish();
    std::fprintf(stderr, "%s\n", text.c_str());
    last_.clear();
  }

  AcquisitionRun*& run_;
  bool tty_;
  bool drawn_ = false;
  bool reading_ = false;
  int position_ = 0;
  int maximum_ = 100;
  int stored_ = 0;
  long records_ = 0;
  std::string status_;
  std::string last_;
};

// "yyyy-mm-dd" as a local time at 00:00:00.
std::optional<std::tm> ParseFromDate(const std::string& text) {
  return ParseLastTime(text.size() == 10 && text[4] == '-' && text[7] == '-'
                           ? text.substr(0, 4) + "/" + text.substr(5, 2) + "/" + text.substr(8, 2) +
                                 " 00:00:00"
                           : std::string("x"));
}

// The export through JV-Link under Wine first (--wine, or [Wine] Use=1):
// setup data from the date, else what is new since the exporter's last run
// (or LastTime).  The exit code when the export ends the command, -1 to go
// on reading.
int ExportFirstThroughWine(const Args& args, const SettingsFile& settings, const std::tm& from,
                           bool setup) {
  WineSetup wine = ReadWineSetup(settings);
  if (!ExportsThroughWine(args, wine)) return -1;
  return ExportThroughWine(wine, AcquisitionExportArguments(wine, from, setup));
}

int Acquire(const Args& args) {
  CreateStoreFolders();
  SettingsFile settings;
  std::time_t now = std::time(nullptr);
  AcquisitionDefaults defaults = ReadAcquisitionDefaults(settings, now);
  std::tm from = defaults.from;
  std::string fromOption = OptionValue(args, "--from");
  if (!fromOption.empty()) {
    auto parsed = ParseFromDate(fromOption);
    if (!parsed) {
      // A well-formed day the calendar does not have is said as such.
      bool shaped = ParseFromDate(fromOption.substr(0, 8) + "01").has_value();
      std::fprintf(stderr,
                   shaped ? "sorvix-cli acquire: --from の日付が暦にありません: %s\n"
                          : "sorvix-cli acquire: --from は yyyy-mm-dd で指定してください: %s\n",
                   fromOption.c_str());
      return 2;
    }
    from = *parsed;
  }
  bool setup = HasFlag(args, "--setup");
  if (int code = ExportFirstThroughWine(args, settings, from, setup); code >= 0) return code;

  FeedJvLink link;
  if (!OpenFeedLink(link)) return 1;

  std::fprintf(stderr, "%s\n", Utf8(StartNotice(from)).c_str());
  AcquisitionRun* current = nullptr;
  TerminalObserver observer(current);
  AcquisitionRun run(link, observer, settings);
  current = &run;

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);

  struct tm local {};
  localtime_r(&now, &local);
  run.Start(FromTimeText(from), setup, local.tm_year + 1900);
  while (run.TimerRunning()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (interrupted) {
      interrupted = 0;
      run.Cancel();
    } else {
      run.Tick();
    }
  }
  sigaction(SIGINT, &previous, nullptr);
  observer.Finish();

  switch (run.outcome()) {
    case AcquisitionRun::Outcome::Completed:
      std::printf("%d 件のデータを保存しました。\n", observer.stored());
      return run.closeResult() == 0 ? 0 : 1;
    case AcquisitionRun::Outcome::NoData:
      std::fprintf(stderr, "%s\n", EmptyFeedHint(FeedJvLink::FeedFolder()).c_str());
      return run.closeResult() == 0 ? 0 : 1;
    case AcquisitionRun::Outcome::Cancelled:
      return 130;
    default:
      return 1;
  }
}

const CommandRegistration kAcquire{
    "acquire",
    "acquire [--setup] [--from yyyy-mm-dd] [--wine]  JVデータ取得（フィードフォルダから。--wine: "
    "先に Wine の JV-Link から書き出す）",
    &Acquire};

}  // namespace
}  // namespace sorvix::cli
