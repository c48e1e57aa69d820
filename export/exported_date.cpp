#include "export/exported_date.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/ring_layout.h"
#include "analysis/sign_marks.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/payout_table.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

// A field as UTF-8 text without its trailing blanks (full-width ones too).
std::string Text(std::string_view field) {
  return Utf8(Cp932View::FromBytes(TrimBlanksRight(field)));
}

// A field's digits; blanks give an empty text.
std::string Code(std::string_view field) {
  return std::string(TrimRight(field));
}

std::optional<double> Positive(double value) {
  if (!std::isfinite(value) || value <= 0) return std::nullopt;
  return value;
}

void SetRunnerRecord(ExportedRunner& out, const SeImage& se) {
  out.bracket = se.Int(se::kBracketNumber);
  out.horseId = Code(se.Field(se::kPedigreeNumber));
  out.horseName = Text(se.Field(se::kHorseName));
  out.sexCode = Code(se.Field(se::kSex));
  out.age = se.Int(se::kAge);
  out.jockeyCode = Code(se.Field(se::kJockeyCode));
  out.jockeyName = Text(se.Field(se::kJockeyName));
  out.trainerCode = Code(se.Field(se::kTrainerCode));
  out.trainerName = Text(se.Field(se::kTrainerName));
  if (!se.IsBlank(se::kBurden)) out.burden = se.Int(se::kBurden) / 10.0;
  out.winOdds = Positive(se.Int(se::kWinOdds) / 10.0);
  if (int popularity = se.Int(se::kPopularity); popularity > 0) out.popularity = popularity;
}

void SetRunnerCalc(ExportedRunner& out, const RaceCalc& calc, int h) {
  out.awayIndex = calc.AwayIndex[h];
  out.homeIndex = calc.HomeIndex[h];
  out.bracketAverage = calc.BracketAverage[h];
  out.awayRank = calc.AwayRank[h];
  out.homeRank = calc.HomeRank[h];
  out.bracketRank = calc.BracketRank[h];
  out.estimate = std::isfinite(calc.Suitei[h]) ? calc.Suitei[h] : 0.0;
  out.estimateRank = calc.SuiteiRank[h];
  out.axisMark = calc.AxisMark[h];
  out.partnerMark = calc.PartnerMark[h];
}

// Each runner's signs from the ring rows, the first row that carries a
// sign giving its mark.
void SetSigns(std::vector<ExportedRunner>& runners, const RaceCalc& calc) {
  const int n = static_cast<int>(runners.size());
  std::vector<std::array<bool, kSignCount>> seen(runners.size());
  for (int k = 0; n > 0 && k < kRingRows; ++k) {
    int horse = RingHorse(n, k);
    if (horse < 1 || horse > n) continue;
    for (int s = 0; s < kSignCount; ++s) {
      std::string_view mark = MarkText(calc, SignAt(s), k);
      if (mark.empty() || seen[horse - 1][s]) continue;
      seen[horse - 1][s] = true;
      runners[horse - 1].signs.emplace_back(s, Text(mark));
    }
  }
  for (ExportedRunner& r : runners) std::sort(r.signs.begin(), r.signs.end());
}

template <size_t N>
void AddHorses(std::vector<ExportedPayout>& out, const char* type, const PayoutHorse (&items)[N]) {
  for (size_t e = 0; e < N; ++e) {
    if (items[e].HorseNo <= 0) continue;
    ExportedPayout p{type, static_cast<int>(e + 1), std::to_string(items[e].HorseNo)};
    p.numbers[0] = items[e].HorseNo;
    p.popularity = items[e].Popularity;
    p.payout = items[e].Payout;
    out.push_back(std::move(p));
  }
}

