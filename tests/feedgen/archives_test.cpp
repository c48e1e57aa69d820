#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <clocale>
#include <map>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "shared_feed.h"
#include "tools/feedgen/lzh_writer.h"

namespace sorvix::feedgen::test {
namespace {

struct Member {
  std::string name;  // UTF-8, as libarchive gives it
  std::string data;
};

// The members of an LZH archive read the way the predicted-odds import
// reads them; an error fails the test.
std::vector<Member> ReadLzh(const std::string& bytes) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::vector<Member> out;
  archive* a = archive_read_new();
  archive_read_support_format_lha(a);
  EXPECT_EQ(archive_read_set_options(a, "lha:hdrcharset=CP932"), ARCHIVE_OK);
  EXPECT_EQ(archive_read_open_memory(a, bytes.data(), bytes.size()), ARCHIVE_OK);
  archive_entry* entry = nullptr;
  int r;
  while ((r = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
    Member m;
    m.name = archive_entry_pathname(entry);
    char buffer[8192];
    la_ssize_t n;
    while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0)
      m.data.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(n, 0) << archive_error_string(a);
    EXPECT_EQ(archive_format(a), ARCHIVE_FORMAT_LHA);
    out.push_back(m);
  }
  EXPECT_EQ(r, ARCHIVE_EOF) << archive_error_string(a);
  archive_read_free(a);
  return out;
}

TEST(LzhWriterTest, Crc16IsTheLhaChecksum) {
  EXPECT_EQ(LhaCrc16("123456789"), 0xBB3D);
  EXPECT_EQ(LhaCrc16(""), 0);
}

TEST(LzhWriterTest, LibarchiveReadsTheMembersWithTheirCp932Names) {
  std::string text = "予想オッズ\r\n"_sj + std::string(3000, 'x');
  std::string bytes =
      LzhArchive({{"予想.txt"_sj, text, Date{2024, 6, 16}}, {"empty.dat", "", Date{2024, 6, 16}}});
  std::vector<Member> members = ReadLzh(bytes);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].name, "予想.txt");
  EXPECT_EQ(members[0].data, text);
  EXPECT_EQ(members[1].name, "empty.dat");
  EXPECT_EQ(members[1].data, "");
}

TEST(LzhWriterTest, ADamagedArchiveIsRejected) {
  std::string bytes = LzhArchive({{"kol_ods.kd3", std::string(500, '1'), Date{2024, 6, 15}}});
  bytes[24 + 11 + 10] ^= 0x5A;  // inside the member data: the CRC no longer matches
  std::setlocale(LC_CTYPE, "C.UTF-8");
  archive* a = archive_read_new();
  archive_read_support_format_lha(a);
  archive_read_open_memory(a, bytes.data(), bytes.size());
  archive_entry* entry = nullptr;
  ASSERT_EQ(archive_read_next_header(a, &entry), ARCHIVE_OK);
  char buffer[1024];
  la_ssize_t n, last = 0;
  while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0) last = n;
  EXPECT_LT(n, 0) << "read " << last;
  archive_read_free(a);
  EXPECT_THROW(LzhArchive({{"", "x", Date{2024, 1, 1}}}), std::invalid_argument);
}

TEST(OddsArchivesTest, ShowcaseDaysHaveJrdbAndKolArchivesMatchingTheirRaces) {
  std::map<std::string, std::string> cards;  // race key → RA kind 2
  for (const std::string& ra : Feed().Find("RA", '2')) cards[F(ra, 12, 16)] = ra;
  for (const Date& day : Feed().summary.showcaseDays) {
    std::string yymmdd = day.Yymmdd();
    int races = 0;
    for (const auto& [key, ra] : cards) races += key.substr(0, 8) == day.Ymd();

    std::vector<Member> jrdb =
        ReadLzh(ReadWholeFile(Feed().root / "odds" / ("OZ" + yymmdd + ".lzh")));
    ASSERT_EQ(jrdb.size(), 1u);
    EXPECT_EQ(jrdb[0].name, "Oz" + yymmdd + ".txt");
    std::vector<std::string> lines = Records(jrdb[0].data);
    EXPECT_EQ(static_cast<int>(lines.size()), races);
    for (const std::string& line : lines) {
      ASSERT_EQ(line.size(), 957u);
      std::string key =
          day.Ymd() + F(line, 1, 2) + "0" + F(line, 5, 1) + "0" + F(line, 6, 1) + F(line, 7, 2);
      ASSERT_TRUE(cards.count(key)) << key;
      int n = N(cards[key], 882, 2);
      EXPECT_EQ(N(line, 9, 2), n);
      EXPECT_GE(ReadDecimal(Field(line, 11, 5)), 1.1);
      if (n < 18) {
        EXPECT_TRUE(IsBlank(Field(line, 11 + 5 * n, 5)));
      }
    }

    bool sunday = day.Weekday() == 0;
    std::string kolName = sunday ? "j" + yymmdd + ".lzh" : "kd3_jb" + yymmdd + ".lzh";
    std::vector<Member> kol = ReadLzh(ReadWholeFile(Feed().root / "odds" / kolName));
    ASSERT_FALSE(kol.empty());
    EXPECT_EQ(kol[0].name, sunday ? "kol_ods.kd2" : "kol_ods.kd3");
    lines = Records(kol[0].data);
    EXPECT_EQ(static_cast<int>(lines.size()), races);
    for (const std::string& line : lines) {
      ASSERT_EQ(line.size(), 1504u);
      EXPECT_TRUE(IsValidCp932(line));
      // The venue as an index of the system's own order, not a JV-Data code.
      std::string code;
      for (int c = 1; c <= 10; ++c)
        if (VenueName(Format("%02d", c)) == VenueByIndex(F(line, 1, 2))) code = Format("%02d", c);
      std::string key = F(line, 13, 8) + code + F(line, 7, 6);
      ASSERT_TRUE(cards.count(key)) << key << " (venue index " << F(line, 1, 2) << ")";
      int n = N(cards[key], 882, 2);
      EXPECT_EQ(N(line, 110, 2), n);
      std::string win = F(line, 162, 5);
      EXPECT_TRUE(N(win, 1, 5) >= 11 || TrimRight(win).ends_with("*")) << win;
      if (n < 18) {
        EXPECT_EQ(F(line, 162 + 5 * n, 5), "    -");
      }
    }
  }
}

}  // namespace
}  // namespace sorvix::feedgen::test
