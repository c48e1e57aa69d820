#include "results/hit_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "results/payout_table.h"
#include "store/race_day.h"
#include "support/hr_record_builder.h"
#include "support/race_day_builder.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

using test::HrRecordBuilder;

const std::string kTitle =
    "<br /><img src=\"./image/balist.gif\"><font color=\"black\">【Sorvix for JRA-VAN Data "
    "Lab.】</font>";

// Race slot 0 (中山 1R, 12 runners) with horse 5 the axis and horses 2, 9
// and 12 its partners.
class HitReportTest : public ::testing::Test {
 protected:
  HitReportTest() {
    test::RaceBuilder race(*day_, 0, 12, "06", 1);
    race.Ra(593, "ｼﾝｼｭﾝｽﾃｰｸｽ "_sj);
    day_->Calc[0].AxisMark[4] = 1;
    for (int h : {2, 5, 9, 12}) day_->Calc[0].PartnerMark[h - 1] = 1;
  }
  void Payouts(const HrRecordBuilder& hr) {
    day_->HrRec[0].Assign(hr.Record());
    day_->Payouts[0] = ParsePayoutTable(hr.Record());
    day_->PayoutLoaded[0] = true;
  }
  template <typename Line>
  std::vector<std::string> Utf8Lines(const std::vector<Line>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(Utf8Bytes(l));
    return out;
  }
  // The fragment file as the report's lines make it.
  static std::string Fragment(const std::vector<Cp932Text>& lines) {
    std::vector<std::string> bytes;
    for (const Cp932Text& line : lines) bytes.push_back(line.bytes());
    return JoinLines(bytes);
  }
  std::filesystem::path TkFile() { return home_.path() / "HPupload" / "TK20080105.txt"; }
  std::filesystem::path HitLog() { return home_.path() / "HPupload" / "Manbaken.txt"; }

  test::TempHome home_;
  std::unique_ptr<RaceDay> day_ = RaceDay::Create();
};

TEST_F(HitReportTest, ColoursAndThresholdsPerBetType) {
  HrRecordBuilder hr;
  hr.Trio(0, 2, 5, 9, 1230, 3)
      .Trio(1, 5, 9, 12, 12340, 40)  // a dead heat gives a second trio
      .Quinella(0, 5, 9, 2340, 8)
      .QuinellaPlace(0, 5, 9, 4000, 7)  // won both: reported under each label
      .QuinellaPlace(1, 3, 4, 9000, 7)  // not proposed
      .Exacta(0, 9, 5, 51000, 20);
  Payouts(hr);

  HitReport all = BuildHitReport(*day_, false);
  EXPECT_EQ(
      Utf8Lines(all.lines),
      (std::vector<std::string>{
          kTitle,
          "<img src=\"./image/lis2.gif\"><font color=\"blue\">中山 1R[３連複]: 2- 5- 9/配当    "
          "1230円　ｼﾝｼｭﾝｽﾃｰｸｽ  </font>",
          "<img src=\"./image/lis1.gif\"><font color=\"red\">中山 1R[３連複]: 5- 9-12/配当   "
          "12340円　ｼﾝｼｭﾝｽﾃｰｸｽ  </font>",
          "<img src=\"./image/lis2.gif\"><font color=\"blue\">中山 1R[馬連　]：　 5- 9/配当    "
          "2340円　ｼﾝｼｭﾝｽﾃｰｸｽ  </font>",
          "<img src=\"./image/lis2.gif\"><font color=\"blue\">中山 1R[ワイド]：　 5- 9/配当    "
          "4000円　ｼﾝｼｭﾝｽﾃｰｸｽ  </font>",
          "<img src=\"./image/lis1.gif\"><font color=\"red\">中山 1R[馬単　]：　 9- 5/配当   "
          "51000円　ｼﾝｼｭﾝｽﾃｰｸｽ  </font>",
      }));
  EXPECT_EQ(Utf8Bytes(all.log.back()), "200801050601R[馬単　]：　 9- 5/配当   51000円");
  EXPECT_EQ(all.log.front(), " Sorvix for JRA-VAN Data Lab.");

  HitReport big = BuildHitReport(*day_, true);
  ASSERT_EQ(big.hits, 3);
  EXPECT_NE(Utf8Bytes(big.lines[1]).find("12340円"), std::string::npos);
  EXPECT_NE(Utf8Bytes(big.lines[2]).find("[ワイド]"), std::string::npos);  // 4000 > 3000
  EXPECT_NE(Utf8Bytes(big.lines[3]).find("51000円"), std::string::npos);
}

TEST_F(HitReportTest, OneHitIsWrittenAndRunsAppendToTheLog) {
  Payouts(HrRecordBuilder().Quinella(0, 2, 5, 1500, 4));
  HitReport first = WriteHitReport(*day_, false);
  ASSERT_TRUE(first.written);
  EXPECT_EQ(first.fragmentPath, TkFile());
  EXPECT_EQ(ReadWholeFile(TkFile()), Fragment(first.lines));
  auto log = SplitLines(ReadWholeFile(HitLog()));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(Utf8Bytes(log[1]), "200801050601R[馬連　]：　 2- 5/配当    1500円");

  // Again: the fragment is overwritten, the hit logged a second time.
  WriteHitReport(*day_, false);
  EXPECT_EQ(ReadWholeFile(TkFile()), Fragment(first.lines));
  EXPECT_EQ(SplitLines(ReadWholeFile(HitLog())).size(), 3u);
}

TEST_F(HitReportTest, NoHitWritesNothing) {
  Payouts(HrRecordBuilder().Quinella(0, 2, 5, 1500, 4));
  EXPECT_FALSE(WriteHitReport(*day_, true).written);  // below 5000
  Payouts(HrRecordBuilder().Quinella(0, 1, 3, 1500, 4));
  EXPECT_FALSE(WriteHitReport(*day_, false).written);
  EXPECT_FALSE(std::filesystem::exists(home_.path() / "HPupload"));
}

}  // namespace
}  // namespace sorvix
