// Orange signs: the runner's own symbol and the shape of its name.
#include <initializer_list>
#include <string>

#include "analysis/name_text.h"
#include "analysis/sign_race.h"
#include "codes/code_tables.h"

namespace sorvix {
namespace {

bool IsOneOf(std::string_view code, std::initializer_list<std::string_view> codes) {
  for (std::string_view c : codes) {
    if (code == c) return true;
  }
  return false;
}

// The text without full-width spaces and then without its outer blanks.
std::string WithoutSpaces(std::string_view text) {
  std::string s = StripWideSpaces(text);
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

}  // namespace

void CalcOrangeSigns(SignRace& race) {
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    std::string_view symbol = s.HorseSymbol[k];
    if (IsOneOf(symbol, {"21", "22", "23", "24", "25"})) race.Mark(Sign::Orange1, k, symbol);
  }
  for (int k = 0; k < kRingRows; ++k) {
    std::string_view symbol = s.HorseSymbol[k];
    if (IsOneOf(symbol, {"26", "27"})) race.Mark(Sign::Orange2, k, symbol);
  }
  for (int k = 0; k < kRingRows; ++k) {
    std::string_view name = s.HorseName[k];
    std::string_view tenth = name.size() > 18 ? name.substr(18, 2) : std::string_view();
    if (!WithoutSpaces(tenth).empty()) race.Mark(Sign::Orange3, k, "10");
  }
  size_t lengths[kRingRows];
  for (int k = 0; k < kRingRows; ++k) {
    size_t length = lengths[k] = WithoutSpaces(s.HorseName[k]).size();
    if (length >= 4 && length <= 8) race.Mark(Sign::Orange4, k, std::to_string(length / 2));
  }
  for (int k = 0; k < kRingRows; ++k) {
    // A row without a name shows no horse (the later rows of a field of
    // fewer than four): nothing to be free of voiced marks.
    if (lengths[k] == 0) continue;
    if (HasNoVoicedMark(s.HorseName[k])) race.Mark(Sign::Orange5, k, "0");
  }
  for (int k = 0; k < kRingRows; ++k) {
    int count = CountLongVowels(s.HorseName[k]);
    if (count >= 3) race.Mark(Sign::Orange6, k, std::to_string(count).substr(0, 1));
  }
  for (int k = 0; k < kRingRows; ++k) {
    race.Mark(Sign::Orange7, k, ColourWordIn(s.HorseName[k]));
  }
}

}  // namespace sorvix
