// The predicted-odds import over archives made by the feed's LZH writer.
#include "results/odds_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "results/lzh_extract.h"
#include "store/store_paths.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"
#include "tools/feedgen/lzh_writer.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;
using feedgen::LzhArchive;
using feedgen::LzhMember;

const feedgen::Date kStamp{2008, 1, 5};

// A KOL line: blanks except the fields given (1-based positions).
struct KolLine {
  std::string text = std::string(1500, ' ');
  KolLine(std::string_view ymd, int runners, std::string_view flag = "0") {
    Put(1, "06");
    Put(7, "010111");
    Put(13, ymd);
    Put(105, flag);
    Put(110, Format("%02d", runners));
  }
  KolLine& Put(int pos, std::string_view value) {
    text.replace(static_cast<size_t>(pos - 1), value.size(), value);
    return *this;
  }
};

int PairIndex(std::string_view label) {
  for (int k = 1; k <= 153; ++k)
    if (QuinellaComboLabel(k) == label) return k;
  return 0;
}

// The quinella field of pair `label` in an OddsFile line.
std::string Quinella(const std::string& out, std::string_view label) {
  return out.substr(static_cast<size_t>(235 + 8 * (PairIndex(label) - 1)), 8);
}

std::set<std::string> FolderNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(KolOddsLineTest, WinOddsMarkersAndTenths) {
  KolLine line("20080105", 10);
  line.Put(162, "    *").Put(167, "  -  ").Put(172, "  123");
  std::string out = KolOddsLine(line.text, false);
  ASSERT_EQ(out.size(), 1459u);
  EXPECT_EQ(out.substr(0, 19), "2008010506010111K10");
  EXPECT_EQ(out.substr(19, 6), "  50.0");
  EXPECT_EQ(out.substr(25, 6), "      ");
  EXPECT_EQ(out.substr(31, 6), "  12.3");
  EXPECT_EQ(out.substr(127, 108), std::string(108, ' '));  // no place odds
  EXPECT_EQ(KolOddsLine(KolLine("20080105", 10, "1").text, false)[16], 'M');
}

TEST(KolOddsLineTest, SmallFieldsBefore2005TakeTheBracketQuinella) {
  KolLine line("20040105", 8);
  line.Put(257, "    *")
      .Put(262, "  -  ")
      .Put(267, "  250")
      .Put(432, "   4567")
      .Put(439, "      *");
  std::string bracket = KolOddsLine(line.text, false);
  EXPECT_EQ(Quinella(bracket, " 1- 2"), "   100.0");  // bracket field 2
  EXPECT_EQ(Quinella(bracket, " 1- 3"), "        ");  // bracket field 3: "-"
  EXPECT_EQ(Quinella(bracket, " 1- 4"), "    25.0");
  EXPECT_EQ(Quinella(bracket, " 7- 9"), "        ");  // not a bracket pair

  // Nine runners, or a 2005 or later date, read the 153 quinella fields.
  KolLine nine = line;
  nine.Put(110, "09");
  for (const std::string& out : {KolOddsLine(nine.text, false), KolOddsLine(line.text, true)}) {
    EXPECT_EQ(Quinella(out, " 1- 2"), "   456.7");
    EXPECT_EQ(Quinella(out, " 1- 3"), "  1000.0");
  }
}

TEST(JrdbOddsLineTest, KeyAndFieldsFromTheSourceText) {
  std::string src =
      "0524"
      "11"
      "01"
      "12" +
      std::string(90, ' ') + std::string(90, ' ') + std::string(765, ' ');
  src.replace(10, 5, " 12.3");
  src.replace(100, 5, "  2.1");
  src.replace(190, 5, "123.4");
  std::string out = JrdbOddsLine(src, "240505");
  ASSERT_EQ(out.size(), 1459u);
  EXPECT_EQ(out.substr(0, 19), "2024050505010101J12");
  EXPECT_EQ(out.substr(19, 6), "  12.3");
  EXPECT_EQ(out.substr(127, 6), "   2.1");
  EXPECT_EQ(out.substr(235, 8), "   123.4");
}

class OddsImportTest : public ::testing::Test {
 protected:
  fs::path Archive(const std::string& name, const std::vector<LzhMember>& members) {
    return WriteArchive(name, LzhArchive(members));
  }
  fs::path WriteArchive(const std::string& name, const std::string& bytes) {
    fs::create_directories(folder_);
    WriteFileAtomic(folder_ / name, bytes);
    return folder_ / name;
  }
  std::optional<std::string> OddsFile(const std::string& ymd) {
    return ReadFileIfExists(HomePath(OddsFilePath(DateLabelFromYmd(ymd))));
  }

  test::TempHome home_;
  fs::path folder_ = home_.path() / "ylzh";
};