template <size_t N>
void AddCombinations(std::vector<ExportedPayout>& out, const char* type,
                     const PayoutCombination (&items)[N]) {
  for (size_t e = 0; e < N; ++e) {
    if (!HasResult(items[e].Combination.View())) continue;
    ExportedPayout p{type, static_cast<int>(e + 1), std::string(items[e].Combination.View())};
    std::string_view text = p.combination;
    for (int i = 0; i < 3 && !text.empty(); ++i) {
      size_t dash = text.find('-');
      p.numbers[i] = ReadInt(text.substr(0, dash));
      text = dash == std::string_view::npos ? std::string_view() : text.substr(dash + 1);
    }
    p.popularity = items[e].Popularity;
    p.payout = items[e].Payout;
    out.push_back(std::move(p));
  }
}

std::vector<ExportedPayout> PayoutsOf(const PayoutTable& pay) {
  std::vector<ExportedPayout> out;
  AddHorses(out, "win", pay.Win);
  AddHorses(out, "place", pay.Place);
  AddCombinations(out, "bracket_quinella", pay.BracketQuinella);
  AddCombinations(out, "quinella", pay.Quinella);
  AddCombinations(out, "wide", pay.QuinellaPlace);
  AddCombinations(out, "exacta", pay.Exacta);
  AddCombinations(out, "trio", pay.Trio);
  AddCombinations(out, "trifecta", pay.Trifecta);
  return out;
}

void SetRaceRecord(ExportedRace& race, const RaImage& ra) {
  race.raceKey = Code(ra.Field(ra::kRaceKey));
  race.venueCode = Code(ra.Field(ra::kVenueCode));
  race.meetingNumber = FieldInt(race.raceKey, race_key::kMeetingNumber);
  race.meetingDay = FieldInt(race.raceKey, race_key::kMeetingDay);
  race.raceNumber = ra.Int(ra::kRaceNumber);
  race.raceName = Text(ra.Field(ra::kRaceName));
  race.distance = ra.Int(ra::kDistance);
  race.trackCode = Code(ra.Field(ra::kTrackCode));
  race.classCode = Code(ra.Field(ra::kClassCode));
  race.gradeCode = Code(ra.Field(ra::kGradeCode));
  race.postTime =
      std::string(ra.Field(ra::kStartHour)) + ":" + std::string(ra.Field(ra::kStartMinute));
}

ExportedRace RaceOf(const RaceDay& day, int slot, const StoredFinish& finish) {
  ExportedRace race;
  SetRaceRecord(race, day.RaRec[slot]);
  race.listRow = slot;
  race.runners = day.Runners(slot);
  race.hasResults = RaceHasResults(day, slot, finish);
  const RaceCalc& calc = day.Calc[slot];
  for (int h = 0; h < race.runners; ++h) {
    ExportedRunner runner;
    runner.horseNumber = h + 1;
    SetRunnerRecord(runner, day.SeRec[slot][h]);
    if (finish.position[h] >= 1) runner.finalPosition = finish.position[h];
    runner.abnormalCode = finish.abnormal[h];
    if (day.YosoOzFound[slot])
      runner.predictedOdds = Positive(day.YosoOzRec[slot].Decimal(odds::kWinOdds[h]));
    SetRunnerCalc(runner, calc, h);
    race.runnerRows.push_back(std::move(runner));
  }
  SetSigns(race.runnerRows, calc);
  for (int k = 0; race.runners > 0 && k < kRingRows; ++k)
    race.ringRows.emplace_back(RingHorse(race.runners, k), calc.SignSum[k]);
  race.tickets = ProposedTickets(day, slot, finish);
  if (day.PayoutLoaded[slot]) race.payouts = PayoutsOf(day.Payouts[slot]);
  return race;
}

}  // namespace

ExportedDate ExportedDateOf(const RaceDay& day, const std::vector<StoredFinish>& finish) {
  ExportedDate date;
  date.date = IsoDateOfLabel(day.LoadedLabel());
  StoredFinish none;
  for (int r = 0; r < day.RaceListRows; ++r)
    date.races.push_back(RaceOf(day, r, static_cast<size_t>(r) < finish.size() ? finish[r] : none));
  return date;
}

}  // namespace sorvix
