#include "analysis/race_sheet_assignment.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/name_text.h"
#include "analysis/ring_layout.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "common/record_fields.h"
#include "store/load_progress.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

using HorseFlags = int32_t (RaceSheet::*)[kHorseSlots];

// Sets the per-horse flag of every runner of the day whose code (a jockey
// or trainer code of its SE record) occurs exactly once among the day's
// runners.  Empty, zero and non-numeric codes never mark.
void MarkSingleCodes(RaceDay& day, FieldAt<SeRecord> codeField, HorseFlags flags) {
  // Views into the day's SE records, which stay in place meanwhile.
  std::unordered_map<std::string_view, int> count;
  count.reserve(static_cast<size_t>(kRaceSlots * kHorseSlots));
  auto forEachCode = [&](auto&& visit) {
    for (int s = 0; s < day.RaceCount; ++s) {
      const int n = day.Runners(s);
      for (int h = 0; h < n; ++h) {
        std::string_view code = day.SeRec[s][h].Field(codeField);
        if (ReadInt(code) > 0) visit(s, h, code);
      }
    }
  };
  forEachCode([&](int, int, std::string_view code) { ++count[code]; });
  forEachCode([&](int s, int h, std::string_view code) {
    if (count.find(code)->second == 1) (day.Sheet[s].*flags)[h] = 1;
  });
}

void FillHeader(RaceSheet& sheet, const RaImage& rec) {
  sheet.Present = 1;
  sheet.RaceKey = rec.Field(ra::kRaceKey);
  sheet.RaceName = rec.Field(ra::kRaceName);
  sheet.GradeCode = rec.Field(ra::kGradeCode);
  sheet.RaceTypeCode = rec.Field(ra::kRaceTypeCode);
  sheet.RaceSymbolCode = rec.Field(ra::kRaceSymbolCode);
  sheet.WeightRuleCode = rec.Field(ra::kWeightRuleCode);
  sheet.ClassCode = rec.Field(ra::kClassCode);
  sheet.Distance = rec.Field(ra::kDistance);
  sheet.TrackCode = rec.Field(ra::kTrackCode);
  sheet.StartTime = rec.Field(ra::kStartTime);
  for (int i = 0; i < ra::kMainPrizes.count; ++i) sheet.Prize[i] = rec.Int(ra::kMainPrizes[i]);
  for (int i = 0; i < ra::kAddedPrizes.count; ++i)
    sheet.AddedPrize[i] = rec.Int(ra::kAddedPrizes[i]);
  sheet.RunnerCount = rec.Field(ra::kRunners);
}

// The records of the horse on one ring row.  Rows that name a horse number
// without a slot (outside 1..18) see space-filled records.
struct RowRecords {
  const SeImage& se;
  const UmImage& um;
  const KsImage& ks;
  const ChImage& ch;
  int32_t onlyRide;
  int32_t onlyRunner;
};

RowRecords RecordsOfHorse(const RaceDay& day, int slot, int horse) {
  static const SeImage kBlankSe;
  static const UmImage kBlankUm;
  static const KsImage kBlankKs;
  static const ChImage kBlankCh;
  if (horse < 1 || horse > kHorseSlots) return {kBlankSe, kBlankUm, kBlankKs, kBlankCh, 0, 0};
  const int h = horse - 1;
  const RaceSheet& sheet = day.Sheet[slot];
  return {day.SeRec[slot][h],
          day.UmRec[slot][h],
          day.KsRec[slot][h],
          day.ChRec[slot][h],
          sheet.JockeyOnlyRideByHorse[h],
          sheet.TrainerOnlyRunnerByHorse[h]};
}

