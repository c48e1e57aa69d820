#include "results/betting_combinations.h"

#include <algorithm>
#include <memory>

#include "codes/text.h"
#include "common/record_fields.h"
#include "results/payout_table.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

bool InTopFour(int rank) {
  return rank >= 1 && rank <= 4;
}

bool WonIn(const RaceDay& day, int race, const hr::PayoutItems& layout, std::string_view text) {
  if (race < 0 || race >= kRaceSlots || IsBlank(text)) return false;
  std::string_view hr = day.HrRec[race].Text();
  for (int e = 0; e < layout.count; ++e)
    if (HrEntryText(hr, layout, e) == text) return true;
  return false;
}

// Rows of a sorted combination list, with the payout of every entry of
// `layout` whose text equals the row's (a later entry overwrites).
void AddPayouts(std::string_view hr, const hr::PayoutItems& layout, std::vector<KaimeRow>& rows) {
  std::vector<std::string> entries;
  entries.reserve(static_cast<size_t>(layout.count));
  for (int e = 0; e < layout.count; ++e) entries.push_back(HrEntryText(hr, layout, e));
  for (KaimeRow& row : rows) {
    if (IsBlank(row.combination)) continue;
    for (int e = 0; e < layout.count; ++e)
      if (entries[static_cast<size_t>(e)] == row.combination) {
        row.paid = true;
        row.payout = HrEntryPayout(hr, layout, e);
      }
  }
}

}  // namespace

RunnerMarks AxisAndPartnersOf(const RunnerRanks& ranks) {
  RunnerMarks marks;
  // Candidates ordered by (bracket rank, away rank, home rank, estimate
  // rank, horse number): each rank is 1–4, so the order of the numbers is
  // that of their "%2d" keys.
  std::array<std::array<int32_t, 5>, kHorseSlots> candidates;
  int count = 0;
  int n = std::clamp(ranks.runners, 0, kHorseSlots);
  for (int h = 0; h < n; ++h) {
    bool awayOrHome = InTopFour(ranks.away[h]) || InTopFour(ranks.home[h]);
    if (awayOrHome && InTopFour(ranks.suitei[h]) && InTopFour(ranks.bracket[h]))
      candidates[count++] = {ranks.bracket[h], ranks.away[h], ranks.home[h], ranks.suitei[h],
                             h + 1};
    if (awayOrHome || InTopFour(ranks.suitei[h])) marks.partner[h] = 1;
  }
  std::sort(candidates.begin(), candidates.begin() + count);
  for (int j = 0; j < count; ++j) marks.axis[candidates[j][4] - 1] = j + 1;
  return marks;
}

void ChooseAxisAndPartners(RaceDay& day, int slot) {
  if (slot < 0 || slot >= kRaceSlots) return;
  int n = day.Runners(slot);
  if (n <= 0) return;
  RaceCalc& calc = day.Calc[slot];
  RunnerRanks ranks;
  ranks.runners = n;
  std::copy_n(calc.AwayRank, n, ranks.away);
  std::copy_n(calc.HomeRank, n, ranks.home);
  std::copy_n(calc.BracketRank, n, ranks.bracket);
  std::copy_n(calc.SuiteiRank, n, ranks.suitei);
  RunnerMarks marks = AxisAndPartnersOf(ranks);
  for (int h = 0; h < n; ++h) {
    if (marks.axis[h]) calc.AxisMark[h] = marks.axis[h];
    if (marks.partner[h]) calc.PartnerMark[h] = marks.partner[h];
  }
}

namespace {

template <typename List>
void SortUnique(List& list, int& count) {
  std::sort(list.begin(), list.begin() + count);
  count = static_cast<int>(std::unique(list.begin(), list.begin() + count) - list.begin());
}

}  // namespace

