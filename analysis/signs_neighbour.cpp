// Blue and yellow signs: names that agree with the name of the next horse
// on the ring.  Each row is compared with its neighbour only; a match marks
// both rows, the later comparison winning.
#include <cstdint>
#include <string>

#include "analysis/name_text.h"
#include "analysis/sign_race.h"

namespace sorvix {
namespace {

constexpr int kNameChars = 9;  // HorseNamePlain holds 18 bytes

// The nine two-character windows of a name, window 9 wrapping round from
// the last character to the first; each cleaned, empty unless it keeps two
// characters.
// Each window (four bytes) is also kept as one number so that windows
// compare as numbers; 0 stands for an empty window.
// The windows are views into the name and into `wrap`, so the windows of a
// name are filled in place and never copied.
struct PairWindows {
  std::string_view w[kNameChars + 1];
  uint64_t key[kNameChars + 1] = {};
  char wrap[4] = {};
};

void FillPairWindows(PairWindows& p, std::string_view name) {
  for (int i = 1; i < kNameChars; ++i) p.w[i] = CleanWindow(name, i, 2);
  // A character is at most two bytes.
  std::string_view last = CharAt(name, kNameChars).substr(0, 2);
  std::string_view first = CharAt(name, 1).substr(0, 2);
  last.copy(p.wrap, last.size());
  first.copy(p.wrap + last.size(), first.size());
  p.w[kNameChars] = CleanWindow(std::string_view(p.wrap, last.size() + first.size()), 1, 2);
  for (int i = 1; i <= kNameChars; ++i) {
    if (p.w[i].empty()) continue;
    uint64_t key = 0;
    for (char c : p.w[i]) key = (key << 8) | static_cast<unsigned char>(c);
    p.key[i] = key | (uint64_t{1} << 63) | (uint64_t{p.w[i].size()} << 48);
  }
}

void CalcBlue1(SignRace& race) {
  const RaceSheet& s = race.sheet();
  PairWindows windows[kRingRows];
  for (int k = 0; k < kRingRows; ++k) FillPairWindows(windows[k], s.HorseNamePlain[k]);
  for (int k = 0; k < kRingRows; ++k) {
    int m = RingNeighbour(race.runners(), k);
    if (m < 0) continue;
    for (int i = 1; i <= kNameChars; ++i) {
      std::string_view w = windows[k].w[i];
      if (w.empty()) continue;
      const uint64_t key = windows[k].key[i];
      for (int j = 1; j <= kNameChars; ++j) {
        if (windows[m].key[j] == key) {
          race.Mark(Sign::Blue1, k, w);
          race.Mark(Sign::Blue1, m, w);
        }
      }
    }
  }
}

void CalcYellow1(SignRace& race) {
  const RaceSheet& s = race.sheet();
  std::string_view chars[kRingRows][kNameChars + 1];
  for (int k = 0; k < kRingRows; ++k)
    for (int i = 1; i <= kNameChars; ++i) chars[k][i] = CleanWindow(s.HorseNamePlain[k], i, 1);
  for (int k = 0; k < kRingRows; ++k) {
    int m = RingNeighbour(race.runners(), k);
    if (m < 0) continue;
    for (int i = 1; i <= kNameChars; ++i) {
      std::string_view c = chars[k][i];
      if (!c.empty() && c == chars[m][i]) {
        race.Mark(Sign::Yellow1, k, c);
        race.Mark(Sign::Yellow1, m, c);
      }
    }
  }
}

}  // namespace

void CalcNeighbourSigns(SignRace& race) {
  CalcBlue1(race);
  CalcYellow1(race);
}

}  // namespace sorvix
