#include "acquisition/wine_export.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "acquisition/acquisition_time.h"
#include "acquisition/feed_jv_link.h"
#include "app/child_process.h"
#include "app/file_io.h"
#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "common/error.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The folder of this program.
fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

// A Linux path as Wine sees it.
std::string WinePath(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The value of the key `[key]` in a Wine registry file (default value).
std::optional<std::string> DefaultValue(const std::string& registry, const std::string& key) {
  size_t at = Lower(registry).find("\n[" + Lower(key) + "]");
  if (at == std::string::npos) return std::nullopt;
  size_t value = registry.find("\n@=\"", at + 1);
  size_t next = registry.find("\n[", at + 1);
  if (value == std::string::npos || (next != std::string::npos && value > next)) return "";
  size_t end = registry.find('"', value + 4);
  return registry.substr(value + 4, end - value - 4);
}

bool HasKey(const std::string& registry, const std::string& key) {
  return Lower(registry).find("\n[" + Lower(key) + "]") != std::string::npos;
}

}  // namespace

WineSetup ReadWineSetup(const SettingsFile& settings) {
  WineSetup setup;
  const char* home = std::getenv("HOME");
  const char* envPrefix = std::getenv("WINEPREFIX");
  std::string prefix = settings.ReadProfileString("Wine", "Prefix", "");
  setup.prefix = !prefix.empty()           ? fs::path(prefix)
                 : envPrefix && *envPrefix ? fs::path(envPrefix)
                                           : fs::path(home ? home : "") / ".wine";
  setup.wine = settings.ReadProfileString("Wine", "Program", "");
  // By default the wine on PATH; Debian's wine64 package alone has only
  // wine64, and its loader in /usr/lib/wine.
  for (const char* candidate : {"wine", "wine64", "/usr/lib/wine/wine64", "/usr/lib/wine/wine"})
    if (setup.wine.empty() && !FindProgram(candidate).empty()) setup.wine = candidate;
  if (setup.wine.empty()) setup.wine = "wine";
  setup.exporter = settings.ReadProfileString("Wine", "Exporter", "");
  setup.feed = FeedJvLink::FeedFolder();
  std::string use = settings.ReadProfileString("Wine", "Use", "");
  if (use.empty()) {
    WineRegistration registration = RegistrationIn(setup.prefix);
    setup.enabled =
        (registration.bits32 || registration.bits64) && !FindProgram(setup.wine).empty();
  } else {
    setup.enabled = use != "0";
    setup.enabledBySettings = setup.enabled;
  }
  return setup;
}

void WriteWineSetup(SettingsFile& settings, const WineSetup& setup) {
  settings.WriteSection("Wine", {{"Use", setup.enabled ? "1" : "0"},
                                 {"Prefix", setup.prefix.string()},
                                 {"Program", setup.wine},
                                 {"Exporter", setup.exporter.string()}});
  if (!setup.feed.empty() && setup.feed != FeedJvLink::FeedFolder())
    SettingsFile(FeedJvLink::SettingsPath()).WriteString("Feed", "Folder", setup.feed.string());
}

WineRegistration RegistrationIn(const fs::path& prefix) {
  WineRegistration out;
  std::optional<std::string> registry;
  try {
    registry = ReadFileIfExists(prefix / "system.reg");
  } catch (const Error&) {
    return out;
  }
  if (!registry) return out;
  bool win64 = registry->find("#arch=win64") != std::string::npos;
  for (bool wow : {false, true}) {
    std::string classes =
        wow ? "Software\\\\Classes\\\\Wow6432Node\\\\" : "Software\\\\Classes\\\\";
    for (bool progIdWow : {false, true}) {
      std::string progIdKey =
          (progIdWow ? "Software\\\\Classes\\\\Wow6432Node\\\\" : "Software\\\\Classes\\\\") +
          std::string("JVDTLab.JVLink\\\\CLSID");
      std::optional<std::string> clsid = DefaultValue(*registry, progIdKey);
      if (!clsid || clsid->empty()) continue;
      if (!HasKey(*registry, classes + "CLSID\\\\" + *clsid + "\\\\InprocServer32")) continue;
      (wow || !win64 ? out.bits32 : out.bits64) = true;
    }
  }
  return out;
}

