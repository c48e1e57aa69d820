#include "analysis/sign_index.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "analysis/sign_marks.h"
#include "common/record_fields.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

constexpr int kBrackets = 8;

bool SameVenue(const RaceDay& day, int a, int b) {
  return day.RaRec[a].Field(ra::kVenueCode) == day.RaRec[b].Field(ra::kVenueCode);
}

// The sign sums that a neighbour race X gives horse h of a race of n runners.
int Contribution(const RaceDay& day, int x, int h, int n) {
  if (x < 0) return 0;
  int m = day.Runners(x);
  if (m <= 0) return 0;
  CorrespondingHorses horses = CorrespondingHorsesOf(h, n, m);
  int sum = 0;
  for (int horse : {horses.a, horses.b, horses.c})
    if (horse >= 1) sum += day.Calc[x].SignSum[LastCycleRingRow(horse, m)];
  return sum;
}

// Ranks entries by descending key: the largest key gets rank 1.  Keys are
// compared as tuples, left to right, which orders exactly like the
// right-aligned text keys of the values and stays right for values that
// such keys would misorder (negative or six-digit ones).
template <typename Key>
void RankDescending(std::array<std::pair<Key, int>, kHorseSlots>& entries, int count,
                    int32_t* rank) {
  std::sort(entries.begin(), entries.begin() + count);
  for (int pos = 0; pos < count; ++pos) rank[entries[pos].second] = count - pos;
}

}  // namespace

CorrespondingHorses CorrespondingHorsesOf(int h, int n, int m) {
  CorrespondingHorses horses;
  if (m <= 0) return horses;
  auto inField = [m](int horse) { return horse >= 1 && horse <= m ? horse : 0; };
  int c = m - (n - h);
  for (int i = 0; i < 3 && c <= 0; ++i) c += m;
  if (m == n || (m > n && n > 0 && m % n == 0) || (n > m && n % m == 0)) c = 0;
  horses.a = inField(h);
  horses.b = inField(h - m);
  horses.c = inField(c);
  return horses;
}

NeighbourRaces NeighbourRacesOf(const RaceDay& day, int s) {
  NeighbourRaces nb;
  int rows = std::min(day.RaceListRows, kRaceSlots);
  if (rows <= 0 || s < 0 || s >= kRaceSlots) return nb;
  nb.listPrevious = s - 1 < 0 ? rows - 1 : s - 1;
  nb.listNext = s + 1 > rows - 1 ? s + 1 - rows : s + 1;
  if (nb.listPrevious >= rows) nb.listPrevious = -1;
  if (nb.listNext < 0 || nb.listNext >= rows) nb.listNext = -1;

  int venueRaces = 0;
  for (int i = 0; i < rows; ++i)
    if (SameVenue(day, i, s)) ++venueRaces;
  int race = day.RaRec[s].Int(ra::kRaceNumber);
  int previous = race - 1 < 1 ? venueRaces : race - 1;
  int next = race + 1 > venueRaces ? 1 : race + 1;
  auto find = [&](int wanted) {
    for (int i = 0; i < rows; ++i)
      if (SameVenue(day, i, s) && day.RaRec[i].Int(ra::kRaceNumber) == wanted) return i;
    return -1;
  };
  nb.venuePrevious = find(previous);
  nb.venueNext = find(next);
  return nb;
}

