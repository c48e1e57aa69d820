// sorvix-cli print run as a user runs it: a PDF that cannot be written
// completely (a full disk, a file size limit, a read-only or special
// target) is an error with the system's reason and exit code 1, and leaves
// no file under the target's name; an older file of that name is kept.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/io_error.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/store_paths.h"
#include "support/private_tmpfs.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(SORVIX_BINARY_DIR) / "cli" / "sorvix-cli";

struct CliResult {
  int status = -1;
  std::string out, err;
};

// Runs sorvix-cli with `args` as a user's shell would, but without
// XDG_RUNTIME_DIR (as under su or in a service).  `fileSizeLimit` ≥ 0 sets
// RLIMIT_FSIZE; SIGXFSZ keeps its default action (ending the process).
CliResult RunCli(const std::vector<std::string>& args, const fs::path& logs,
                 long long fileSizeLimit = -1) {
  std::vector<std::string> argv = {kCli.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (auto& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  fs::path out = logs / "out.txt", err = logs / "err.txt";
  pid_t pid = ::fork();
  if (pid == 0) {
    int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0) ::_exit(126);
    ::dup2(o, STDOUT_FILENO);
    ::dup2(e, STDERR_FILENO);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("SORVIX_QT_WARNINGS");
    if (fileSizeLimit >= 0) {
      struct rlimit limit {};
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  CliResult run;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFileIfExists(out).value_or("");
  run.err = ReadFileIfExists(err).value_or("");
  return run;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

class PrintCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli)) GTEST_SKIP() << "sorvix-cli is not built";
    // One race of venue 05 with eight runners: one ring card page.
    std::string races = test::RaRecord(
        {.ymd = "20240505", .venue = "05", .race = 1, .startTime = "1000", .runners = 8});
    std::string runners(static_cast<size_t>(kRunnerFileLines) * kSeLength, ' ');
    for (int h = 1; h <= 8; ++h) {
      test::RecordBuilder se("SE", kSeLength);
      test::SetRaceId(se, {"20240505", "05", 1, 1, 1});
      se.Set(28, Format("%d", h)).SetNumber(29, 2, h).Set(41, "テスト"_sj + Format("%d", h));
      std::string line = se.Build();
      runners.replace(static_cast<size_t>((h - 1) * kSeLength), line.size(), line);
    }
    home_.Write(RelativeStorePath(RaceFilePath(Cp932("2024年05月05日"))), races);
    home_.Write(RelativeStorePath(RunnerFilePath(Cp932("2024年05月05日"), "05")), runners);
    fs::create_directories(out_);
  }

  std::vector<std::string> Print(const fs::path& target, std::vector<std::string> more = {}) const {
    std::vector<std::string> args = {
        "--home", home_.path().string(), "print", "2024-05-05", "--layout", "ring",
        "--out",  target.string()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }

  // The error line a failed write of `target` must give.
  static std::string WriteError(const fs::path& target, int errnum) {
    return "sorvix-cli: PDF ファイルを書き込めません: " + target.string() + ": " +
           SystemReason(errnum) + "\n";
  }

  test::TempHome home_;
  fs::path out_ = home_.path() / "out";
};

TEST_F(PrintCommand, WritesTheWholePdfAndNothingElse) {
  fs::path target = out_ / "card.pdf";
  CliResult run = RunCli(Print(target), out_.parent_path());
  ASSERT_EQ(run.status, 0) << run.err;
  // No toolkit warning (XDG_RUNTIME_DIR, fonts) reaches the user.
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("出馬表リング印刷[全開催場]: " + target.string()), std::string::npos)
      << run.out;
  std::string pdf = ReadWholeFile(target);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
  EXPECT_EQ(pdf.substr(pdf.find_last_not_of("\r\n") - 4, 5), "%%EOF");
  EXPECT_EQ(Names(out_), std::set<std::string>{"card.pdf"});
}