fs::path InstalledExporter(int bits) {
  const char* name = bits == 64 ? "sorvix-jvdump64.exe" : "sorvix-jvdump.exe";
  fs::path exe = ExecutableFolder();
  for (const fs::path& candidate :
       {exe.parent_path() / "share/sorvix/windows" / name,
        exe.parent_path() / "tools/jvdump" / (bits == 64 ? "x86_64" : "i686") / name}) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::optional<ExportProgress> ExportProgressOf(const std::string& line) {
  size_t open = line.rfind('(');
  size_t slash = line.find('/', open == std::string::npos ? 0 : open);
  size_t close = line.find(')', slash == std::string::npos ? 0 : slash);
  if (open == std::string::npos || slash == std::string::npos || close != line.size() - 1)
    return std::nullopt;
  ExportProgress progress;
  auto number = [&](size_t from, size_t to, int& out) {
    if (to <= from || to - from > 9) return false;
    out = 0;
    for (size_t i = from; i < to; ++i) {
      if (line[i] < '0' || line[i] > '9') return false;
      out = out * 10 + (line[i] - '0');
    }
    return true;
  };
  if (!number(open + 1, slash, progress.position) || !number(slash + 1, close, progress.maximum))
    return std::nullopt;
  progress.download = line.rfind("ダウンロード", 0) == 0;
  return progress;
}

fs::path DefaultExporter(const fs::path& prefix) {
  WineRegistration registration = RegistrationIn(prefix);
  // JV-Link 4 is 32-bit; a 64-bit registration alone is JV-Link 5.0.
  return InstalledExporter(registration.bits32 || !registration.bits64 ? 32 : 64);
}

std::string CheckWineSetup(WineSetup& setup) {
  std::string wine = FindProgram(setup.wine);
  if (wine.empty())
    return "Wine（" + setup.wine +
           "）が見つかりません。sudo apt install wine wine64 wine32:i386 でインストールしてください"
           "（wine32 には sudo dpkg --add-architecture i386 が先に必要です）。";
  setup.wine = wine;
  std::error_code ec;
  if (!fs::is_regular_file(setup.prefix / "system.reg", ec))
    return "Wine のプレフィックス " + setup.prefix.string() +
           " がありません。WINEPREFIX=" + setup.prefix.string() +
           " wineboot --init で作り、JV-Link をインストールしてください。";
  WineRegistration registration = RegistrationIn(setup.prefix);
  if (!registration.bits32 && !registration.bits64)
    return "Wine のプレフィックス " + setup.prefix.string() +
           " に JV-Link が登録されていません。WINEPREFIX=" + setup.prefix.string() +
           " wine で JV-Link のセットアップを実行してインストールし、JV-Link "
           "自身の画面でサービスキーを登録してください。";
  if (setup.exporter.empty()) {
    setup.exporter = DefaultExporter(setup.prefix);
    if (setup.exporter.empty())
      return std::string("JV-Link 用の書き出しプログラム ") +
             (registration.bits32 ? "sorvix-jvdump.exe" : "sorvix-jvdump64.exe") +
             " が見つかりません。Sorvix を入れ直すか、設定の [Wine] Exporter にその場所を書いて"
             "ください。";
  }
  bool exporter64 = setup.exporter.filename().string().find("64") != std::string::npos;
  if (exporter64 ? !registration.bits64 : !registration.bits32)
    return std::string("JV-Link は ") + (exporter64 ? "32" : "64") +
           " ビット用に登録されていますが、書き出しプログラム " + setup.exporter.string() + " は " +
           (exporter64 ? "64" : "32") + " ビット用です。設定の [Wine] Exporter を " +
           (exporter64 ? "sorvix-jvdump.exe" : "sorvix-jvdump64.exe") + " にしてください。";
  if (!fs::is_regular_file(setup.exporter, ec))
    return "書き出しプログラム " + setup.exporter.string() + " がありません。";
  return "";
}

std::string WineStartupMessage(WineSetup setup) {
  if (!setup.enabled) return "";
  std::string problem = CheckWineSetup(setup);
  if (problem.empty()) return "";
  WineRegistration registration = RegistrationIn(setup.prefix);
  if (!registration.bits32 && !registration.bits64)
    return Utf8(JvLinkMissingMessage()) + "\n" + problem;
  return problem;
}

std::vector<std::string> AcquisitionExportArguments(const WineSetup& setup, const std::tm& from,
                                                    bool setupData) {
  std::string fromText = FromTimeText(from);
  std::error_code ec;
  if (setupData) return {"--setup", "--from", fromText.substr(0, 8)};
  if (!fs::exists(setup.feed / "sorvix-jvdump.state", ec)) return {"--from", fromText};
  return {};
}

std::vector<std::string> RealtimeExportArguments(Cp932View label) {
  std::string ymd;
  for (char c : label.bytes())
    if (c >= '0' && c <= '9') ymd += c;
  return {"--realtime", ymd};
}

std::string ExportEndMessage(int code) {
  switch (code) {
    case kExportOk:
    case kExportNothingNew:
    case kExportLossy:
      return "";
    case kExportCancelled:
      return "JV-Link からの書き出しを中止しました。書きかけのデータは残していません。";
    case kExportBusy:
      return "JV-Link からの書き出しが実行中です（同じフィードフォルダか同じ Wine "
             "のプレフィックスに）。終わってからもう一度実行してください。";
    default:
      return "JV-Link からの書き出しに失敗しました（終了コード " + std::to_string(code) +
             "）。上の行に JV-Link の返した理由があります。";
  }
}

namespace {

// An exclusive flock on `path`, held while the object lives; not held when
// another run has it (or the file cannot be made).
class ExportLock {
 public:
  explicit ExportLock(const fs::path& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      close(fd_);
      fd_ = -2;
    }
  }
  ~ExportLock() {
    if (fd_ >= 0) close(fd_);
  }
  ExportLock(const ExportLock&) = delete;
  ExportLock& operator=(const ExportLock&) = delete;
  bool busy() const { return fd_ == -2; }

 private:
  int fd_ = -1;
};

// What a killed exporter left under a temporary name.
void RemoveTemporaryFiles(const fs::path& feed) {
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::recursive_directory_iterator it(feed, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.size() > 8 && name.compare(name.size() - 8, 8, ".jvd.tmp") == 0)
      stale.push_back(it->path());
  }
  for (const fs::path& path : stale) fs::remove(path, ec);
}