void ProposeCombinations(const RunnerMarks& marks, int runners, ProposedCombinations& t) {
  t.pairs = t.ordered = t.triples = 0;
  int n = std::clamp(runners, 0, kHorseSlots);
  auto i8 = [](int v) { return static_cast<int8_t>(v); };
  int axes = 0;
  for (int a = 0; a < n; ++a) {
    if (marks.axis[a] != 1) continue;
    ++axes;
    for (int p = 0; p < n; ++p) {
      if (marks.partner[p] <= 0 || p == a) continue;
      t.pair[t.pairs++] = {i8(std::min(a, p) + 1), i8(std::max(a, p) + 1)};
      t.orderedPair[t.ordered++] = {i8(a + 1), i8(p + 1)};
      t.orderedPair[t.ordered++] = {i8(p + 1), i8(a + 1)};
      // The triples of the axis with two partners, each pair of partners once.
      for (int d = p + 1; d < n; ++d) {
        if (marks.partner[d] <= 0 || d == a) continue;
        int numbers[3] = {a + 1, p + 1, d + 1};
        std::sort(numbers, numbers + 3);
        t.triple[t.triples++] = {i8(numbers[0]), i8(numbers[1]), i8(numbers[2])};
      }
    }
  }
  // One axis (as the selection gives) makes every combination once;
  // several may repeat one.
  if (axes > 1) {
    SortUnique(t.pair, t.pairs);
    SortUnique(t.orderedPair, t.ordered);
    SortUnique(t.triple, t.triples);
  }
}

KaimeTables KaimeTablesOf(const RaceDay& day, int race) {
  KaimeTables tables;
  if (race < 0 || race >= kRaceSlots) return tables;
  int n = day.Runners(race);
  const RaceCalc& calc = day.Calc[race];
  for (int h = 0; h < n; ++h)
    if (calc.AxisMark[h] == 1) tables.hasAxis = true;
  if (!tables.hasAxis) return tables;

  RunnerMarks marks;
  std::copy_n(calc.AxisMark, n, marks.axis);
  std::copy_n(calc.PartnerMark, n, marks.partner);
  auto tickets = std::make_unique<ProposedCombinations>();
  ProposeCombinations(marks, n, *tickets);
  // The tables list them in ascending order.
  SortUnique(tickets->pair, tickets->pairs);
  SortUnique(tickets->orderedPair, tickets->ordered);
  SortUnique(tickets->triple, tickets->triples);
  auto row = [](std::string text) {
    KaimeRow r;
    r.combination = std::move(text);
    return r;
  };
  const ProposedCombinations& t = *tickets;
  for (int i = 0; i < t.pairs; ++i)
    tables.quinella.push_back(row(PairText(t.pair[i][0], t.pair[i][1])));
  for (int i = 0; i < t.ordered; ++i)
    tables.exacta.push_back(row(PairText(t.orderedPair[i][0], t.orderedPair[i][1])));
  for (int i = 0; i < t.triples; ++i)
    tables.trio.push_back(row(TripleText(t.triple[i][0], t.triple[i][1], t.triple[i][2])));

  std::string_view hr = day.HrRec[race].Text();
  AddPayouts(hr, hr::kQuinellaPlacePayouts, tables.quinella);
  AddPayouts(hr, hr::kQuinellaPayouts, tables.quinella);  // a pair that won both shows 馬連
  for (KaimeRow& row : tables.quinella) row.colour = QuinellaGridColour(day, race, row.combination);

  AddPayouts(hr, hr::kExactaPayouts, tables.exacta);
  for (KaimeRow& row : tables.exacta) row.colour = ExactaGridColour(day, race, row.combination);

  AddPayouts(hr, hr::kTrioPayouts, tables.trio);
  for (KaimeRow& row : tables.trio) row.colour = TrioGridColour(day, race, row.combination);
  return tables;
}

KaimeColour QuinellaGridColour(const RaceDay& day, int race, std::string_view text) {
  if (WonIn(day, race, hr::kQuinellaPayouts, text)) return KaimeColour::Red;
  if (WonIn(day, race, hr::kQuinellaPlacePayouts, text)) return KaimeColour::Magenta;
  return KaimeColour::White;
}

KaimeColour ExactaGridColour(const RaceDay& day, int race, std::string_view text) {
  return WonIn(day, race, hr::kExactaPayouts, text) ? KaimeColour::Red : KaimeColour::White;
}

KaimeColour TrioGridColour(const RaceDay& day, int race, std::string_view text) {
  return WonIn(day, race, hr::kTrioPayouts, text) ? KaimeColour::Red : KaimeColour::White;
}

}  // namespace sorvix
