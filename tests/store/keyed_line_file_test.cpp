#include "store/keyed_line_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codes/text.h"

namespace sorvix {
namespace {

TEST(CompareLinesIgnoringCase, OrdersWholeLines) {
  struct Case {
    std::string a, b;
    int sign;
  } cases[] = {
      {"abc", "ABC", 0},
      {"abc", "ABD", -1},
      {"Abd", "abc", 1},
      {"ab", "abc", -1},
      {"", " ", -1},
      {" 0950", "1005", -1},
      {"\x83\x41", "\x83\x61", -1},  // second bytes of a character are not folded
      {"\x83\x61", "\x83\x41", 1},
  };
  for (const auto& c : cases) {
    int r = CompareLinesIgnoringCase(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
}

// The rule as stated: replace the first line with an equal key (else
// append), sort the whole list stably, optionally drop a blank first line.
void ReferenceUpsert(std::vector<std::string>& lines, const std::string& line, LineKey key,
                     bool dropBlank) {
  auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return Field(l, key.pos, key.width) == Field(line, key.pos, key.width);
  });
  if (it != lines.end()) {
    *it = line;
  } else {
    lines.push_back(line);
  }
  std::stable_sort(lines.begin(), lines.end(), LineLess);
  if (dropBlank && !lines.empty() && IsBlank(lines.front())) lines.erase(lines.begin());
}

// Lines drawn from a tiny alphabet so that equal keys, lines equal but for
// letter case, and blank lines are all frequent.
std::string RandomLine(std::mt19937& rng) {
  static const char* heads[] = {"a", "A", "b", "B"};
  static const char* keys[] = {"1a", "1A", "2b", "2B", "3c"};
  static const char* tails[] = {"x", "X", "y", ""};
  if (rng() % 13 == 0) return rng() % 2 ? "" : "      ";
  return std::string(heads[rng() % 4]) + heads[rng() % 4] + keys[rng() % 5] + tails[rng() % 4];
}

TEST(KeyedLines, GivesTheBytesOfTheRuleAppliedRecordByRecord) {
  const LineKey key{3, 2};
  std::mt19937 rng(20080105);
  for (int round = 0; round < 2000; ++round) {
    // A file as found on disk: any order, repeated keys, blank lines.
    std::vector<std::string> initial;
    int size = static_cast<int>(rng() % 7);
    for (int i = 0; i < size; ++i) initial.push_back(RandomLine(rng));
    bool dropBlank = rng() % 2;

    std::vector<std::string> reference = initial;
    KeyedLines lines(initial);
    int ops = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < ops; ++i) {
      std::string line = RandomLine(rng);
      ReferenceUpsert(reference, line, key, dropBlank);
      lines.Upsert(line, key);
      if (dropBlank) lines.DropBlankFirstLine();
      ASSERT_EQ(lines.lines(), reference) << "round " << round << " op " << i;
    }
    size_t bytes = 0;
    for (const auto& l : reference) bytes += l.size() + 2;
    EXPECT_EQ(lines.bytes(), bytes);
  }
}

}  // namespace
}  // namespace sorvix
