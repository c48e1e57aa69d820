#include "results/betting_combinations.h"

#include <algorithm>
#include <set>

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

std::vector<KaimeRow> Rows(const std::set<std::string>& combinations) {
  std::vector<KaimeRow> rows;
  rows.reserve(combinations.size());
  for (const std::string& text : combinations)
    rows.push_back(KaimeRow{text, false, 0, KaimeColour::White});
  return rows;
}

}  // namespace

void ChooseAxisAndPartners(RaceDay& day, int slot) {
  if (slot < 0 || slot >= kRaceSlots) return;
  int n = day.Runners(slot);
  if (n <= 0) return;
  RaceCalc& calc = day.Calc[slot];
  std::set<std::string> candidates;
  for (int h = 0; h < n; ++h) {
    bool awayOrHome = InTopFour(calc.AwayRank[h]) || InTopFour(calc.HomeRank[h]);
    if (awayOrHome && InTopFour(calc.SuiteiRank[h]) && InTopFour(calc.BracketRank[h]))
      candidates.insert(Format("%2d%2d%2d%2d%2d", calc.BracketRank[h], calc.AwayRank[h],
                               calc.HomeRank[h], calc.SuiteiRank[h], h + 1));
    if (awayOrHome || InTopFour(calc.SuiteiRank[h])) calc.PartnerMark[h] = 1;
  }
  int j = 0;
  for (const std::string& key : candidates) {
    int horse = ReadInt(std::string_view(key).substr(8, 2));
    if (horse >= 1 && horse <= kHorseSlots) calc.AxisMark[horse - 1] = j + 1;
    ++j;
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

  std::set<std::string> pairs, ordered, triples;
  for (int a = 0; a < n; ++a) {
    if (calc.AxisMark[a] != 1) continue;
    for (int p = 0; p < n; ++p) {
      if (calc.PartnerMark[p] <= 0 || p == a) continue;
      int axis = a + 1, partner = p + 1;
      pairs.insert(PairText(std::min(axis, partner), std::max(axis, partner)));
      ordered.insert(PairText(axis, partner));
      ordered.insert(PairText(partner, axis));
    }
    for (int f = 0; f < n; ++f) {
      if (calc.PartnerMark[f] <= 0 || f == a) continue;
      for (int d = 0; d < n; ++d) {
        if (calc.PartnerMark[d] <= 0 || d == f) continue;
        // The three numbers in order; a repeated number makes no triple.
        int numbers[3] = {a + 1, f + 1, d + 1};
        std::sort(numbers, numbers + 3);
        if (numbers[0] == numbers[1] || numbers[1] == numbers[2]) continue;
        triples.insert(TripleText(numbers[0], numbers[1], numbers[2]));
      }
    }
  }

  std::string_view hr = day.HrRec[race].Text();
  tables.quinella = Rows(pairs);
  AddPayouts(hr, hr::kQuinellaPlacePayouts, tables.quinella);
  AddPayouts(hr, hr::kQuinellaPayouts, tables.quinella);  // a pair that won both shows 馬連
  for (KaimeRow& row : tables.quinella) row.colour = QuinellaGridColour(day, race, row.combination);

  tables.exacta = Rows(ordered);
  AddPayouts(hr, hr::kExactaPayouts, tables.exacta);
  for (KaimeRow& row : tables.exacta) row.colour = ExactaGridColour(day, race, row.combination);

  tables.trio = Rows(triples);
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
