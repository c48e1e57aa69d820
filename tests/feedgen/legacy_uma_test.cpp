#include <gtest/gtest.h>

#include <set>

#include "codes/cp932.h"
#include "shared_feed.h"
#include "tests/support/cp932_bytes.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen::test {
namespace {

TEST(LegacyUmaTest, OldLayoutHorseFilesStandForHorsesWithoutACurrentMaster) {
  std::set<std::string> runners, masters;
  for (const std::string& se : Feed().Find("SE", '7')) runners.insert(F(se, 31, 10));
  for (const FeedFile& f : Feed().files)
    for (const std::string& r : f.records)
      if (r.compare(0, 2, "UM") == 0) masters.insert(F(r, 12, 10));
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(Feed().home)) {
    if (!e.is_regular_file()) continue;
    ++files;
    fs::path rel = fs::relative(e.path(), Feed().home);
    std::string pedigree = e.path().stem().string();
    EXPECT_EQ(rel.generic_string(), "UMA/" + pedigree.substr(0, 4) + "/" + pedigree + ".jvUMA");
    std::string bytes = ReadWholeFile(e.path());
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kOldUmBytes)) << rel;
    EXPECT_EQ(bytes.substr(0, 2), "UM");
    EXPECT_EQ(F(bytes, 12, 10), pedigree);
    EXPECT_EQ(bytes.substr(kOldUmBytes - 2), "\r\n");
    EXPECT_TRUE(IsValidCp932(bytes));
    // Pedigree entries hold the older eight-digit numbers.
    for (int i = 0; i < 14; ++i)
      EXPECT_EQ(ReadNumber(Field(bytes, 205 + 44 * i, 8)) > 0, true) << rel << " entry " << i;
    EXPECT_TRUE(runners.count(pedigree)) << pedigree << " runs in the feed";
    EXPECT_FALSE(masters.count(pedigree)) << pedigree << " has no current master";
  }
  EXPECT_EQ(files, Feed().summary.legacyHorseFiles);
  EXPECT_GT(files, 10);
}

TEST(LegacyUmaTest, TheOldLayoutHoldsTheSameHorseAsTheCurrentOne) {
  // The older record is the current one with narrower pedigree numbers and
  // breeder fields: a conversion that widens them gets the current record
  // back, creation details apart.
  World world(3, Date{2024, 1, 6});
  HorseNeed need;
  need.birthYear = 2020;
  need.level = 2;
  need.on = Date{2024, 6, 15};
  const Horse& horse = world.horses[static_cast<size_t>(world.NewHorse(need))];
  std::string current = UmRecord(horse, world, '4', need.on);
  std::string old = OldUmRecord(horse, world, need.on);
  std::string widened = old.substr(0, 204);
  for (int i = 0; i < 14; ++i) widened += "00" + old.substr(static_cast<size_t>(204 + 44 * i), 44);
  widened += old.substr(820, 34) + "00" + old.substr(854, 6) + "  " + old.substr(860, 70);
  widened += old.substr(930, 645) + "\r\n";
  ASSERT_EQ(widened.size(), static_cast<size_t>(kUmBytes));
  EXPECT_EQ(widened.substr(0, 890), current.substr(0, 890));
  auto name = [](std::string_view field) {
    std::string utf8 = Utf8Bytes(TrimRight(field));
    while (utf8.size() >= 3 && utf8.substr(utf8.size() - 3) == "　") utf8.resize(utf8.size() - 3);
    return utf8.substr(utf8.find_first_not_of(' '));
  };
  EXPECT_EQ(name(Field(widened, 891, 72)), name(Field(current, 891, 72)));
  EXPECT_EQ(widened.substr(962), current.substr(962));
}

}  // namespace
}  // namespace sorvix::feedgen::test