// Fills ring row k.  The per-venue layout leaves the apprentice code and the
// two readings empty (`withReadings` false).
void FillRingRow(RaceSheet& sheet, int k, const RowRecords& r, bool withReadings) {
  sheet.HorseNo[k] = r.se.Field(se::kHorseNumber);
  sheet.BracketNo[k] = r.se.Field(se::kBracketNumber);
  sheet.PedigreeNo[k] = r.se.Field(se::kPedigreeNumber);
  sheet.HorseName[k] = r.se.Field(se::kHorseName);
  sheet.Sex[k] = r.se.Field(se::kSex);
  sheet.Age[k] = r.se.Field(se::kAge);
  sheet.Burden[k] = r.se.Field(se::kBurden);
  sheet.JockeyCode[k] = r.se.Field(se::kJockeyCode);
  sheet.JockeyName[k] = r.se.Field(se::kJockeyName);
  sheet.TrainerCode[k] = r.se.Field(se::kTrainerCode);
  sheet.TrainerName[k] = r.se.Field(se::kTrainerName);
  if (withReadings) {
    sheet.ApprenticeCode[k] = r.se.Field(se::kApprenticeCode);
    sheet.JockeyKana[k] = r.ks.Field(ks::kJockeyKana);
    sheet.TrainerKana[k] = r.ch.Field(ch::kTrainerKana);
  }
  sheet.SireName[k] = r.um.Field(um::kSireName);
  sheet.DamName[k] = r.um.Field(um::kDamName);
  sheet.SireSireName[k] = r.um.Field(um::kSireSireName);
  sheet.HorseNamePlain[k] = RemoveVoicedMarks(std::string_view(sheet.HorseName[k]).substr(0, 18));
  sheet.SireNamePlain[k] = RemoveVoicedMarks(sheet.SireName[k]);
  sheet.DamNamePlain[k] = RemoveVoicedMarks(sheet.DamName[k]);
  sheet.HorseSymbol[k] = r.se.Field(se::kHorseSymbol);
  sheet.BirthDate[k] = r.um.Field(um::kBirthDate);
  sheet.CoatCode[k] = r.se.Field(se::kCoatCode);
  sheet.OwnerName[k] = r.se.Field(se::kOwnerName);
  sheet.AffiliationCode[k] = r.se.Field(se::kAffiliationCode);
  sheet.InviteRegion[k] = r.um.Field(um::kInviteRegion);
  sheet.BirthPlace[k] = r.um.Field(um::kBirthPlace);
  sheet.BreederName[k] = r.um.Field(um::kBreederName);
  sheet.JockeySex[k] = r.ks.Field(ks::kJockeySex);
  sheet.JockeyOnlyRide[k] = r.onlyRide;
  sheet.TrainerOnlyRunner[k] = r.onlyRunner;
  sheet.FinishPos[k] = r.se.Field(se::kFinalPosition);
  sheet.Popularity[k] = r.se.Int(se::kPopularity);
}

// The progress line of one ring row: venue, race number, horse number and
// name ("中山 1R:③ダイワスカーレット").
Cp932Text ProgressLine(const RaImage& race, const SeImage& runner) {
  static const std::string kRace = "R:"_sj;
  return VenueName(race.Field(ra::kVenueCode)) +
         Cp932View::FromBytes(PadNumber(race.Field(ra::kRaceNumber)) + kRace) +
         CircledNumber(runner.Int(se::kHorseNumber)) +
         Cp932View::FromBytes(runner.Field(se::kHorseNameHead));
}

// The progress lines of a race's horses, made once per horse and shown for
// every ring row the horse stands on.
class ProgressLines {
 public:
  Cp932View Of(const RaImage& race, int horse, const SeImage& runner) {
    size_t at = horse >= 1 && horse <= kHorseSlots ? static_cast<size_t>(horse) : 0;
    if (!made_[at]) {
      lines_[at] = ProgressLine(race, runner);
      made_[at] = true;
    }
    return lines_[at];
  }

 private:
  std::array<Cp932Text, kHorseSlots + 1> lines_;
  std::array<bool, kHorseSlots + 1> made_{};
};

// Fills `sheet` from the records of race slot `slot`: the header, and the 18
// ring rows when the race has runners.
void FillSheet(const RaceDay& day, int slot, RaceSheet& sheet, Cp932View title,
               LoadProgress& progress, ProgressLines& lines) {
  const RaImage& race = day.RaRec[slot];
  FillHeader(sheet, race);
  const int n = day.Runners(slot);
  if (n <= 0) return;
  for (int k = 0; k < kRingRows; ++k) {
    const int horse = RingHorse(n, k);
    RowRecords records = RecordsOfHorse(day, slot, horse);
    progress.SetTitle(title);
    if (progress.ShowsDetail()) progress.SetDetail(lines.Of(race, horse, records.se));
    progress.ProcessEvents();
    FillRingRow(sheet, k, records, true);
  }
}

