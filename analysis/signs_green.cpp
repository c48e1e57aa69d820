// Green signs: names that share characters with the pedigree, the jockey,
// the trainer, another runner or the bracket colour.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "analysis/name_text.h"
#include "analysis/sign_race.h"
#include "codes/cp932.h"
#include "codes/full_width.h"

namespace sorvix {
namespace {

constexpr int kNameChars = 9;  // HorseNamePlain holds 18 bytes

// ToFullWidth of a jockey's or trainer's reading.  The same few people
// appear in race after race, so each thread keeps the readings it has
// converted (forgetting them all now and then to stay small).
struct ReadingHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

const std::string& FullWidthReading(std::string_view reading) {
  // Looked up by view: a reading found needs no copy.
  thread_local std::unordered_map<std::string, std::string, ReadingHash, std::equal_to<>> converted;
  auto found = converted.find(reading);
  if (found != converted.end()) return found->second;
  if (converted.size() >= 4096) converted.clear();
  return converted.emplace(std::string(reading), ToFullWidth(reading)).first->second;
}

// The byte pairs a text holds at any offset, hashed into 256 bits: a piece
// with a pair the text lacks cannot be in it, which spares most searches.
class BytePairs {
 public:
  explicit BytePairs(std::string_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
      const unsigned h = Hash(text[i], text[i + 1]);
      bits_[h >> 6] |= uint64_t{1} << (h & 63);
    }
  }
  // False only when `piece` cannot be in the text.
  bool MayHold(std::string_view piece) const {
    for (size_t i = 0; i + 1 < piece.size(); ++i) {
      const unsigned h = Hash(piece[i], piece[i + 1]);
      if (!((bits_[h >> 6] >> (h & 63)) & 1)) return false;
    }
    return true;
  }

 private:
  static unsigned Hash(char a, char b) {
    return (static_cast<unsigned char>(a) * 31u + static_cast<unsigned char>(b)) & 255u;
  }
  uint64_t bits_[4] = {};
};

// Green1: two characters of the name that both the sire's and the dam's
// names contain; a later window overwrites an earlier one.
void CalcGreen1(SignRace& race) {
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    const BytePairs sire(s.SireNamePlain[k]), dam(s.DamNamePlain[k]);
    for (int i = 1; i <= kNameChars - 1; ++i) {
      std::string_view w = CleanWindow(s.HorseNamePlain[k], i, 2);
      if (!w.empty() && sire.MayHold(w) && dam.MayHold(w) && Contains(s.SireNamePlain[k], w) &&
          Contains(s.DamNamePlain[k], w)) {
        race.Mark(Sign::Green1, k, w);
      }
    }
  }
}

// Green2: (a) two or more of the jockey's four name characters appear in
// the trainer's name: 漢 and the count; (b) three consecutive characters of
// the jockey's reading appear in the trainer's reading: 読み, replacing (a).
void CalcGreen2(SignRace& race) {
  static const std::string kKanji = "漢"_sj;
  static const std::string kReading = "読み"_sj;
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    int shared = 0;
    for (int i = 1; i <= 4; ++i) {
      std::string_view c = CleanWindow(s.JockeyName[k], i, 1);
      if (!c.empty() && Contains(s.TrainerName[k], c)) ++shared;
    }
    if (shared >= 2) race.Mark(Sign::Green2, k, kKanji + std::to_string(shared));

    const std::string kj = FullWidthReading(s.JockeyKana[k]);  // a copy: the next call may clear
    const std::string& kt = FullWidthReading(s.TrainerKana[k]);
    const BytePairs trainer(kt);
    const int chars = static_cast<int>(kj.size() / 2);
    for (int i = 1; i <= chars; ++i) {
      std::string_view w = CleanWindow(kj, i, 3);
      if (!w.empty() && trainer.MayHold(w) && Contains(kt, w)) {
        race.Mark(Sign::Green2, k, kReading);
        break;
      }
    }
  }
}