TEST_F(OddsImportTest, KolArchiveIsSavedUnderTheFirstLinesDate) {
  std::string kol = KolLine("20080105", 10).Put(162, "   35").text + "\r\n" +
                    KolLine("20080106", 10).text + "\r\n";
  fs::path archive = Archive("kd3_jb080105.lzh", {{"kol_ods.kd3", kol, kStamp}});
  // Files left by an earlier import are removed first: a stale .kd2 would
  // otherwise win over the new .kd3.
  WriteFileAtomic(folder_ / "kol_ods.kd2", KolLine("19990101", 10).text);
  WriteFileAtomic(folder_ / "yosoodds.dat", "old");

  OddsImportResult result = ImportPredictedOdds(archive, std::nullopt);

  EXPECT_EQ(result.kind, OddsImportResult::Kind::Kol);
  EXPECT_FALSE(result.beep);
  EXPECT_EQ(Utf8Bytes(result.message),
            "KOL予想オッズデータを解凍し、2008年01月05日のデータを保存しました。"
            "データを再読込すると反映されます。");
  auto yoz = OddsFile("20080105");
  ASSERT_TRUE(yoz);
  auto lines = SplitLines(*yoz);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 25), "2008010506010111K10   3.5");
  EXPECT_EQ(lines[1].substr(0, 16), "2008010606010111");
  EXPECT_FALSE(OddsFile("20080106"));
  EXPECT_EQ(FolderNames(folder_), std::set<std::string>{"kd3_jb080105.lzh"});

  // The same archive again gives the same file.
  EXPECT_EQ(ImportPredictedOdds(archive, std::nullopt).kind, OddsImportResult::Kind::Kol);
  EXPECT_EQ(OddsFile("20080105"), yoz);
}

TEST_F(OddsImportTest, JrdbArchiveIsSavedUnderTheArchiveNamesDate) {
  std::string line =
      "0524"
      "11"
      "01"
      "12" +
      std::string(945, ' ');
  fs::path archive = Archive("OZ240505.lzh", {{"Oz240505.txt", line + "\r\n", kStamp}});

  OddsImportResult result = ImportPredictedOdds(archive, true);

  EXPECT_EQ(result.kind, OddsImportResult::Kind::Jrdb);
  EXPECT_EQ(Utf8Bytes(result.message),
            "JRDB基準オッズデータを解凍し、2024年05月05日のデータを保存しました。"
            "データを再読込すると反映されます。");
  auto yoz = OddsFile("20240505");
  ASSERT_TRUE(yoz);
  EXPECT_EQ(*yoz, JrdbOddsLine(line, "240505") + "\r\n");
  EXPECT_EQ(FolderNames(folder_), std::set<std::string>{"OZ240505.lzh"});
}

TEST_F(OddsImportTest, ArchiveWithoutSourceFileWritesNothingAndShowsNothing) {
  fs::path archive = Archive("j080105.lzh", {{"readme.txt", "x", kStamp}});
  OddsImportResult result = ImportPredictedOdds(archive, false);
  EXPECT_EQ(result.kind, OddsImportResult::Kind::NoSource);
  EXPECT_TRUE(result.message.empty());
  EXPECT_FALSE(fs::exists(home_.path() / "Data"));
}

TEST_F(OddsImportTest, DamagedArchivesExtractNothing) {
  std::string good = LzhArchive({{"kol_ods.kd3", KolLine("20080105", 10).text, kStamp},
                                 {"second.txt", std::string(400, 'x'), kStamp}});
  std::string truncated = good.substr(0, good.size() - 200);
  std::string corrupt = good;
  corrupt[2] = 'X';  // the method id of the first header
  for (const std::string& bytes : {truncated, corrupt, std::string("not an archive at all")}) {
    fs::remove_all(folder_);
    fs::path archive = WriteArchive("kd3_jb080105.lzh", bytes);
    OddsImportResult result = ImportPredictedOdds(archive, false);
    EXPECT_EQ(result.kind, OddsImportResult::Kind::NotExtracted);
    EXPECT_TRUE(result.beep);
    EXPECT_EQ(Utf8Bytes(result.message), "データが解凍できませんでした。");
    EXPECT_EQ(FolderNames(folder_), std::set<std::string>{"kd3_jb080105.lzh"}) << result.detail;
    EXPECT_FALSE(OddsFile("20080105"));
  }
}