// The per-venue copy of a race's sheet, shown row by row as the slot's own
// sheet was: the same header and ring rows without the apprentice code and
// the two readings, and without the per-horse flags.
void CopyVenueSheet(const RaceDay& day, int slot, RaceSheet& venue, Cp932View title,
                    LoadProgress& progress, ProgressLines& lines) {
  const RaceSheet& sheet = day.Sheet[slot];
  venue = sheet;
  for (int k = 0; k < kRingRows; ++k) {
    venue.ApprenticeCode[k].Clear();
    venue.JockeyKana[k].Clear();
    venue.TrainerKana[k].Clear();
  }
  for (int h = 0; h < kHorseSlots; ++h) {
    venue.JockeyOnlyRideByHorse[h] = 0;
    venue.TrainerOnlyRunnerByHorse[h] = 0;
  }
  const int n = day.Runners(slot);
  if (n <= 0) return;
  const RaImage& race = day.RaRec[slot];
  for (int k = 0; k < kRingRows; ++k) {
    const int horse = RingHorse(n, k);
    progress.SetTitle(title);
    if (progress.ShowsDetail())
      progress.SetDetail(lines.Of(race, horse, RecordsOfHorse(day, slot, horse).se));
    progress.ProcessEvents();
  }
}

// Gives each race slot 0 .. races - 1 in order its venue index (the position
// of its venue code among DayVenues) and its ordinal within that venue, and
// calls place(slot, venue, ordinal).  A race of another venue, or beyond
// twelve races of its venue, gets no place.  Returns the races placed per
// venue.
template <class Place>
std::array<int, kDayVenueCount> PlaceByVenue(const RaceDay& day, int races, Place&& place) {
  std::array<int, kDayVenueCount> placed{};
  for (int s = 0; s < races && s < kRaceSlots; ++s) {
    std::string_view venue = day.RaRec[s].Field(ra::kVenueCode);
    for (int v = 0; v < kDayVenueCount; ++v) {
      if (day.DayVenues[v] != venue) continue;
      if (placed[v] < kVenueRaces) {
        place(s, v, placed[v]);
        ++placed[v];
      }
      break;
    }
  }
  return placed;
}

}  // namespace

void AssignRaceSheets(RaceDay& day, LoadProgress& progress) {
  MarkSingleCodes(day, se::kJockeyCode, &RaceSheet::JockeyOnlyRideByHorse);
  MarkSingleCodes(day, se::kTrainerCode, &RaceSheet::TrainerOnlyRunnerByHorse);

  const Cp932View date = day.LoadedLabel();
  const Cp932Text readingTitle = Cp932("過去走データ読込中：") + date;
  std::vector<ProgressLines> lines(kRaceSlots);
  for (int s = 0; s < day.RaceCount && s < kRaceSlots; ++s) {
    FillSheet(day, s, day.Sheet[s], readingTitle, progress, lines[s]);
  }

  const Cp932Text venueTitle = Cp932("データ処理＆計算中：") + date;
  std::array<int, kDayVenueCount> placed =
      PlaceByVenue(day, day.RaceCount, [&](int s, int v, int o) {
        day.SlotByVenue[v][o] = s;
        day.VenueOfSlot[s] = v;
        day.OrdinalOfSlot[s] = o;
        CopyVenueSheet(day, s, day.VenueRaceSheet[v][o], venueTitle, progress, lines[s]);
      });
  for (int v = 0; v < kDayVenueCount; ++v) day.VenueRaceCount[v] = placed[v];
}

void CopyVenueSignValues(RaceDay& day) {
  PlaceByVenue(day, day.RaceListRows,
               [&](int s, int v, int o) { CopySignValues(day.Calc[s], day.VenueRaceCalc[v][o]); });
}

}  // namespace sorvix