// Green3: three characters that the name shares with the name of another
// horse on the ring; both rows get them, a later pair overwriting.
void CalcGreen3(SignRace& race) {
  const RaceSheet& s = race.sheet();
  constexpr int kWindows = kNameChars - 2;
  std::string_view windows[kRingRows][kWindows + 1];
  // Each window of three characters (six bytes) also as one number, so that
  // the pairs compare as numbers; 0 stands for no window.
  uint64_t keys[kRingRows][kWindows + 1] = {};
  for (int k = 0; k < kRingRows; ++k) {
    for (int i = 1; i <= kWindows; ++i) {
      windows[k][i] = CleanWindow(s.HorseNamePlain[k], i, 3);
      uint64_t key = 0;
      for (char c : windows[k][i]) key = (key << 8) | static_cast<unsigned char>(c);
      keys[k][i] = windows[k][i].empty() ? 0 : key | (uint64_t{1} << 63);
    }
  }
  bool sameHorse[kRingRows][kRingRows];
  for (int k = 0; k < kRingRows; ++k)
    for (int m = 0; m < kRingRows; ++m) sameHorse[k][m] = s.HorseNo[k] == s.HorseNo[m];
  // The rows among 1..17 (the rows a window is compared with) that hold each
  // window, sorted by window: a window that no row of another horse holds
  // is passed over without comparing it with every window of the ring.
  std::pair<uint64_t, uint32_t> rowsOf[kRingRows * kWindows];
  int kinds = 0;
  for (int m = 1; m <= kRingRows - 1; ++m)
    for (int j = 1; j <= kWindows; ++j)
      if (keys[m][j] != 0) rowsOf[kinds++] = {keys[m][j], uint32_t{1} << m};
  std::sort(rowsOf, rowsOf + kinds);
  int merged = 0;
  for (int x = 0; x < kinds; ++x) {
    if (merged > 0 && rowsOf[merged - 1].first == rowsOf[x].first)
      rowsOf[merged - 1].second |= rowsOf[x].second;
    else
      rowsOf[merged++] = rowsOf[x];
  }
  auto rowsHolding = [&](uint64_t key) -> uint32_t {
    auto at = std::lower_bound(rowsOf, rowsOf + merged, std::pair<uint64_t, uint32_t>{key, 0});
    return at != rowsOf + merged && at->first == key ? at->second : 0;
  };
  for (int k = 0; k <= kRingRows - 2; ++k) {
    uint32_t otherHorses = 0;
    for (int m = 1; m <= kRingRows - 1; ++m)
      if (!sameHorse[k][m]) otherHorses |= uint32_t{1} << m;
    for (int i = 1; i <= kWindows; ++i) {
      std::string_view w = windows[k][i];
      if (w.empty() || (rowsHolding(keys[k][i]) & otherHorses) == 0) continue;
      for (int m = 1; m <= kRingRows - 1; ++m) {
        if (sameHorse[k][m]) continue;
        for (int j = 1; j <= kWindows; ++j) {
          if (keys[m][j] == keys[k][i]) {
            race.Mark(Sign::Green3, k, w);
            race.Mark(Sign::Green3, m, w);
          }
        }
      }
    }
  }
}

// Green4 / Green5: the name starts with the first kana of the jockey's or
// the trainer's reading.
void CalcInitialSign(SignRace& race, Sign sign, const FixedText<30>* kana) {
  // ToFullWidth of each single byte, made once.
  static const std::array<std::string, 256> kFullWidthByte = [] {
    std::array<std::string, 256> table;
    for (int c = 0; c < 256; ++c)
      table[static_cast<size_t>(c)] = ToFullWidth(std::string(1, static_cast<char>(c)));
    return table;
  }();
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    std::string_view reading = kana[k];
    std::string_view initial = reading.empty()
                                   ? std::string_view()
                                   : kFullWidthByte[static_cast<unsigned char>(reading[0])];
    std::string_view first = CharAt(s.HorseNamePlain[k], 1);
    if (!initial.empty() && initial == first) race.Mark(sign, k, first);
  }
}

// Green6: the name holds the colour word of its own bracket.
void CalcGreen6(SignRace& race) {
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    race.Mark(Sign::Green6, k, BracketColourWordIn(s.HorseName[k], ReadInt(s.BracketNo[k])));
  }
}

}  // namespace

void CalcGreenSigns(SignRace& race) {
  CalcGreen1(race);
  CalcGreen2(race);
  CalcGreen3(race);
  CalcInitialSign(race, Sign::Green4, race.sheet().JockeyKana);
  CalcInitialSign(race, Sign::Green5, race.sheet().TrainerKana);
  CalcGreen6(race);
}

}  // namespace sorvix
