// Red signs: attributes that one runner alone has in its field, and the
// jockey's or trainer's only start of the day.
#include <string>

#include "analysis/name_text.h"
#include "analysis/sign_race.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"

namespace sorvix {
namespace {

// The horse symbol codes of Red1, in the order they are tried.
constexpr const char* kRed1Symbols[] = {"00", "01", "02", "03", "04", "05", "06", "07",
                                        "08", "09", "10", "11", "12", "15", "16", "17",
                                        "18", "19", "20", "26", "27", "31", "40", "41"};

bool HalfKiloBurden(std::string_view burden) {
  return burden.size() >= 3 && burden[2] == '5';
}

bool IsFlatRace(std::string_view trackCode) {
  return trackCode.empty() || trackCode[0] != '5';
}

}  // namespace

void CalcRedSigns(SignRace& race) {
  const RaceSheet& s = race.sheet();

  for (const char* code : kRed1Symbols) {
    race.MarkUnique(
        Sign::Red1, [&](int h) { return race.Se(h).Field(se::kHorseSymbol) == code; },
        [&](int k) { return s.HorseSymbol[k] == code; }, [&](int) { return std::string(code); });
  }

  race.MarkUnique(
      Sign::Red2, [&](int h) { return race.Se(h).Field(se::kSex) == "2"; },
      [&](int k) { return s.Sex[k] == "2"; }, [](int) { return std::string("2"); });

  race.MarkUnique(
      Sign::Red3, [&](int h) { return race.Se(h).Int(se::kAge) >= 6; },
      [&](int k) { return ReadInt(s.Age[k]) >= 6; }, [&](int k) { return s.Age[k].Str(); });

  race.MarkUnique(
      Sign::Red4,
      [&](int h) { return IsVoicedKatakana(CharAt(race.Se(h).Field(se::kHorseName), 1)); },
      [&](int k) { return IsVoicedKatakana(CharAt(s.HorseName[k], 1)); },
      [&](int k) { return std::string(CharAt(s.HorseName[k], 1)); });

  race.MarkUnique(
      Sign::Red5, [&](int h) { return HalfKiloBurden(race.Se(h).Field(se::kBurden)); },
      [&](int k) { return HalfKiloBurden(s.Burden[k]); }, [&](int k) { return s.Burden[k].Str(); });

  race.MarkUnique(
      Sign::Red6, [&](int h) { return race.Ks(h).Field(ks::kJockeySex) == "2"; },
      [&](int k) { return s.JockeySex[k] == "2"; },
      [&](int k) { return GenderText(s.JockeySex[k]).bytes(); });

  static const std::string kForeign = "外"_sj;
  race.MarkUnique(
      Sign::Red7,
      [&](int h) { return IsKatakanaLetter(CharAt(race.Se(h).Field(se::kJockeyName), 1)); },
      [&](int k) { return IsKatakanaLetter(CharAt(s.JockeyName[k], 1)); },
      [](int) { return kForeign; });

  static const std::string kApprentice3 = "▲"_sj;
  race.MarkUnique(
      Sign::Red8, [&](int h) { return race.Se(h).Field(se::kApprenticeCode) == "3"; },
      [&](int k) { return s.ApprenticeCode[k] == "3"; }, [](int) { return kApprentice3; });

  static const std::string kOnce = "1回"_sj;
  if (IsFlatRace(race.Ra().Field(ra::kTrackCode))) {
    for (int k = 0; k < kRingRows; ++k) {
      if (s.JockeyOnlyRide[k] == 1) race.Mark(Sign::Red9, k, kOnce);
    }
  }

  race.MarkUnique(
      Sign::Red10,
      [&](int h) { return IsSemiVoicedKatakana(CharAt(race.Se(h).Field(se::kHorseName), 1)); },
      [&](int k) { return IsSemiVoicedKatakana(CharAt(s.HorseName[k], 1)); },
      [&](int k) { return std::string(CharAt(s.HorseName[k], 1)); });

  for (int k = 0; k < kRingRows; ++k) {
    if (s.TrainerOnlyRunner[k] == 1) race.Mark(Sign::Red11, k, kOnce);
  }
}

}  // namespace sorvix
