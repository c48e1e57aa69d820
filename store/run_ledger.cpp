#include "store/run_ledger.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>

#include "app/file_io.h"
#include "app/program_folder.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "store/record_checks.h"
#include "store/record_date.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

std::optional<int64_t> DayOfLabel(Cp932View label) {
  std::string_view bytes = label.bytes();
  if (bytes.size() < 14) return std::nullopt;
  return CalendarDay(Field(bytes, date_label::kYear), Field(bytes, date_label::kMonth),
                     Field(bytes, date_label::kDay));
}

// The day a master record was made (データ作成年月日), when it has one.
std::optional<int64_t> MadeDay(std::string_view ymd) {
  if (ymd.size() < 8) return std::nullopt;
  return CalendarDay(ymd.substr(0, 4), ymd.substr(4, 2), ymd.substr(6, 2));
}

// The place index (1着〜5着: 0–4, 着外: 5) of a runner's stored result, or −1
// for a runner without one: not run (異常区分 1–3) or not yet finished.
int PlaceOf(const SeImage& se) {
  int abnormal = se.Int(se::kAbnormalCode);
  if (abnormal >= 1 && abnormal <= 3) return -1;
  int position = se.Int(se::kFinalPosition);
  if (position >= 1 && position <= 5) return position - 1;
  if (position >= 6 || abnormal >= 4) return 5;
  return -1;
}

// Subtracts `runs` from `counts`; false (the count set to 0) when a count
// would fall below zero.
bool Subtract(int32_t& count, int32_t runs) {
  count -= runs;
  if (count >= 0) return true;
  count = 0;
  return false;
}

// A code of digits (a pedigree number, a jockey or trainer code) as a
// number: the ledger's key.
uint64_t CodeKey(std::string_view code) {
  uint64_t key = 0;
  for (char c : code) key = key * 10 + static_cast<uint64_t>(c >= '0' && c <= '9' ? c - '0' : 0);
  return key;
}

}  // namespace

RunLedger RunLedger::Read(const std::vector<Cp932Text>& storedDates, Cp932View earliest) {
  RunLedger ledger;
  std::vector<std::pair<int64_t, const Cp932Text*>> dates;
  for (const Cp932Text& label : storedDates)
    if (auto day = DayOfLabel(label)) dates.emplace_back(*day, &label);
  std::sort(dates.begin(), dates.end());
  for (const auto& [day, label] : dates) ledger.meetingDays_.push_back(day);
  ledger.meetingDays_.erase(std::unique(ledger.meetingDays_.begin(), ledger.meetingDays_.end()),
                            ledger.meetingDays_.end());
  int64_t from = earliest.empty() ? std::numeric_limits<int64_t>::min() : ledger.CutoffOf(earliest);
  for (const auto& [day, label] : dates)
    if (day >= from) ledger.ReadDate(*label);
  return ledger;
}

void RunLedger::ReadDate(Cp932View label) {
  auto races = ReadFileIfExists(HomePath(RaceFilePath(label)));
  auto day = DayOfLabel(label);
  if (!races || !day) return;
  std::set<std::string> venues;
  for (size_t at = 0; at + kRaLength <= races->size(); at += kRaLength) {
    std::string_view venue = Field(std::string_view(*races).substr(at, kRaLength), ra::kVenueCode);
    if (venue.find_first_not_of("0123456789") == std::string_view::npos && venue.size() == 2)
      venues.emplace(venue);
  }
  SeImage se;
  for (const std::string& venue : venues) {
    auto runners = ReadFileIfExists(HomePath(RunnerFilePath(label, venue)));
    if (!runners) continue;
    for (size_t at = 0; at + kSeLength <= runners->size(); at += kSeLength) {
      std::string_view line = std::string_view(*runners).substr(at, kSeLength);
      if (line.substr(0, 2) != "SE") continue;
      se.Assign(line);
      const int32_t d = static_cast<int32_t>(*day);
      const std::string_view horse = se.Field(se::kPedigreeNumber);
      const std::string_view jockey = se.Field(se::kJockeyCode);
      const std::string_view trainer = se.Field(se::kTrainerCode);
      const bool isHorse = IsPedigreeNumber(horse), isJockey = IsPersonCode(jockey),
                 isTrainer = IsPersonCode(trainer);
      // Entry lists (data kind 1) come before the records of the meeting.
      if (Field(line, jv::kDataKind) != "1") {
        if (isHorse) Seen(Kind::Horse, horse, d);
        if (isJockey) Seen(Kind::Jockey, jockey, d);
        if (isTrainer) Seen(Kind::Trainer, trainer, d);
      }
      int place = PlaceOf(se);
      if (place < 0) continue;
      ++runs_;
      if (isHorse) Add(Kind::Horse, horse, d, place);
      if (isJockey) Add(Kind::Jockey, jockey, d, place);
      if (isTrainer) Add(Kind::Trainer, trainer, d, place);
    }
  }
}

