#include "store/horse_master_conversion.h"

#include <gtest/gtest.h>

#include <string>

#include "app/file_io.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

std::string OldRecord(std::string_view pedigree) {
  test::RecordBuilder b("UM", kOldUmLength);
  b.Set(12, pedigree).Set(204, "C");          // last byte of the copied head
  b.Set(205, "12345678").Set(213, "FATHER");  // pedigree entry 0
  b.Set(205 + 44 * 13, "87654321");           // entry 13; entry 1 stays blank
  b.Set(213 + 44 * 13, std::string(36, 'Z'));
  b.Set(821, "1").Set(854, "E");  // trainer block, first and last byte
  b.Set(855, "123456").Set(861, "BREEDER").Set(930, "R");
  b.Set(931, "PLACE").Set(1020, "O");
  b.Set(1021, "000000001").Set(1074, "9");
  b.Set(1075, "001").Set(1575, "L");
  return b.Build();
}

TEST(HorseMasterConversion, WidensTheNumberAndBreederFieldsBehindTwoBlanks) {
  std::string line = ConvertHorseMasterRecord(OldRecord("2019100002"));
  ASSERT_EQ(line.size(), 1607u);
  EXPECT_EQ(line.substr(11, 10), "2019100002");
  EXPECT_EQ(line[203], 'C');
  struct Field {
    int pos, width;
    std::string text;
  };
  const Field fields[] = {
      {205, 10, "  12345678"},
      {215, 6, "FATHER"},
      {205 + 46, 10, std::string(10, ' ')},  // a blank entry stays blank, ten wide
      {205 + 46 * 13, 10, "  87654321"},
      {215 + 46 * 13, 36, std::string(36, 'Z')},
      {849, 1, "1"},
      {882, 1, "E"},
      {883, 8, "  123456"},
      {891, 9, "  BREEDER"},
      {962, 1, "R"},
      {963, 5, "PLACE"},
      {1052, 1, "O"},
      {1053, 9, "000000001"},
      {1106, 1, "9"},
      {1107, 3, "001"},
      {1607, 1, "L"},
  };
  for (const Field& f : fields)
    EXPECT_EQ(line.substr(static_cast<size_t>(f.pos - 1), static_cast<size_t>(f.width)), f.text)
        << "position " << f.pos;
}

TEST(HorseMasterConversion, WritesOneLinePerWholeRecord) {
  test::TempHome home;
  auto source = home.path() / "old.jvUMA";
  auto target = home.path() / "new.jvUM2";
  // Two records and a cut third one, which is not read.
  WriteFileAtomic(source, OldRecord("2019100002") + OldRecord("2019100003") + "UM2019");
  ASSERT_TRUE(ConvertHorseMasterFile(source, target));
  std::string bytes = ReadWholeFile(target);
  ASSERT_EQ(bytes.size(), 2u * kUmLength);
  auto lines = SplitLines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(11, 10), "2019100003");
  EXPECT_EQ(bytes.substr(1607, 2), "\r\n");
}

TEST(HorseMasterConversion, WritesNothingWithoutAWholeSourceRecord) {
  test::TempHome home;
  auto target = home.path() / "new.jvUM2";
  EXPECT_FALSE(ConvertHorseMasterFile(home.path() / "missing.jvUMA", target));
  WriteFileAtomic(home.path() / "short.jvUMA", "UM2019");
  EXPECT_FALSE(ConvertHorseMasterFile(home.path() / "short.jvUMA", target));
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace sorvix
