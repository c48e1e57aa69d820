#include "acquisition/acquisition_time.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

std::time_t LocalTimeOf(int y, int mo, int d, int h, int mi, int s) {
  std::tm t{};
  t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi,
  t.tm_sec = s;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(AcquisitionTime, FirstRunOpensWithSetupDataOneYearBack) {
  test::TempHome home;
  SettingsFile settings;
  std::time_t now = LocalTimeOf(2008, 1, 5, 9, 30, 15);
  AcquisitionDefaults first = ReadAcquisitionDefaults(settings, now);
  EXPECT_TRUE(first.setupData);
  EXPECT_EQ(FormatLastTime(first.from), "2007/01/05 09:30:15");
  EXPECT_EQ(FromTimeText(first.from), "20070105093015");

  settings.WriteString("JvDataGet", "LastTime", "2007/12/29 18:00:05");
  AcquisitionDefaults later = ReadAcquisitionDefaults(settings, now);
  EXPECT_FALSE(later.setupData);
  EXPECT_EQ(FromTimeText(later.from), "20071229180005");

  // A value that is not a time falls back to one year back.
  settings.WriteString("JvDataGet", "LastTime", "garbage");
  EXPECT_EQ(FormatLastTime(ReadAcquisitionDefaults(settings, now).from), "2007/01/05 09:30:15");
}

TEST(AcquisitionTime, TextsOfTheRun) {
  EXPECT_EQ(LastTimeFromTimestamp("20080106123456"), "2008/01/06 12:34:56");
  EXPECT_EQ(LastTimeFromTimestamp("00000000000000"), "");
  EXPECT_EQ(LastTimeFromTimestamp("              "), "");
  EXPECT_EQ(LastTimeFromTimestamp("2008010612"), "");

  std::tm from = *ParseLastTime("2008/01/05 09:05:00");
  EXPECT_EQ(Utf8Bytes(StartNotice(from)),
            "2008年01月05日09時05分00秒以降のデータ取込を開始します。データ作成が終了するまで本ソフ"
            "トを操作したり"
            "他のアプリケーションを操作することは極力避けてください。");
}

}  // namespace
}  // namespace sorvix
