#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/program_folder.h"
#include "app/startup_checks.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/meeting_list.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

TEST(StartupTest, VersionCheck) {
  EXPECT_EQ(JvLinkVersionMessage("0480"),
            Cp932("ご利用中のJV-Linkのバージョンは[4.8.0]です。\r\n"
                  "本ソフトのご利用にはバージョン[4.9.0]以上が必要です。\r\n"
                  "JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。"));
  EXPECT_TRUE(JvLinkVersionMessage("0490").empty());
  EXPECT_TRUE(JvLinkVersionMessage("0500").empty());
  EXPECT_EQ(JvInitErrorMessage(-101), Cp932("JVInitエラー：sid が設定されていません。(-101)"));
}

TEST(StartupTest, StoreFoldersAreCreatedAndOneDataFolderServesEveryCase) {
  test::TempHome home;
  CreateStoreFolders();
  for (const char* name : {"SEI", "SEIR", "UM2", "Data", "KSCH"})
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / name)) << name;
  EXPECT_EQ(HomePath("\\DATA\\x"), home.path() / "Data/x");
  EXPECT_EQ(HomePath("\\data\\x"), home.path() / "Data/x");
  EXPECT_EQ(HomePath("\\Data\\2008年01月05日.jvRA"_sj), home.path() / "Data/2008年01月05日.jvRA");
  // A record field can never lead a path out of ProgramFolder.
  EXPECT_EQ(HomePath("\\SEI\\..\\..\\etc\\x"), home.path() / "SEI/etc/x");
  // A CP932 trail byte 0x5C (as in ソ, 83 5C) is not a separator.
  EXPECT_EQ(HomePath("\\Data\\ソ"_sj), home.path() / "Data/ソ");
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(StartupTest, InstalledProgramKeepsItsDataInTheUsersDataFolder) {
  test::TempHome home;
  namespace fs = std::filesystem;
  fs::path build = home.path() / "build", bin = home.path() / "usr/bin";
  fs::path readOnly = home.path() / "opt/sorvix";
  for (const fs::path& p : {build, bin, readOnly}) fs::create_directories(p);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);

  ScopedEnv user("HOME", (home.path() / "user").c_str());
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(DefaultProgramFolder(build), build);  // a build tree keeps its data beside it
    EXPECT_EQ(DefaultProgramFolder(bin), home.path() / "user/.local/share/sorvix");
    if (geteuid() != 0) {  // root writes anywhere
      EXPECT_EQ(DefaultProgramFolder(readOnly), home.path() / "user/.local/share/sorvix");
    }
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").c_str());
    EXPECT_EQ(DefaultProgramFolder(bin), home.path() / "xdg/sorvix");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    EXPECT_EQ(DefaultProgramFolder(bin), home.path() / "user/.local/share/sorvix");
  }
  fs::permissions(readOnly, fs::perms::owner_all);
}

TEST(StartupTest, MeetingDatesNewestFirst) {
  test::TempHome home;
  EXPECT_TRUE(ListMeetingDates().empty());  // no Data folder at all
  CreateStoreFolders();
  EXPECT_TRUE(ListMeetingDates().empty());
  home.Write("Data/2008年01月05日.jvRA", "");
  home.Write("Data/2008年01月06日.jvRA", "");
  home.Write("Data/2008年01月06日.jvHR", "");
  home.Write("Data/2007年12月28日.jvRA", "");
  auto dates = ListMeetingDates();
  ASSERT_EQ(dates.size(), 3u);
  EXPECT_EQ(dates[0], Cp932("2008年01月06日"));
  EXPECT_EQ(dates[1], Cp932("2008年01月05日"));
  EXPECT_EQ(dates[2], Cp932("2007年12月28日"));
}

TEST(TextTest, NumberReading) {
  struct Case {
    const char* text;
    long long value;
  } cases[] = {{"  12", 12}, {"-5", -5},  {"+7a", 7},   {"", 0},
               {"abc", 0},   {" - 3", 0}, {"0012", 12}, {"1 2", 1}};
  for (const Case& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << c.text;
  EXPECT_DOUBLE_EQ(ReadDecimal(" 10.3"), 10.3);
  EXPECT_DOUBLE_EQ(ReadDecimal("x"), 0.0);
  EXPECT_EQ(Field("RA1234", 3, 2), "12");
  EXPECT_EQ(Field("RA1234", 6, 5), "4");  // cut at the end
  EXPECT_EQ(Field("RA1234", 9, 2), "");   // past the end
}

TEST(TextTest, Cp932RoundTripsTheWindowsExtensions) {
  std::string circled = "①"_sj;
  EXPECT_EQ(circled, "\x87\x40");
  EXPECT_EQ(Utf8Bytes("\x5C\x7E"), "\\~");  // not ¥ and ‾
  EXPECT_EQ(Utf8Bytes("\xB6\xDE"), "ｶﾞ");
  EXPECT_TRUE(IsValidCp932("中山"_sj));
  EXPECT_FALSE(IsValidCp932("\x81"));
  EXPECT_EQ(Utf8Bytes("a\x81"), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace sorvix
