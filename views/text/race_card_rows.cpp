#include "views/text/race_card_rows.h"

#include "analysis/column_texts.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "views/text/race_selection.h"

namespace sorvix {
namespace {

// A record's name field without its leading blanks and its trailing half-
// and full-width blanks.
std::string Trimmed(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  return Utf8(Cp932View::FromBytes(TrimBlanksRight(field)));
}

// A rank or place: its number when it is 1 or more, else empty.
RankedText Ranked(int rank) {
  return {rank >= 1 ? std::to_string(rank) : std::string(), rank};
}

}  // namespace

std::string PastRunText::Joined() const {
  if (date.empty()) return {};
  std::string line = date + " " + venueRace;
  if (!place.text.empty()) line += " " + place.text + "着";
  return line;
}

RaceCardRow RaceCardRowOf(const RaceDay& day, int slot, int h) {
  const SeImage& se = day.SeRec[slot][h];
  const RaceCalc& calc = day.Calc[slot];
  const int bracket = se.Int(se::kBracketNumber);
  RaceCardRow row;
  row.bracket = {std::to_string(bracket), bracket};
  row.horseNumber = std::to_string(se.Int(se::kHorseNumber));
  row.name = Trimmed(se.Field(se::kHorseNameHead));
  row.sexAge = Utf8(SexAgeText(se.Field(se::kSex), se.Field(se::kAge)));
  row.burden = Utf8(BurdenText(TrimRight(se.Field(se::kBurden))));
  row.jockey = Trimmed(se.Field(se::kJockeyName));
  row.trainer = Trimmed(se.Field(se::kTrainerName));
  row.awayIndex = std::to_string(calc.AwayIndex[h]);
  row.awayRank = Ranked(calc.AwayRank[h]);
  row.homeIndex = std::to_string(calc.HomeIndex[h]);
  row.homeRank = Ranked(calc.HomeRank[h]);
  row.indexSum = std::to_string(calc.AwayIndex[h] + calc.HomeIndex[h]);
  row.bracketAverage = std::to_string(calc.BracketAverage[h]);
  row.bracketRank = Ranked(calc.BracketRank[h]);
  row.estimateRank = Ranked(calc.SuiteiRank[h]);
  row.axisMark = AxisMarkText(calc.AxisMark[h]);
  row.partnerMark = PartnerMarkText(calc.PartnerMark[h]);
  row.place = Ranked(se.Int(se::kFinalPosition));
  return row;
}

PastRunText PastRunOf(const RaceDay& day, int slot, int h, int k) {
  const RaImage& ra = day.KakoRaRec[slot][h][k];
  PastRunText run;
  if (ra.Int(ra::kYear) <= 0) return run;
  run.date = std::string(ra.Field(ra::kYear)) + "." + std::string(ra.Field(ra::kMonth)) + "." +
             std::string(ra.Field(ra::kDay));
  run.venueRace = Utf8(VenueName(ra.Field(ra::kVenueCode)) +
                       Cp932View::FromBytes(PadNumber(ra.Field(ra::kRaceNumber)) + "R"));
  run.place = Ranked(day.KakoSeRec[slot][h][k].Int(se::kFinalPosition));
  return run;
}

}  // namespace sorvix
