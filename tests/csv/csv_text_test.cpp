// The CSV text the window and the command line write.
#include <gtest/gtest.h>

#include "codes/csv_cell.h"
#include "views/text/csv_tables.h"

namespace sorvix {
namespace {

TEST(CsvText, ByteOrderMarkQuotesWhereNeededAndCrLf) {
  std::string text = CsvText(
      {{"レース", "馬名"}, {"09:50 新潟 1R", "a,b"}, {"say \"hi\"", "two\nlines"}, {"", "x"}});
  EXPECT_EQ(text,
            "\xEF\xBB\xBF"
            "レース,馬名\r\n"
            "09:50 新潟 1R,\"a,b\"\r\n"
            "\"say \"\"hi\"\"\",\"two\nlines\"\r\n"
            ",x\r\n");
}

// Texts a spreadsheet would read as a date, time or number are written as
// a formula that gives the text; numbers and other texts stay as they are.
// (libreoffice_round_trip.py opens the real files in Calc.)
TEST(CsvText, TextsASpreadsheetWouldMisreadAreWrittenAsTextFormulas) {
  struct Case {
    const char* text;
    const char* written;
  } cases[] = {
      {"15", "15"},
      {"-3", "-3"},
      {"57.5", "57.5"},
      {"0", "0"},
      {"1-15", "\"=\"\"1-15\"\"\""},
      {"1- 3-17", "\"=\"\"1- 3-17\"\"\""},
      {"01", "\"=\"\"01\"\"\""},
      {"09:50", "\"=\"\"09:50\"\"\""},
      {"2024-06", "\"=\"\"2024-06\"\"\""},
      {"2022年08月", "\"=\"\"2022年08月\"\"\""},
      {"=SUM(A1)", "\"=\"\"=SUM(A1)\"\"\""},
      {"57.0kg", "57.0kg"},
      {"09:50 新潟 1R", "09:50 新潟 1R"},
      {"2024.04.28 中山 2R 5着", "2024.04.28 中山 2R 5着"},
      {"牡 3", "牡 3"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvCell(c.text), c.written) << c.text;
}

TEST(CsvText, TableNamesRoundTrip) {
  for (CsvTable table :
       {CsvTable::RaceCard, CsvTable::SignTable, CsvTable::Results, CsvTable::Combinations}) {
    CsvTable parsed = CsvTable::RaceCard;
    EXPECT_TRUE(ParseCsvTable(CsvTableName(table), parsed));
    EXPECT_EQ(parsed, table);
  }
  CsvTable parsed;
  EXPECT_FALSE(ParseCsvTable("出馬", parsed));
}

}  // namespace
}  // namespace sorvix
