// The checks before Sorvix runs the exporter through Wine, on prefixes made
// of their registry file alone, and the run of a child program with its
// lines and its cancel.
#include "acquisition/wine_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "codes/cp932.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

// A Wine registry file with JV-Link's ProgID and its in-process server, in
// the 64-bit or the 32-bit (Wow6432Node) view.
std::string Registry(bool bits64, bool bits32) {
  std::string out = "WINE REGISTRY Version 2\n#arch=win64\n\n";
  const char* clsid = "{6A1C3E52-8B0D-4F3A-9C2E-5D7B1A0F4E21}";
  if (bits64)
    out += std::string("[Software\\\\Classes\\\\JVDTLab.JVLink\\\\CLSID] 1\n@=\"") + clsid +
           "\"\n\n[Software\\\\Classes\\\\CLSID\\\\" + clsid +
           "\\\\InprocServer32] 1\n@=\"C:\\\\x.dll\"\n\n";
  if (bits32)
    out += std::string("[Software\\\\Classes\\\\Wow6432Node\\\\JVDTLab.JVLink\\\\CLSID] 1\n@=\"") +
           clsid + "\"\n\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\" + clsid +
           "\\\\InprocServer32] 1\n@=\"C:\\\\x.dll\"\n\n";
  return out;
}

TEST(WineExportTest, EachCheckSaysWhatToDo) {
  test::TempHome home;
  home.Write("exporters/sorvix-jvdump64.exe", "MZ");
  home.Write("exporters/sorvix-jvdump.exe", "MZ");
  home.Write("p64/system.reg", Registry(true, false));
  home.Write("p32/system.reg", Registry(false, true));
  home.Write("none/system.reg", Registry(false, false));
  fs::path h = home.path();
  struct Case {
    const char* name;
    std::string wine;
    fs::path prefix;
    fs::path exporter;
    std::string message;  // the start of the message; empty: the run can go
  } cases[] = {
      {"no Wine", "/nonexistent/wine", h / "p64", h / "exporters/sorvix-jvdump64.exe",
       "Wine（/nonexistent/wine）が見つかりません。sudo apt install wine"},
      {"no prefix", "/bin/true", h / "missing", h / "exporters/sorvix-jvdump64.exe",
       "Wine のプレフィックス " + (h / "missing").string() + " がありません。"},
      {"not registered", "/bin/true", h / "none", h / "exporters/sorvix-jvdump64.exe",
       "Wine のプレフィックス " + (h / "none").string() + " に JV-Link が登録されていません。"},
      {"the other bitness", "/bin/true", h / "p32", h / "exporters/sorvix-jvdump64.exe",
       "JV-Link は 32 ビット用に登録されていますが、書き出しプログラム "},
      {"no exporter", "/bin/true", h / "p64", h / "exporters/gone/sorvix-jvdump64.exe",
       "書き出しプログラム " + (h / "exporters/gone/sorvix-jvdump64.exe").string() +
           " がありません。"},
      {"ready", "/bin/true", h / "p64", h / "exporters/sorvix-jvdump64.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WineSetup setup{c.prefix, c.wine, c.exporter, h / "JVLink"};
    std::string message = CheckWineSetup(setup);
    if (c.message.empty()) {
      EXPECT_EQ(message, "");
    } else {
      EXPECT_EQ(message.substr(0, c.message.size()), c.message) << message;
    }
  }
  EXPECT_TRUE(RegistrationIn(h / "p64").bits64);
  EXPECT_FALSE(RegistrationIn(h / "p64").bits32);
  EXPECT_TRUE(RegistrationIn(h / "p32").bits32);
}

TEST(WineExportTest, TheExportersLinesComeAsTheyAreWrittenAndACancelEndsIt) {
  test::TempHome home;
  // A stand-in for Wine that runs the "exporter", a shell script: it shows
  // what it was given, then waits for an interrupt ("slow") or ignores it
  // ("stuck").
  home.Write("wine", "#!/bin/sh\nexec /bin/sh \"$@\"\n");
  home.Write(
      "exporter.sh",
      "case \"$3\" in\n"
      "slow) trap 'printf \"\\203L\\203\\203\\203\\223\\203Z\\203\\213\\r\\n\"; exit 3' INT ;;\n"
      "stuck) trap '' INT ;;\n"
      "esac\n"
      "printf 'LANG=%s WINEPREFIX=%s\\r\\n' \"$LANG\" \"$WINEPREFIX\"\n"
      "printf '%s\\r\\n' \"$*\"\n"
      "[ -n \"$3\" ] && [ \"$3\" != --realtime ] && while :; do sleep 0.05; done\n"
      "exit 1\n");
  fs::permissions(home.path() / "wine", fs::perms::owner_all);
  WineSetup setup{home.path() / "prefix", (home.path() / "wine").string(),
                  home.path() / "exporter.sh", home.path() / "JVLink"};
  std::string feed = "Z:" + (home.path() / "JVLink").string();
  std::replace(feed.begin(), feed.end(), '/', '\\');
  std::vector<std::string> lines;
  auto collect = [&](const std::string& line) { lines.push_back(line); };

  EXPECT_EQ(RunWineExport(setup, {"--realtime", "20240107"}, collect, [] { return false; }), 1);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "LANG=ja_JP.UTF-8 WINEPREFIX=" + (home.path() / "prefix").string(),
                       "--out " + feed + " --realtime 20240107"}));

  // 中止: an interrupt, which the exporter answers by cancelling.
  lines.clear();
  auto once = [&] { return lines.size() >= 2; };
  EXPECT_EQ(RunWineExport(setup, {"slow"}, collect, once), kExportCancelled);
  EXPECT_EQ(lines.back(), "キャンセル");

  // An exporter that does not answer is ended after the grace period.
  lines.clear();
  EXPECT_EQ(RunWineExport(setup, {"stuck"}, collect, once, 300), kExportCancelled);
}

