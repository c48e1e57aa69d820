#include "acquisition/wine_export.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "acquisition/feed_jv_link.h"
#include "app/child_process.h"
#include "app/file_io.h"
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

// The installed exporter for `bits`, beside an installed program or in a
// build tree.
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
  setup.wine = settings.ReadProfileString("Wine", "Program", "wine");
  setup.exporter = settings.ReadProfileString("Wine", "Exporter", "");
  setup.feed = FeedJvLink::FeedFolder();
  return setup;
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
    // JV-Link 4 is 32-bit; a 64-bit registration alone is JV-Link 5.0.
    setup.exporter = InstalledExporter(registration.bits32 ? 32 : 64);
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

int RunWineExport(const WineSetup& setup, const std::vector<std::string>& arguments,
                  const std::function<void(const std::string&)>& onLine,
                  const std::function<bool()>& cancelled, int graceMs) {
  std::vector<std::string> argv{setup.wine, setup.exporter.string(), "--out", WinePath(setup.feed)};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildProcess child(argv, {{"WINEPREFIX", setup.prefix.string()},
                            {"LANG", "ja_JP.UTF-8"},
                            {"LC_ALL", "ja_JP.UTF-8"},
                            {"WINEDEBUG", "-all"}});
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> interruptedAt;
  std::vector<std::string> lines;
  // Until the exporter has ended and its output is read (Wine's server may
  // hold the pipe open after it).
  for (bool open = true; open;) {
    bool ended = child.Poll() >= 0;
    size_t before = 0;
    do {
      before = lines.size();
      open = child.ReadLines(lines, ended ? 50 : 100);
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
      child.KillGroup();
      child.Wait();
      return kExportCancelled;
    }
  }
  int code = child.Wait();
  // Whatever the exporter left running in its group ends with it.
  child.KillGroup();
  return code;
}

}  // namespace sorvix
