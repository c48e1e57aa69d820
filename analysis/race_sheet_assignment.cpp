#include "analysis/race_sheet_assignment.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/name_text.h"
#include "analysis/record_fields.h"
#include "analysis/ring_layout.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "store/load_progress.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

using HorseFlags = int32_t (RaceSheet::*)[kHorseSlots];

// Sets the per-horse flag of every runner of the day whose code (a jockey
// or trainer code of its SE record) occurs exactly once among the day's
// runners.  Empty, zero and non-numeric codes never mark.
void MarkSingleCodes(RaceDay& day, RecordField codeField, HorseFlags flags) {
  // Views into the day's SE records, which stay in place meanwhile.
  std::unordered_map<std::string_view, int> count;
  count.reserve(static_cast<size_t>(kRaceSlots * kHorseSlots));
  auto forEachCode = [&](auto&& visit) {
    for (int s = 0; s < day.RaceCount; ++s) {
      const int n = day.Runners(s);
      for (int h = 0; h < n; ++h) {
        std::string_view code = Get(day.SeRec[s][h], codeField);
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
  std::string key;
  for (RecordField f :
       {ra::kYear, ra::kMonthDay, ra::kVenueCode, ra::kMeetingNo, ra::kDayNo, ra::kRaceNo}) {
    key += Get(rec, f);
  }
  sheet.RaceKey = key;
  sheet.RaceName = Get(rec, ra::kRaceName);
  sheet.GradeCode = Get(rec, ra::kGradeCode);
  sheet.RaceTypeCode = Get(rec, ra::kRaceTypeCode);
  sheet.RaceSymbolCode = Get(rec, ra::kRaceSymbolCode);
  sheet.WeightRuleCode = Get(rec, ra::kWeightRuleCode);
  sheet.ClassCode = Get(rec, ra::kClassCode);
  sheet.Distance = Get(rec, ra::kDistance);
  sheet.TrackCode = Get(rec, ra::kTrackCode);
  sheet.StartTime = Get(rec, ra::kStartTime);
  for (int i = 0; i < ra::kPrizeCount; ++i) sheet.Prize[i] = GetInt(rec, ra::Prize(i));
  for (int i = 0; i < ra::kAddedPrizeCount; ++i)
    sheet.AddedPrize[i] = GetInt(rec, ra::AddedPrize(i));
  sheet.RunnerCount = Get(rec, ra::kRunners);
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
  sheet.HorseNo[k] = Get(r.se, se::kHorseNo);
  sheet.BracketNo[k] = Get(r.se, se::kBracketNo);
  sheet.PedigreeNo[k] = Get(r.se, se::kPedigreeNo);
  sheet.HorseName[k] = Get(r.se, se::kHorseName);
  sheet.Sex[k] = Get(r.se, se::kSex);
  sheet.Age[k] = Get(r.se, se::kAge);
  sheet.Burden[k] = Get(r.se, se::kBurden);
  sheet.JockeyCode[k] = Get(r.se, se::kJockeyCode);
  sheet.JockeyName[k] = Get(r.se, se::kJockeyName);
  sheet.TrainerCode[k] = Get(r.se, se::kTrainerCode);
  sheet.TrainerName[k] = Get(r.se, se::kTrainerName);
  if (withReadings) {
    sheet.ApprenticeCode[k] = Get(r.se, se::kApprenticeCode);
    sheet.JockeyKana[k] = Get(r.ks, ks::kJockeyKana);
    sheet.TrainerKana[k] = Get(r.ch, ch::kTrainerKana);
  }
  sheet.SireName[k] = Get(r.um, um::kSireName);
  sheet.DamName[k] = Get(r.um, um::kDamName);
  sheet.SireSireName[k] = Get(r.um, um::kSireSireName);
  sheet.HorseNamePlain[k] = RemoveVoicedMarks(std::string_view(sheet.HorseName[k]).substr(0, 18));
  sheet.SireNamePlain[k] = RemoveVoicedMarks(sheet.SireName[k]);
  sheet.DamNamePlain[k] = RemoveVoicedMarks(sheet.DamName[k]);
  sheet.HorseSymbol[k] = Get(r.se, se::kHorseSymbol);
  sheet.BirthDate[k] = Get(r.um, um::kBirthDate);
  sheet.CoatCode[k] = Get(r.se, se::kCoatCode);
  sheet.OwnerName[k] = Get(r.se, se::kOwnerName);
  sheet.AffiliationCode[k] = Get(r.se, se::kAffiliationCode);
  sheet.InviteRegion[k] = Get(r.um, um::kInviteRegion);
  sheet.BirthPlace[k] = Get(r.um, um::kBirthPlace);
  sheet.BreederName[k] = Get(r.um, um::kBreederName);
  sheet.JockeySex[k] = Get(r.ks, ks::kJockeySex);
  sheet.JockeyOnlyRide[k] = r.onlyRide;
  sheet.TrainerOnlyRunner[k] = r.onlyRunner;
  sheet.FinishPos[k] = Get(r.se, se::kFinishPos);
  sheet.Popularity[k] = GetInt(r.se, se::kPopularity);
}

// The progress line of one ring row: venue, race number, horse number and
// name ("中山 1R:③ダイワスカーレット").
std::string ProgressLine(const RaImage& race, const SeImage& runner) {
  static const std::string kRace = "R:"_sj;
  return VenueName(Get(race, ra::kVenueCode)) + PadNumber(Get(race, ra::kRaceNo)) + kRace +
         CircledNumber(GetInt(runner, se::kHorseNo)) +
         std::string(Get(runner, se::kHorseName).substr(0, 18));
}

// The progress lines of a race's horses, made once per horse and shown for
// every ring row the horse stands on.
class ProgressLines {
 public:
  const std::string& Of(const RaImage& race, int horse, const SeImage& runner) {
    size_t at = horse >= 1 && horse <= kHorseSlots ? static_cast<size_t>(horse) : 0;
    if (!made_[at]) {
      lines_[at] = ProgressLine(race, runner);
      made_[at] = true;
    }
    return lines_[at];
  }

 private:
  std::array<std::string, kHorseSlots + 1> lines_;
  std::array<bool, kHorseSlots + 1> made_{};
};

// Fills `sheet` from the records of race slot `slot`: the header, and the 18
// ring rows when the race has runners.
void FillSheet(const RaceDay& day, int slot, RaceSheet& sheet, std::string_view title,
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
void CopyVenueSheet(const RaceDay& day, int slot, RaceSheet& venue, std::string_view title,
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
    std::string_view venue = Get(day.RaRec[s], ra::kVenueCode);
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

  const std::string date(day.LoadedDate.View());
  const std::string readingTitle = "過去走データ読込中："_sj + date;
  std::vector<ProgressLines> lines(kRaceSlots);
  for (int s = 0; s < day.RaceCount && s < kRaceSlots; ++s) {
    FillSheet(day, s, day.Sheet[s], readingTitle, progress, lines[s]);
  }

  const std::string venueTitle = "データ処理＆計算中："_sj + date;
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