void RunLedger::Seen(Kind kind, std::string_view code, int32_t day) {
  int32_t& last = lastSeen_[static_cast<int>(kind)][CodeKey(code)];
  last = std::max(last, day);
}

int64_t RunLedger::LastCountedDay(Kind kind, std::string_view code,
                                  std::string_view madeDate) const {
  if (auto made = MadeDay(madeDate)) return *made;
  const auto& seen = lastSeen_[static_cast<int>(kind)];
  auto it = seen.find(CodeKey(code));
  if (it == seen.end()) return std::numeric_limits<int32_t>::max();
  return CutoffOfDay(it->second) - 1;
}

void RunLedger::Add(Kind kind, std::string_view code, int32_t day, int place) {
  std::vector<DayPlaces>& days = byCode_[static_cast<int>(kind)][CodeKey(code)];
  if (days.empty() || days.back().day != day) {
    DayPlaces next{day, {}};
    if (!days.empty()) std::copy_n(days.back().places, 6, next.places);
    days.push_back(next);
  }
  ++days.back().places[place];
}

int64_t RunLedger::CutoffOf(Cp932View label) const {
  auto day = DayOfLabel(label);
  return day ? CutoffOfDay(*day) : std::numeric_limits<int64_t>::min();
}

int64_t RunLedger::CutoffOfDay(int64_t day) const {
  int64_t first = day;
  auto at = std::lower_bound(meetingDays_.begin(), meetingDays_.end(), first);
  while (at != meetingDays_.begin() && *(at - 1) == first - 1) {
    --at;
    first = *at;
  }
  return first;
}

void RunLedger::RunsBetween(Kind kind, std::string_view code, int64_t first, int64_t last,
                            int32_t places[6]) const {
  std::fill_n(places, 6, 0);
  const ByCode& byCode = Of(kind);
  auto it = byCode.find(CodeKey(code));
  if (it == byCode.end() || last < first) return;
  const std::vector<DayPlaces>& days = it->second;
  // The cumulative places of the last day up to `day` (none: zeros).
  auto upTo = [&](int64_t day) -> const int32_t* {
    auto after = std::upper_bound(days.begin(), days.end(), day,
                                  [](int64_t d, const DayPlaces& e) { return d < e.day; });
    return after == days.begin() ? nullptr : (after - 1)->places;
  };
  const int32_t* end = upTo(last);
  const int32_t* start = upTo(first - 1);
  for (int p = 0; p < 6; ++p) places[p] = (end ? end[p] : 0) - (start ? start[p] : 0);
}

int RunLedger::RewindCounts(RaceDay& day) const {
  const int64_t cutoff = CutoffOf(day.LoadedLabel());
  int failed = 0;
  int32_t runs[6];
  for (int r = 0; r < kRaceSlots; ++r) {
    RaceCalc& calc = day.Calc[r];
    for (int h = 0; h < day.Runners(r); ++h) {
      const SeImage& se = day.SeRec[r][h];
      const UmImage& um = day.UmRec[r][h];
      if (!um.IsBlank(um::kPedigreeNumber)) {
        std::string_view code = se.Field(se::kPedigreeNumber);
        RunsBetween(Kind::Horse, code, cutoff,
                    LastCountedDay(Kind::Horse, code, um.Field(um::kMadeDate)), runs);
        int32_t* stat = calc.UmaStat[h];
        // Every count is taken back, also after one that could not be.
        bool whole = true;
        for (int b = 0; b < 3; ++b) whole &= Subtract(stat[b], runs[b]);
        whole &= Subtract(stat[3], runs[3] + runs[4] + runs[5]);
        failed += !whole;
      }
      const KsImage& ks = day.KsRec[r][h];
      if (!ks.IsBlank(ks::kJockeyCode)) {
        std::string_view code = se.Field(se::kJockeyCode);
        RunsBetween(Kind::Jockey, code, cutoff,
                    LastCountedDay(Kind::Jockey, code, ks.Field(ks::kMadeDate)), runs);
        bool whole = true;
        for (int b = 0; b < 6; ++b) whole &= Subtract(calc.KishuStat[h][b], runs[b]);
        failed += !whole;
      }
      const ChImage& ch = day.ChRec[r][h];
      if (!ch.IsBlank(ch::kTrainerCode)) {
        std::string_view code = se.Field(se::kTrainerCode);
        RunsBetween(Kind::Trainer, code, cutoff,
                    LastCountedDay(Kind::Trainer, code, ch.Field(ch::kMadeDate)), runs);
        bool whole = true;
        for (int b = 0; b < 6; ++b) whole &= Subtract(calc.ChokyoStat[h][b], runs[b]);
        failed += !whole;
      }
    }
  }
  return failed;
}

}  // namespace sorvix