// The settings decide the setup; without [Wine] Use, Wine is used when it
// is there and JV-Link is registered in the prefix.
TEST(WineExportTest, UseFollowsTheSettingsElseTheRegistration) {
  test::TempHome home;
  home.Write("p64/system.reg", Registry(true, false));
  home.Write("none/system.reg", Registry(false, false));
  fs::path h = home.path();
  struct Case {
    const char* ini;
    bool enabled;
    bool bySettings;
  } cases[] = {
      {"[Wine]\nPrefix=%p64\nProgram=/bin/true\n", true, false},
      {"[Wine]\nPrefix=%none\nProgram=/bin/true\n", false, false},
      {"[Wine]\nPrefix=%p64\nProgram=/nonexistent/wine\n", false, false},
      {"[Wine]\nPrefix=%p64\nProgram=/bin/true\nUse=0\n", false, false},
      {"[Wine]\nPrefix=%none\nUse=1\n", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    std::string ini = c.ini;
    ini.replace(ini.find('%'), 1, h.string() + "/");
    home.Write("sorvix.ini", ini);
    WineSetup setup = ReadWineSetup(SettingsFile());
    EXPECT_EQ(setup.enabled, c.enabled);
    EXPECT_EQ(setup.enabledBySettings, c.bySettings);
  }
  // What the settings dialog keeps reads back, the feed folder included.
  SettingsFile settings;
  WriteWineSetup(settings,
                 {h / "p64", "/usr/bin/wine", h / "x/sorvix-jvdump64.exe", h / "feed", true});
  WineSetup back = ReadWineSetup(settings);
  EXPECT_EQ(back.prefix, h / "p64");
  EXPECT_EQ(back.wine, "/usr/bin/wine");
  EXPECT_EQ(back.exporter, h / "x/sorvix-jvdump64.exe");
  EXPECT_EQ(back.feed, h / "feed");
  EXPECT_TRUE(back.enabledBySettings);
}

TEST(WineExportTest, ArgumentsAndProgressLines) {
  test::TempHome home;
  WineSetup setup{home.path() / "prefix", "wine", {}, home.path() / "JVLink", true};
  std::tm from{};
  from.tm_year = 2023 - 1900;
  from.tm_mon = 0;
  from.tm_mday = 2;
  from.tm_hour = 9;
  using Args = std::vector<std::string>;
  EXPECT_EQ(AcquisitionExportArguments(setup, from, true), (Args{"--setup", "--from", "20230102"}));
  EXPECT_EQ(AcquisitionExportArguments(setup, from, false), (Args{"--from", "20230102090000"}));
  home.Write("JVLink/sorvix-jvdump.state", "20240107120000\r\n");
  EXPECT_EQ(AcquisitionExportArguments(setup, from, false), Args{});
  EXPECT_EQ(RealtimeExportArguments(Cp932View::FromBytes(Cp932("2024年01月07日").bytes())),
            (Args{"--realtime", "20240107"}));

  struct Case {
    const char* line;
    bool matches;
    bool download;
    int position;
    int maximum;
  } cases[] = {
      {"ダウンロード中．．．(3/10)", true, true, 3, 10},
      {"データ読込み中．．．(0/12)", true, false, 0, 12},
      {"1234 件のレコードを Z:\\feed\\RACEDIFN20240107.jvd に書き出しました。", false, false, 0, 0},
      {"JVOpen: 取得済みデータより最新のデータがありません。(-1)", false, false, 0, 0},
      {"(3/x)", false, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<ExportProgress> progress = ExportProgressOf(c.line);
    ASSERT_EQ(progress.has_value(), c.matches);
    if (!progress) continue;
    EXPECT_EQ(progress->download, c.download);
    EXPECT_EQ(progress->position, c.position);
    EXPECT_EQ(progress->maximum, c.maximum);
  }
}

// One export at a time into a feed folder and in a prefix; what the run
// started and left behind is ended with it.
TEST(WineExportTest, OneExportAtATimeAndNothingLeftRunning) {
  test::TempHome home;
  home.Write("wine", "#!/bin/sh\nexec /bin/sh \"$@\"\n");
  // Starts a helper that outlives it, as Wine's own processes do.
  home.Write("exporter.sh",
             "sleep 60 &\necho $! > \"$(dirname \"$0\")/helper.pid\"\n"
             "printf 'started\\r\\n'\nsleep 0.3\nexit 0\n");
  fs::permissions(home.path() / "wine", fs::perms::owner_all);
  fs::path h = home.path();
  WineSetup setup{h / "prefix", (h / "wine").string(), h / "exporter.sh", h / "JVLink", true};
  fs::create_directories(setup.prefix);
  std::vector<int> others;
  auto secondRuns = [&](const std::string&) {
    WineSetup samePrefix = setup, sameFeed = setup;
    samePrefix.feed = h / "other-feed";
    sameFeed.prefix = h / "other-prefix";
    fs::create_directories(sameFeed.prefix);
    for (const WineSetup& other : {samePrefix, sameFeed})
      others.push_back(RunWineExport(
          other, {}, [](const std::string&) {}, [] { return false; }));
  };
  EXPECT_EQ(RunWineExport(setup, {}, secondRuns, [] { return false; }), kExportOk);
  EXPECT_EQ(others, (std::vector<int>{kExportBusy, kExportBusy}));
  EXPECT_NE(ExportEndMessage(kExportBusy).find("実行中"), std::string::npos);

  std::string helper = home.Read("helper.pid");
  helper.erase(helper.find_last_not_of("\r\n ") + 1);
  std::string state;
  std::ifstream stat("/proc/" + helper + "/stat");
  std::getline(stat, state);
  // Gone, or a zombie waiting for its adopter.
  EXPECT_TRUE(state.empty() || state.find(") Z ") != std::string::npos) << state;
}

}  // namespace
}  // namespace sorvix