// Runs the exporter in the prefix with `arguments`; false in `killed` when
// it ended on its own.
int RunExporter(const WineSetup& setup, const std::vector<std::string>& arguments,
                const std::function<void(const std::string&)>& onLine,
                const std::function<bool()>& cancelled, int graceMs, bool& killed) {
  std::vector<std::string> argv{setup.wine, setup.exporter.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildProcess child(argv, {{"WINEPREFIX", setup.prefix.string()},
                            {"LANG", "ja_JP.UTF-8"},
                            {"LC_ALL", "ja_JP.UTF-8"},
                            {"WINEDEBUG", "-all"}});
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> interruptedAt;
  std::vector<std::string> lines;
  killed = false;
  // Until the exporter has ended and its output is read (Wine's server may
  // hold the pipe open after it).
  for (bool open = true; open;) {
    bool ended = child.Poll() >= 0;
    size_t before = 0;
    do {
      before = lines.size();
      open = child.ReadLines(lines, ended ? 50 : 20);
    } while (ended && open && lines.size() > before);
    for (const std::string& line : lines)
      if (!line.empty()) onLine(Utf8(Cp932View::FromBytes(line)));
    lines.clear();
    if (ended) break;
    if (!interruptedAt && cancelled()) {
      child.Signal(SIGINT);
      interruptedAt = Clock::now();
    } else if (interruptedAt &&
               Clock::now() - *interruptedAt > std::chrono::milliseconds(graceMs)) {
      killed = true;
      child.EndGroup();
      child.Wait();
      return kExportCancelled;
    }
    if (interruptedAt) cancelled();  // the window stays live meanwhile
  }
  int code = child.Wait();
  // Whatever Wine left running in the run's group ends with it.
  child.EndGroup();
  return code;
}

}  // namespace

int RunWineExport(const WineSetup& setup, const std::vector<std::string>& arguments,
                  const std::function<void(const std::string&)>& onLine,
                  const std::function<bool()>& cancelled, int graceMs) {
  std::error_code ec;
  fs::create_directories(setup.feed, ec);
  ExportLock feedLock(setup.feed / "sorvix-export.lock");
  ExportLock prefixLock(setup.prefix / "sorvix-export.lock");
  if (feedLock.busy() || prefixLock.busy()) return kExportBusy;
  std::vector<std::string> all{"--out", WinePath(setup.feed)};
  all.insert(all.end(), arguments.begin(), arguments.end());
  bool killed = false;
  int code = RunExporter(setup, all, onLine, cancelled, graceMs, killed);
  if (killed) RemoveTemporaryFiles(setup.feed);
  return code;
}

int RunWineUiProperties(const WineSetup& setup,
                        const std::function<void(const std::string&)>& onLine,
                        const std::function<bool()>& cancelled) {
  ExportLock prefixLock(setup.prefix / "sorvix-export.lock");
  if (prefixLock.busy()) return kExportBusy;
  bool killed = false;
  return RunExporter(setup, {"--ui-properties"}, onLine, cancelled, 10000, killed);
}

}  // namespace sorvix
