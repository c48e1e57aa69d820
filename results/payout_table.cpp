#include "results/payout_table.h"

#include <vector>

#include "codes/text.h"
#include "common/record_fields.h"

namespace sorvix {
namespace {

// A payout as stored, or 0 when it is none a race can pay: JRA pays at
// least 100 yen and never 100 million yen or more, so −100 or 999999999
// are damaged fields, not payouts.
int PlausiblePayout(int payout) {
  return payout >= 100 && payout < 100000000 ? payout : 0;
}

template <size_t N>
void ParseHorses(std::string_view hr, const hr::PayoutItems& f, PayoutHorse (&out)[N]) {
  for (size_t e = 0; e < N; ++e) {
    int i = static_cast<int>(e);
    out[e].HorseNo = FieldInt(hr, f.Number(i, 0));
    int raw = FieldInt(hr, f.Payout(i));
    out[e].Payout = PlausiblePayout(raw);
    if (raw != 0 && out[e].Payout == 0) out[e].HorseNo = 0;  // a damaged entry is none
    out[e].Popularity = FieldInt(hr, f.Popularity(i));
  }
}

template <size_t N>
void ParseCombinations(std::string_view hr, const hr::PayoutItems& f, PayoutCombination (&out)[N]) {
  for (size_t e = 0; e < N; ++e) {
    int i = static_cast<int>(e);
    int a = FieldInt(hr, f.Number(i, 0));
    int b = FieldInt(hr, f.Number(i, 1));
    int c = f.numbers == 3 ? FieldInt(hr, f.Number(i, 2)) : 1;
    int raw = FieldInt(hr, f.Payout(i));
    int payout = PlausiblePayout(raw);
    // A damaged payout makes the entry none, so no ticket wins it.
    if (a >= 1 && b >= 1 && c >= 1 && (raw == 0 || payout != 0))
      out[e].Combination = f.numbers == 3 ? TripleText(a, b, c) : PairText(a, b);
    else
      out[e].Combination.Clear();
    out[e].Payout = payout;
    out[e].Popularity = FieldInt(hr, f.Popularity(i));
  }
}

}  // namespace

namespace {

// "%2d" of a number 0–99, written without the printf machinery (the
// backtest builds these texts for every ticket of every race).
bool PutTwoDigits(int n, char* out) {
  if (n < 0 || n > 99) return false;
  out[0] = n < 10 ? ' ' : static_cast<char>('0' + n / 10);
  out[1] = static_cast<char>('0' + n % 10);
  return true;
}

}  // namespace

std::string PairText(int first, int second) {
  std::string text(5, '-');
  if (PutTwoDigits(first, &text[0]) && PutTwoDigits(second, &text[3])) return text;
  return Format("%2d-%2d", first, second);
}

std::string TripleText(int first, int second, int third) {
  std::string text(8, '-');
  if (PutTwoDigits(first, &text[0]) && PutTwoDigits(second, &text[3]) &&
      PutTwoDigits(third, &text[6]))
    return text;
  return Format("%2d-%2d-%2d", first, second, third);
}

bool HasResult(std::string_view combination) {
  return !IsBlank(combination) && combination != " 0- 0" && combination != " 0- 0- 0";
}

PayoutTable ParsePayoutTable(std::string_view hr) {
  PayoutTable t;
  ParseHorses(hr, hr::kWinPayouts, t.Win);
  ParseHorses(hr, hr::kPlacePayouts, t.Place);
  ParseCombinations(hr, hr::kBracketQuinellaPayouts, t.BracketQuinella);
  ParseCombinations(hr, hr::kQuinellaPayouts, t.Quinella);
  ParseCombinations(hr, hr::kQuinellaPlacePayouts, t.QuinellaPlace);
  ParseCombinations(hr, hr::kExactaPayouts, t.Exacta);
  ParseCombinations(hr, hr::kTrioPayouts, t.Trio);
  ParseCombinations(hr, hr::kTrifectaPayouts, t.Trifecta);
  return t;
}

std::array<int, 19> FinalPositions(const PayoutTable& t) {
  std::array<int, 19> position{};
  auto place = [&](int horse, int at) {
    if (horse < 1 || horse > 18) return;
    int& p = position[static_cast<size_t>(horse)];
    if (p == 0 || at < p) p = at;
  };
  // The horse numbers of a combination text (" 3-12", " 1- 5-13").
  auto numbers = [](const FixedText<8>& combination) {
    std::vector<int> out;
    if (!HasResult(combination.View())) return out;
    std::string_view text = combination.View();
    for (size_t at = 0; at + 2 <= text.size(); at += 3) out.push_back(ReadInt(text.substr(at, 2)));
    return out;
  };
  for (const PayoutHorse& e : t.Win) place(e.HorseNo, 1);
  for (const PayoutCombination& e : t.Exacta) {
    std::vector<int> n = numbers(e.Combination);
    for (size_t i = 0; i < n.size(); ++i) place(n[i], static_cast<int>(i) + 1);
  }
  for (const PayoutCombination& e : t.Trifecta) {
    std::vector<int> n = numbers(e.Combination);
    for (size_t i = 0; i < n.size(); ++i) place(n[i], static_cast<int>(i) + 1);
  }
  for (const PayoutCombination& e : t.Quinella)
    for (int horse : numbers(e.Combination)) place(horse, 2);
  for (const PayoutCombination& e : t.Trio)
    for (int horse : numbers(e.Combination)) place(horse, 3);
  for (const PayoutCombination& e : t.QuinellaPlace)
    for (int horse : numbers(e.Combination)) place(horse, 3);
  for (int e = 0; e < 5; ++e) {
    int horse = t.Place[e].HorseNo;
    if (horse >= 1 && horse <= 18 && position[static_cast<size_t>(horse)] == 0)
      position[static_cast<size_t>(horse)] = e + 1;
  }
  return position;
}

std::string HrEntryText(std::string_view hr, const hr::PayoutItems& items, int e) {
  int a = FieldInt(hr, items.Number(e, 0));
  int b = FieldInt(hr, items.Number(e, 1));
  if (items.numbers == 3) return TripleText(a, b, FieldInt(hr, items.Number(e, 2)));
  return PairText(a, b);
}

int HrEntryPayout(std::string_view hr, const hr::PayoutItems& items, int e) {
  return PlausiblePayout(FieldInt(hr, items.Payout(e)));
}

}  // namespace sorvix
