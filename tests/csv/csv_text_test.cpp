// The CSV text the window and the command line write.
#include <gtest/gtest.h>

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