TEST_F(PrintCommand, FileSizeLimitFailsWithTheReasonAndKeepsTheOldFile) {
  fs::path target = out_ / "card.pdf";
  WriteFileAtomic(target, "older file");
  CliResult run = RunCli(Print(target), out_.parent_path(), 8 << 10);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.err, WriteError(target, EFBIG));
  EXPECT_EQ(run.out, "");  // no page is listed as written
  EXPECT_TRUE(ReadWholeFile(target) == "older file") << "the older file was replaced";
  EXPECT_EQ(Names(out_), std::set<std::string>{"card.pdf"});
}

TEST_F(PrintCommand, TargetsThatCannotBeWrittenAreRefusedInJapanese) {
  struct Case {
    fs::path target;
    std::string error;
  };
  fs::create_directories(out_ / "folder.pdf");
  for (const Case& c :
       {Case{"/proc/version",
             "sorvix-cli: PDF ファイルを書き込めません: /proc/version: "
             "フォルダ /proc に一時ファイルを作れません: "},
        Case{out_ / "missing" / "card.pdf",
             "sorvix-cli: PDF ファイルを書き込めません: " + (out_ / "missing/card.pdf").string() +
                 ": フォルダ " + (out_ / "missing").string() +
                 " に一時ファイルを作れません: " + SystemReason(ENOENT) + "\n"},
        Case{out_ / "folder.pdf", WriteError(out_ / "folder.pdf", EISDIR)}}) {
    CliResult run = RunCli(Print(c.target), out_.parent_path());
    EXPECT_EQ(run.status, 1) << c.target;
    EXPECT_EQ(run.err.rfind(c.error, 0), 0u) << run.err;
    EXPECT_EQ(run.out, "") << c.target;
  }
  EXPECT_EQ(Names(out_), std::set<std::string>{"folder.pdf"});
  EXPECT_TRUE(fs::is_empty(out_ / "folder.pdf"));

  CliResult pages = RunCli(Print(out_ / "card.pdf", {"--pages", "1,2"}), out_.parent_path());
  EXPECT_EQ(pages.status, 1);
  EXPECT_EQ(pages.err, "sorvix-cli: ページ 2 はありません（全 1 ページ）\n");
  EXPECT_FALSE(fs::exists(out_ / "card.pdf"));
}

// In a child process: a tmpfs at `disk` with room for part of the PDF, then
// the same tmpfs read-only.  Writes what it saw to `report`.
int DiskScenario(const fs::path& disk, const fs::path& report,
                 const std::vector<std::string>& fullArgs,
                 const std::vector<std::string>& readOnlyArgs) {
  std::string why = test::MountPrivateTmpfs(disk, 12 << 10);
  if (!why.empty()) {
    WriteFileAtomic(report, "skip: cannot mount a tmpfs here (" + why + ")\n");
    return 77;
  }
  std::string text;
  CliResult full = RunCli(fullArgs, report.parent_path());
  text += "full " + std::to_string(full.status) + "\n" + full.err + full.out;
  for (const auto& name : Names(disk)) text += "left " + name + "\n";
  if (::mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    text += "remount failed\n";
  } else {
    CliResult readOnly = RunCli(readOnlyArgs, report.parent_path());
    text += "read-only " + std::to_string(readOnly.status) + "\n" + readOnly.err + readOnly.out;
  }
  WriteFileAtomic(report, text);
  return 0;
}

TEST_F(PrintCommand, FullAndReadOnlyDisksFailWithTheReasonAndLeaveNothing) {
  fs::path disk = home_.path() / "disk", report = out_ / "report.txt";
  fs::create_directories(disk);
  std::vector<std::string> fullArgs = Print(disk / "card.pdf");
  std::vector<std::string> readOnlyArgs = Print(disk / "again.pdf");
  std::fflush(nullptr);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ::_exit(DiskScenario(disk, report, fullArgs, readOnlyArgs));
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  std::string got = ReadFileIfExists(report).value_or("");
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << got;
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << got;
  EXPECT_EQ(got, "full 1\n" + WriteError(disk / "card.pdf", ENOSPC) + "read-only 1\n" +
                     "sorvix-cli: PDF ファイルを書き込めません: " + (disk / "again.pdf").string() +
                     ": フォルダ " + disk.string() +
                     " に一時ファイルを作れません: " + SystemReason(EROFS) + "\n");
}

}  // namespace
}  // namespace sorvix
