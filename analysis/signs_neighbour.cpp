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
struct PairWindows {
  std::string w[kNameChars + 1];
  uint64_t key[kNameChars + 1] = {};
};

PairWindows PairWindowsOf(std::string_view name) {
  PairWindows p;
  for (int i = 1; i < kNameChars; ++i) p.w[i] = CleanWindow(name, i, 2);
  std::string wrap = std::string(CharAt(name, kNameChars)) + std::string(CharAt(name, 1));
  p.w[kNameChars] = CleanWindow(wrap, 1, 2);
  for (int i = 1; i <= kNameChars; ++i) {
    if (p.w[i].empty()) continue;
    uint64_t key = 0;
    for (char c : p.w[i]) key = (key << 8) | static_cast<unsigned char>(c);
    p.key[i] = key | (uint64_t{1} << 63) | (uint64_t{p.w[i].size()} << 48);
  }
  return p;
}

void CalcBlue1(SignRace& race) {
  const RaceSheet& s = race.sheet();
  PairWindows windows[kRingRows];
  for (int k = 0; k < kRingRows; ++k) windows[k] = PairWindowsOf(s.HorseNamePlain[k]);
  for (int k = 0; k < kRingRows; ++k) {
    int m = RingNeighbour(race.runners(), k);
    if (m < 0) continue;
    for (int i = 1; i <= kNameChars; ++i) {
      const std::string& w = windows[k].w[i];
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
  for (int k = 0; k < kRingRows; ++k) {
    int m = RingNeighbour(race.runners(), k);
    if (m < 0) continue;
    for (int i = 1; i <= kNameChars; ++i) {
      std::string c = CleanWindow(s.HorseNamePlain[k], i, 1);
      if (!c.empty() && c == CleanWindow(s.HorseNamePlain[m], i, 1)) {
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
