// The command line as a new user meets it, through the real sorvix-cli:
// unknown options and missing values, homes that are not homes, and
// relative paths taken from the folder the command was started in whatever
// $PWD says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "faults/fault_scene.h"

namespace sorvix::faults {
namespace {

// Runs `command` with /bin/sh in `folder`; stdout and stderr as text.
ProcessResult Shell(const fs::path& folder, const std::string& command) {
  fs::path log = fs::temp_directory_path() / ("sorvix-cli-arguments-" + std::to_string(::getpid()));
  std::string line = "cd '" + folder.string() + "' && " + command + " >'" + log.string() +
                     ".out' 2>'" + log.string() + ".err'";
  int status = std::system(line.c_str());
  ProcessResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadFileIfExists(log.string() + ".out").value_or("");
  r.err = ReadFileIfExists(log.string() + ".err").value_or("");
  fs::remove(log.string() + ".out");
  fs::remove(log.string() + ".err");
  return r;
}

std::string Cli() {
  return std::string("'") + SORVIX_CLI + "'";
}

TEST(CliArgumentsTest, UnknownOptionsAndMissingValuesGiveTheUsageAndExitCodeTwo) {
  const Scene& s = TheScene();
  struct Case {
    std::string args;
    std::string message;
  } cases[] = {
      {"analyze 2024-05-11 --race 0 --bogus", "不明なオプションです: --bogus"},
      {"dates --frobnicate", "不明なオプションです: --frobnicate"},
      {"analyze 2024-05-11 --race", "--race の値がありません"},
      {"load 2024-05-11 --source", "--source の値がありません"},
      {"hits 2024-05-11 --big=yes", "--big は値を取りません"},
  };
  for (const Case& c : cases) {
    ProcessResult r = Shell(s.root, Cli() + " --home '" + s.reference.string() + "' " + c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find("sorvix-cli: " + c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("使い方: sorvix-cli "), std::string::npos) << r.err;
  }
  // Options that exist still work, in both spellings.
  ProcessResult r =
      Shell(s.root, Cli() + " --home '" + s.reference.string() + "' load 2024-05-11 --source=odds");
  EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(CliArgumentsTest, HomesThatAreNotHomesFailAndANewHomeIsMadeWithALine) {
  const Scene& s = TheScene();
  fs::path root = s.root / "homes";
  fs::remove_all(root);
  fs::create_directories(root / "dataisfile");
  WriteFileAtomic(root / "afile", "x");
  WriteFileAtomic(root / "dataisfile" / "Data", "x");
  fs::create_directories(root / "loop");
  fs::create_symlink("Data", root / "loop" / "Data");
  struct Case {
    std::string home;
    std::string message;
  } cases[] = {
      {"/proc/nohome", "データフォルダを作成できません: /proc/nohome"},
      {(root / "afile").string(), "データフォルダがフォルダではありません"},
      {(root / "dataisfile").string(), "データフォルダ内の Data がフォルダではありません"},
      {(root / "loop").string(), "シンボリックリンクが循環しています"},
  };
  for (const Case& c : cases) {
    ProcessResult r = Shell(root, Cli() + " --home '" + c.home + "' dates");
    EXPECT_EQ(r.exitCode, 1) << c.home << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  ProcessResult made = Shell(root, Cli() + " --home fresh dates");
  EXPECT_EQ(made.exitCode, 0) << made.err;
  EXPECT_NE(made.err.find("データフォルダを作成しました: " + (root / "fresh").string()),
            std::string::npos)
      << made.err;
  EXPECT_TRUE(fs::is_directory(root / "fresh"));
}

TEST(CliArgumentsTest, RelativePathsFollowTheStartFolderNotPwd) {
  const Scene& s = TheScene();
  fs::path start = s.root / "started-here";
  fs::remove_all(start);
  fs::create_directories(start);
  WriteFileAtomic(start / "odds.ini", "[YosoOz]\r\nSelect=1\r\n");
  // A stale PWD, a relative --home and a relative --ini.
  fs::copy(s.reference, start / "home", fs::copy_options::recursive);
  ProcessResult r =
      Shell(start, "PWD=/nonexistent " + Cli() + " --home home analyze 2024-05-11 --ini odds.ini");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"suiteiRank\""), std::string::npos);
  fs::remove_all(start);
}

// A home whose path has an accented letter and a kanji CP932 lacks (𠮷):
// every message names it exactly as it is, in UTF-8.
TEST(CliArgumentsTest, PathsOutsideCp932AreShownExactly) {
  const Scene& s = TheScene();
  fs::path home = s.root / "josé" / "𠮷の家";
  fs::remove_all(s.root / "josé");
  fs::create_directories(home.parent_path());
  FreshCopy(s.reference, home);
  struct Case {
    std::string args;
    std::function<void()> prepare;
    fs::path named;  // the path the message must name
  } cases[] = {
      {"dates",
       [&] {
         fs::remove(home / "sorvix.ini");
         fs::create_directory(home / "sorvix.ini");
       },
       home / "sorvix.ini"},
      {"print 2024-05-11 --layout ring --scope all --out '" + (home / "無い" / "x.pdf").string() +
           "'",
       [&] { fs::remove(home / "sorvix.ini"); }, home / "無い" / "x.pdf"},
      {"hits 2024-05-11", [&] { WriteFileAtomic(home / "HPupload", "not a folder"); },
       home / "HPupload"},
  };
  for (const Case& c : cases) {
    c.prepare();
    ProcessResult r = Shell(s.root, Cli() + " --home '" + home.string() + "' " + c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("sorvix-cli: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.named.string()), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_EQ(r.err.find('?'), std::string::npos) << r.err;
  }
  fs::remove_all(s.root / "josé");
}

}  // namespace
}  // namespace sorvix::faults
