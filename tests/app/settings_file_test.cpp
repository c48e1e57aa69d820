#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  test::TempHome home;
  SettingsFile ini;

  void Store(std::string_view contents) { home.Write("sorvix.ini", contents); }
};

TEST_F(SettingsFileTest, LivesInProgramFolderUnderTheProgramName) {
  EXPECT_EQ(ini.path(), home.path() / "sorvix.ini");
  EXPECT_EQ(SettingsFile("other.ini").path(), home.path() / "other.ini");
}

TEST_F(SettingsFileTest, MissingFileOrKeyGivesDefaults) {
  EXPECT_EQ(ini.ReadInteger("locate", "width", 1200), 1200);
  EXPECT_EQ(ini.ReadString("Dir", "yoso", "abc"), "abc");
  EXPECT_EQ(ini.ReadString("Dir", "yoso", ""), "");
  EXPECT_FALSE(std::filesystem::exists(ini.path()));  // reading writes nothing
}

TEST_F(SettingsFileTest, TextQuoteRules) {
  // Stored value → text read.  ｢ and ｣ are the one-byte CP932 A2 / A3.
  struct Case {
    std::string stored;
    std::string expected;
  } cases[] = {
      {"\xA2\xA3", ""},  // only the two brackets
      {"\"\"", ""},      // only two double quotes
      {"\xA2"
       "abc\xA3",
       "abc"},             // enclosed in ｢｣
      {"\"abc\"", "abc"},  // enclosed in double quotes
      {"'abc'", "abc"},    // the profile reader drops single quotes too
      {"\"", "\""},        // one quote character is returned unchanged
      {"  plain text  ", "plain text"},
      {"\"\"abc\"\"", "abc"},  // the profile reader drops one pair, the rule another
  };
  for (const Case& c : cases) {
    Store("[Dir]\r\nyoso=" + c.stored + "\r\n");
    EXPECT_EQ(ini.ReadString("Dir", "yoso", "default"), c.expected) << c.stored;
  }
}

TEST_F(SettingsFileTest, IntegersReadTheDefaultWhenNotANumber) {
  Store(
      "[SignPoint]\r\nRed1=25\r\nRed2=abc\r\nRed3=\r\nRed4= -7 "
      "\r\nRed5=12x\r\nRed6=99999999999\r\n");
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red1", 10), 25);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red2", 10), 10);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red3", 10), 10);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red4", 10), -7);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red5", 10), 10);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red6", 10), 10);
}

TEST_F(SettingsFileTest, SectionsAndKeysMatchWithoutCase) {
  Store("[LOCATE]\r\nTop=33\r\n");
  EXPECT_EQ(ini.ReadInteger("locate", "top", 10), 33);
}

TEST_F(SettingsFileTest, WritesReplaceOrAddKeysAndKeepTheRest) {
  Store("; comment\r\n[locate]\r\ntop=1\r\n\r\n[Other]\r\nx=y\r\n");
  ini.WriteInteger("locate", "top", 5);
  ini.WriteInteger("locate", "left", 6);
  ini.WriteString("Dir", "yoso", "\xA2 q \xA3");
  EXPECT_EQ(home.Read("sorvix.ini"),
            "; comment\r\n[locate]\r\ntop=5\r\nleft=6\r\n\r\n[Other]\r\nx=y\r\n[Dir]\r\nyoso=\xA2 "
            "q \xA3\r\n");
  EXPECT_EQ(ini.ReadString("Dir", "yoso", ""), " q ");
  // A second accessor sees what the first wrote.
  EXPECT_EQ(SettingsFile().ReadInteger("locate", "left", 0), 6);
}

TEST_F(SettingsFileTest, GarbageFileReadsDefaults) {
  Store(std::string("\x00\xFF[[[\r\n=\r\n[locate\r\ntop\r\n\x81", 20));
  EXPECT_EQ(ini.ReadInteger("locate", "top", 10), 10);
  ini.WriteInteger("locate", "top", 3);
  EXPECT_EQ(ini.ReadInteger("locate", "top", 10), 3);
}

}  // namespace
}  // namespace sorvix