TEST_F(OddsImportTest, MembersThatWouldLeaveTheFolderAreRefused) {
  fs::path archive = Archive("kd3_jb080105.lzh", {{"../escape.txt", "x", kStamp},
                                                  {"/abs.txt", "x", kStamp},
                                                  {"C:drive.txt", "x", kStamp},
                                                  {"sub\\..\\..\\up.txt", "x", kStamp},
                                                  {"sub\\inner.txt", "in", kStamp},
                                                  {"読む.txt"_sj, "jp", kStamp}});
  LzhExtraction extraction = ExtractLzh(archive, folder_);
  EXPECT_TRUE(extraction.ok()) << extraction.error;
  EXPECT_EQ(extraction.refused.size(), 4u);
  EXPECT_FALSE(fs::exists(home_.path() / "escape.txt"));
  EXPECT_FALSE(fs::exists(home_.path() / "up.txt"));
  EXPECT_FALSE(fs::exists("/abs.txt"));
  EXPECT_EQ(ReadWholeFile(folder_ / "sub" / "inner.txt"), "in");
  EXPECT_EQ(ReadWholeFile(folder_ / "読む.txt"), "jp");
  EXPECT_EQ(FolderNames(folder_), (std::set<std::string>{"kd3_jb080105.lzh", "sub", "読む.txt"}));

  // Nothing but refused members: nothing extracted, and the user is told
  // which member was refused.
  fs::path bad = Archive("j080105.lzh", {{"../escape.txt", "x", kStamp}});
  OddsImportResult refused = ImportPredictedOdds(bad, false);
  EXPECT_EQ(refused.kind, OddsImportResult::Kind::NotExtracted);
  EXPECT_NE(refused.detail.find("取り込みませんでした: ../escape.txt"), std::string::npos)
      << refused.detail;

  // A good member beside a refused one imports and names the refused one.
  fs::path mixed =
      Archive("kd3_jb080105.lzh",
              {{"kol_ods.kd3", KolLine("20080105", 10).text, kStamp}, {"../x", "x", kStamp}});
  OddsImportResult imported = ImportPredictedOdds(mixed, false);
  EXPECT_EQ(imported.kind, OddsImportResult::Kind::Kol);
  EXPECT_NE(imported.detail.find("../x"), std::string::npos) << imported.detail;
}

TEST_F(OddsImportTest, FailuresSayWhyInJapaneseAndLeaveNothingExtracted) {
  struct Case {
    const char* archive;
    std::vector<LzhMember> members;
    OddsImportResult::Kind kind;
    const char* detail;
  } cases[] = {
      {"OZnodate.lzh",
       {{"Oznodate.txt", "0511010101", kStamp}},
       OddsImportResult::Kind::BadDate,
       "日付（yymmdd）ではないため取り込めません: OZnodate.lzh"},
      {"kd3_jb080105.lzh",
       {{"kol_ods.kd3", KolLine("2008XX05", 10).text, kStamp}},
       OddsImportResult::Kind::BadDate,
       "日付（yyyymmdd）ではないため取り込めません"},
      {"kd3_jb080105.lzh",
       {{"other.txt", "x", kStamp}},
       OddsImportResult::Kind::NoSource,
       "予想オッズのファイル"},
  };
  for (const Case& c : cases) {
    fs::remove_all(folder_);
    fs::path archive = Archive(c.archive, c.members);
    OddsImportResult result = ImportPredictedOdds(archive, false);
    EXPECT_EQ(result.kind, c.kind) << c.archive;
    EXPECT_NE(result.detail.find(c.detail), std::string::npos) << result.detail;
    EXPECT_EQ(FolderNames(folder_), std::set<std::string>{c.archive}) << c.archive;
  }
}

TEST_F(OddsImportTest, ShortSourceLinesAreWrittenAtFullWidth) {
  fs::path archive = Archive(
      "kd3_jb080105.lzh", {{"kol_ods.kd3", KolLine("20080105", 10).text.substr(0, 170), kStamp}});
  ASSERT_EQ(ImportPredictedOdds(archive, false).kind, OddsImportResult::Kind::Kol);
  auto bytes = OddsFile("20080105");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), static_cast<size_t>(kOddsLength));
}

// Found by fuzzing: a name given twice was moved once, and the second move
// failed with the first file already in place.
TEST_F(OddsImportTest, RepeatedMemberNamesKeepTheLastAndConflictsMoveNothing) {
  fs::path archive = Archive(
      "kd3_jb080105.lzh",
      {{"a.txt", "first", kStamp}, {"sub\\b.txt", "b", kStamp}, {"a.txt", "second", kStamp}});
  LzhExtraction extraction = ExtractLzh(archive, folder_);
  ASSERT_TRUE(extraction.ok()) << extraction.error;
  EXPECT_EQ(extraction.files, (std::vector<std::string>{"a.txt", "sub/b.txt"}));
  EXPECT_EQ(ReadWholeFile(folder_ / "a.txt"), "second");

  // A folder where a member goes, or a file where its folder goes: the
  // archive fails as a whole and nothing is moved.
  struct Case {
    const char* blocker;
    bool blockerIsFolder;
    std::string member;
  };
  for (const Case& c : {Case{"c.txt", true, "c.txt"}, Case{"file", false, "file\\inner.txt"}}) {
    fs::remove_all(folder_);
    fs::path blocked = Archive("blocked.lzh", {{"new.txt", "n", kStamp}, {c.member, "x", kStamp}});
    if (c.blockerIsFolder)
      fs::create_directories(folder_ / c.blocker);
    else
      WriteArchive(c.blocker, "x");
    std::set<std::string> before = FolderNames(folder_);
    LzhExtraction failed = ExtractLzh(blocked, folder_);
    EXPECT_FALSE(failed.ok()) << c.member;
    EXPECT_FALSE(failed.error.empty()) << c.member;
    EXPECT_TRUE(failed.files.empty()) << c.member;
    EXPECT_EQ(FolderNames(folder_), before) << c.member;
  }
}

}  // namespace
}  // namespace sorvix
