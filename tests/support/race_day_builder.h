// Builds races of a RaceDay in memory for the analysis tests: the RA record
// of a race slot and the SE, UM, KS and CH records of its runners, written
// field by field into the day's record images.  Names are given in UTF-8
// and stored as CP932, padded with full-width spaces as JV-Data pads them;
// kana readings are half-width as in the KS and CH records.
//
//   auto day = RaceDay::Create();
//   RaceBuilder race(*day, 0, 16);
//   race.Horse(15).Symbol("07").Name("ガーネット");
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "codes/cp932.h"
#include "codes/text.h"
#include "store/race_day.h"

namespace sorvix::test {

// `utf8` as CP932, padded to `width` bytes with full-width spaces (and one
// blank when the width is odd).
inline std::string WidePadded(std::string_view utf8, int width) {
  std::string s = Cp932(utf8).bytes();
  const std::string space = "　"_sj;
  while (static_cast<int>(s.size()) + 2 <= width) s += space;
  while (static_cast<int>(s.size()) < width) s += ' ';
  return s.substr(0, static_cast<size_t>(width));
}

// `utf8` as CP932, padded to `width` bytes with blanks.
inline std::string BlankPadded(std::string_view utf8, int width) {
  std::string s = Cp932(utf8).bytes();
  s.resize(static_cast<size_t>(width), ' ');
  return s;
}

class HorseBuilder {
 public:
  HorseBuilder(RaceDay& day, int slot, int horse) : day_(day), slot_(slot), h_(horse - 1) {}

  HorseBuilder& Name(std::string_view utf8) { return Se(41, WidePadded(utf8, 36)); }
  HorseBuilder& Bracket(int bracket) { return Se(28, std::to_string(bracket)); }
  HorseBuilder& Symbol(std::string_view code) { return Se(77, code); }
  HorseBuilder& Sex(std::string_view code) { return Se(79, code); }
  HorseBuilder& Age(int age) { return Se(83, Format("%02d", age)); }
  HorseBuilder& Burden(std::string_view tenthsKg) { return Se(289, tenthsKg); }
  HorseBuilder& Apprentice(std::string_view code) { return Se(323, code); }
  HorseBuilder& Jockey(std::string_view code, std::string_view utf8Name = "") {
    Se(297, code);
    day_.KsRec[slot_][h_].Put(12, code);
    return Se(307, WidePadded(utf8Name, 8));
  }
  HorseBuilder& Trainer(std::string_view code, std::string_view utf8Name = "") {
    Se(86, code);
    day_.ChRec[slot_][h_].Put(12, code);
    return Se(91, WidePadded(utf8Name, 8));
  }
  HorseBuilder& JockeyName(std::string_view utf8) { return Se(307, WidePadded(utf8, 8)); }
  HorseBuilder& JockeySex(std::string_view code) { return Ks(228, code); }
  HorseBuilder& JockeyKana(std::string_view utf8) { return Ks(110, BlankPadded(utf8, 30)); }
  HorseBuilder& TrainerKana(std::string_view utf8) {
    day_.ChRec[slot_][h_].Put(76, BlankPadded(utf8, 30));
    return *this;
  }
  HorseBuilder& Sire(std::string_view utf8) { return Um(215, WidePadded(utf8, 36)); }
  HorseBuilder& Dam(std::string_view utf8) { return Um(261, WidePadded(utf8, 36)); }
  HorseBuilder& SireSire(std::string_view utf8) { return Um(307, WidePadded(utf8, 36)); }
  HorseBuilder& FinishPos(int pos) { return Se(335, Format("%02d", pos)); }
  HorseBuilder& Popularity(int rank) { return Se(364, Format("%02d", rank)); }

  // Any field, by 1-based position.
  HorseBuilder& Se(int pos, std::string_view text) {
    day_.SeRec[slot_][h_].Put(pos, text);
    return *this;
  }
  HorseBuilder& Um(int pos, std::string_view text) {
    day_.UmRec[slot_][h_].Put(pos, text);
    return *this;
  }
  HorseBuilder& Ks(int pos, std::string_view text) {
    day_.KsRec[slot_][h_].Put(pos, text);
    return *this;
  }

 private:
  RaceDay& day_;
  int slot_;
  int h_;
};

// One race in slot `slot` with `runners` runners (horse numbers 1..n,
// brackets spread over 1..8, no names).  The day's RaceCount, race-list rows
// and DayVenues grow to include it.
class RaceBuilder {
 public:
  RaceBuilder(RaceDay& day, int slot, int runners, std::string_view venue = "06", int raceNo = 0)
      : day_(day), slot_(slot) {
    if (raceNo == 0) raceNo = slot + 1;
    RaImage& ra = day_.RaRec[slot_];
    ra.Clear();
    ra.Put(1, "RA");
    ra.Put(12, "20080105");
    ra.Put(20, venue);
    ra.Put(22, "0101");
    ra.Put(26, Format("%02d", raceNo));
    ra.Put(706, "17");
    ra.Put(874, "1003");
    ra.Put(882, Format("%02d", runners));
    for (int h = 1; h <= runners && h <= kHorseSlots; ++h) {
      SeImage& se = day_.SeRec[slot_][h - 1];
      se.Clear();
      se.Put(1, "SE");
      se.Put(12, ra.Field(12, 16));
      se.Put(29, Format("%02d", h));
      se.Put(28, std::to_string(Bracket(h, runners)));
      Horse(h).Name("").Symbol("00").Sex("1").Age(4).Burden("550").Apprentice("0").JockeySex("1");
    }
    day_.RaceCount = std::max(day_.RaceCount, slot + 1);
    day_.RaceListRows = std::max(day_.RaceListRows, slot + 1);
    day_.LoadedDate = "2008年01月05日"_sj;
    AddDayVenue(venue);
  }

  HorseBuilder Horse(int horse) { return HorseBuilder(day_, slot_, horse); }

  RaceBuilder& Ra(int pos, std::string_view text) {
    day_.RaRec[slot_].Put(pos, text);
    return *this;
  }
  RaceBuilder& StartTime(std::string_view hhmm) { return Ra(874, hhmm); }
  RaceBuilder& Track(std::string_view code) { return Ra(706, code); }

 private:
  // A bracket 1..8 for each horse number, the runners spread evenly.
  static int Bracket(int horse, int runners) {
    return runners <= 8 ? horse : (horse - 1) * 8 / runners + 1;
  }

  void AddDayVenue(std::string_view venue) {
    for (auto& v : day_.DayVenues) {
      if (v == venue) return;
    }
    for (auto& v : day_.DayVenues) {
      if (v.empty()) {
        v = venue;
        break;
      }
    }
    std::sort(std::begin(day_.DayVenues), std::end(day_.DayVenues),
              [](const FixedText<2>& a, const FixedText<2>& b) {
                if (a.empty() != b.empty()) return b.empty();
                return a.View() < b.View();
              });
  }

  RaceDay& day_;
  int slot_;
};

}  // namespace sorvix::test
