// The checks before Sorvix runs the exporter through Wine, on prefixes made
// of their registry file alone, and the run of a child program with its
// lines and its cancel.
#include "acquisition/wine_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace sorvix