namespace {

// Every bracket's runners and the average of their away + home index.
struct BracketAverages {
  int bracketOf[kHorseSlots] = {};  // 0: a runner without a valid bracket
  int count[kBrackets + 1] = {};
  int average[kBrackets + 1] = {};
};

// Zeroes the sign index values of a race before they are computed again.
void ClearSignIndex(RaceCalc& calc) {
  std::fill(std::begin(calc.AwayIndex), std::end(calc.AwayIndex), 0);
  std::fill(std::begin(calc.HomeIndex), std::end(calc.HomeIndex), 0);
  std::fill(std::begin(calc.BracketAverage), std::end(calc.BracketAverage), 0);
  std::fill(std::begin(calc.BracketRank), std::end(calc.BracketRank), 0);
  std::fill(std::begin(calc.AwayRank), std::end(calc.AwayRank), 0);
  std::fill(std::begin(calc.HomeRank), std::end(calc.HomeRank), 0);
}

// Away index (from the previous and next race of the list) and home index
// (from those of the same venue) of each of the n runners.
void ComputeAwayHomeIndex(const RaceDay& day, int slot, int n, RunnerIndex& index) {
  NeighbourRaces nb = NeighbourRacesOf(day, slot);
  for (int h = 1; h <= n; ++h) {
    index.awayIndex[h - 1] =
        Contribution(day, nb.listPrevious, h, n) + Contribution(day, nb.listNext, h, n);
    index.homeIndex[h - 1] =
        Contribution(day, nb.venuePrevious, h, n) + Contribution(day, nb.venueNext, h, n);
  }
}

// Bracket average of away + home, halves upwards, given to each runner of
// the bracket.
BracketAverages ComputeBracketAverages(RunnerIndex& index) {
  BracketAverages brackets;
  int64_t bracketSum[kBrackets + 1] = {};
  for (int h = 0; h < index.runners; ++h) {
    int bracket = index.bracket[h];
    if (bracket < 1 || bracket > kBrackets) continue;
    brackets.bracketOf[h] = bracket;
    bracketSum[bracket] += index.awayIndex[h] + index.homeIndex[h];
    ++brackets.count[bracket];
  }
  for (int b = 1; b <= kBrackets; ++b)
    if (brackets.count[b] > 0)
      brackets.average[b] = static_cast<int>(
          std::trunc(static_cast<double>(bracketSum[b]) / brackets.count[b] + 0.5));
  for (int h = 0; h < index.runners; ++h)
    if (brackets.bracketOf[h] > 0)
      index.bracketAverage[h] = brackets.average[brackets.bracketOf[h]];
  return brackets;
}

// Bracket rank: by average, equal averages the higher bracket first.
void RankBrackets(const BracketAverages& averages, RunnerIndex& index) {
  std::array<std::pair<std::pair<int, int>, int>, kHorseSlots> brackets;
  int present = 0;
  for (int b = 1; b <= kBrackets; ++b)
    if (averages.count[b] > 0) brackets[present++] = {{averages.average[b], b}, b};
  int32_t rankOfBracket[kHorseSlots] = {};
  RankDescending(brackets, present, rankOfBracket);
  for (int h = 0; h < index.runners; ++h)
    if (averages.bracketOf[h] > 0) index.bracketRank[h] = rankOfBracket[averages.bracketOf[h]];
}

// Horse ranks; ties in all three values go to the higher horse number.
void RankHorses(RunnerIndex& index) {
  using HorseKey = std::tuple<int, int, int, int>;
  std::array<std::pair<HorseKey, int>, kHorseSlots> away, home;
  for (int h = 0; h < index.runners; ++h) {
    away[h] = {{index.awayIndex[h], index.bracketAverage[h], index.homeIndex[h], h + 1}, h};
    home[h] = {{index.homeIndex[h], index.bracketAverage[h], index.awayIndex[h], h + 1}, h};
  }
  RankDescending(away, index.runners, index.awayRank);
  RankDescending(home, index.runners, index.homeRank);
}

// Adds 1 to `counts` for every sign marked on the ring rows at which the
// horses of neighbour race `x` that correspond to horse h stand.
void CountContribution(const RaceDay& day, int x, int h, int n, uint8_t* counts) {
  if (x < 0) return;
  int m = day.Runners(x);
  if (m <= 0) return;
  CorrespondingHorses horses = CorrespondingHorsesOf(h, n, m);
  for (int horse : {horses.a, horses.b, horses.c}) {
    if (horse < 1) continue;
    int row = LastCycleRingRow(horse, m);
    for (int s = 0; s < kSignCount; ++s)
      if (HasMark(day.Calc[x], SignAt(s), row)) ++counts[s];
  }
}

// The per-venue copy: venue index among the day's venues, ordinal among
// the earlier list entries of the venue.  A race whose venue is not among
// the day's venues, or past the venue's last race, is not copied.
void CopyToVenueRaceCalc(RaceDay& day, int slot) {
  const RaceCalc& calc = day.Calc[slot];
  int v = -1;
  for (int i = 0; i < kDayVenueCount; ++i)
    if (!day.DayVenues[i].empty() &&
        day.DayVenues[i].View() == day.RaRec[slot].Field(ra::kVenueCode)) {
      v = i;
      break;
    }
  int ordinal = 0;
  for (int i = 0; i < slot && i < day.RaceListRows; ++i)
    if (SameVenue(day, i, slot)) ++ordinal;
  if (v < 0 || ordinal >= kVenueRaces) return;
  RaceCalc& copy = day.VenueRaceCalc[v][ordinal];
  CopySignIndexRows(calc, copy);
  std::copy_n(calc.SuiteiRank, kHorseSlots, copy.SuiteiRank);
}

}  // namespace

void RankSignIndex(RunnerIndex& index) {
  index.runners = std::clamp(index.runners, 0, kHorseSlots);
  std::fill(std::begin(index.bracketAverage), std::end(index.bracketAverage), 0);
  std::fill(std::begin(index.bracketRank), std::end(index.bracketRank), 0);
  std::fill(std::begin(index.awayRank), std::end(index.awayRank), 0);
  std::fill(std::begin(index.homeRank), std::end(index.homeRank), 0);
  RankBrackets(ComputeBracketAverages(index), index);
  RankHorses(index);
}

SignIndexCounts SignIndexCountsOf(const RaceDay& day, int slot) {
  SignIndexCounts counts;
  if (slot < 0 || slot >= kRaceSlots) return counts;
  int n = day.Runners(slot);
  NeighbourRaces nb = NeighbourRacesOf(day, slot);
  for (int h = 1; h <= n; ++h) {
    CountContribution(day, nb.listPrevious, h, n, counts.away[h - 1]);
    CountContribution(day, nb.listNext, h, n, counts.away[h - 1]);
    CountContribution(day, nb.venuePrevious, h, n, counts.home[h - 1]);
    CountContribution(day, nb.venueNext, h, n, counts.home[h - 1]);
  }
  return counts;
}

void ComputeSignIndex(RaceDay& day, int slot) {
  if (slot < 0 || slot >= kRaceSlots) return;
  int n = day.Runners(slot);
  if (n <= 0) return;
  RaceCalc& calc = day.Calc[slot];
  ClearSignIndex(calc);
  RunnerIndex index;
  index.runners = n;
  for (int h = 0; h < n; ++h)
    index.bracket[h] = static_cast<int8_t>(day.SeRec[slot][h].Int(se::kBracketNumber));
  ComputeAwayHomeIndex(day, slot, n, index);
  RankSignIndex(index);
  for (int h = 0; h < n; ++h) {
    calc.AwayIndex[h] = index.awayIndex[h];
    calc.HomeIndex[h] = index.homeIndex[h];
    calc.BracketAverage[h] = index.bracketAverage[h];
    calc.BracketRank[h] = index.bracketRank[h];
    calc.AwayRank[h] = index.awayRank[h];
    calc.HomeRank[h] = index.homeRank[h];
  }
  CopyToVenueRaceCalc(day, slot);
}

}  // namespace sorvix
