#include "results/payout_table.h"

#include <vector>

#include "codes/text.h"

namespace sorvix {
namespace {

// Where an entry's fields sit relative to its start (0-based offsets).
struct EntryFields {
  int first, step;
  int digits;  // width of one number: 1 for brackets, 2 for horses
  int numbers;
  int payoutAt;
  int popularityAt, popularityWidth;
};

constexpr EntryFields kWin{103, 13, 2, 1, 2, 11, 2};
constexpr EntryFields kPlace{142, 13, 2, 1, 2, 11, 2};
constexpr EntryFields kBracketQuinella{207, 13, 1, 2, 2, 11, 2};
constexpr EntryFields kQuinella{246, 16, 2, 2, 4, 13, 3};
constexpr EntryFields kQuinellaPlace{294, 16, 2, 2, 4, 13, 3};
constexpr EntryFields kExacta{454, 16, 2, 2, 4, 13, 3};
constexpr EntryFields kTrio{550, 18, 2, 3, 6, 15, 3};
constexpr EntryFields kTrifecta{604, 19, 2, 3, 6, 15, 4};

int Start(const EntryFields& f, int e) {
  return f.first + f.step * e;
}

int Number(std::string_view hr, const EntryFields& f, int e, int i) {
  return FieldInt(hr, Start(f, e) + f.digits * i, f.digits);
}

template <size_t N>
void ParseHorses(std::string_view hr, const EntryFields& f, PayoutHorse (&out)[N]) {
  for (size_t e = 0; e < N; ++e) {
    int i = static_cast<int>(e);
    out[e].HorseNo = Number(hr, f, i, 0);
    out[e].Payout = FieldInt(hr, Start(f, i) + f.payoutAt, 9);
    out[e].Popularity = FieldInt(hr, Start(f, i) + f.popularityAt, f.popularityWidth);
  }
}

template <size_t N>
void ParseCombinations(std::string_view hr, const EntryFields& f, PayoutCombination (&out)[N]) {
  for (size_t e = 0; e < N; ++e) {
    int i = static_cast<int>(e);
    int a = Number(hr, f, i, 0);
    int b = Number(hr, f, i, 1);
    int c = f.numbers == 3 ? Number(hr, f, i, 2) : 1;
    if (a >= 1 && b >= 1 && c >= 1)
      out[e].Combination = f.numbers == 3 ? TripleText(a, b, c) : PairText(a, b);
    else
      out[e].Combination.Clear();
    out[e].Payout = FieldInt(hr, Start(f, i) + f.payoutAt, 9);
    out[e].Popularity = FieldInt(hr, Start(f, i) + f.popularityAt, f.popularityWidth);
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
  ParseHorses(hr, kWin, t.Win);
  ParseHorses(hr, kPlace, t.Place);
  ParseCombinations(hr, kBracketQuinella, t.BracketQuinella);
  ParseCombinations(hr, kQuinella, t.Quinella);
  ParseCombinations(hr, kQuinellaPlace, t.QuinellaPlace);
  ParseCombinations(hr, kExacta, t.Exacta);
  ParseCombinations(hr, kTrio, t.Trio);
  ParseCombinations(hr, kTrifecta, t.Trifecta);
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

std::string HrEntryText(std::string_view hr, const HrEntryLayout& layout, int e) {
  int start = layout.first + layout.step * e;
  int a = FieldInt(hr, start, 2);
  int b = FieldInt(hr, start + 2, 2);
  if (layout.numbers == 3) return TripleText(a, b, FieldInt(hr, start + 4, 2));
  return PairText(a, b);
}

int HrEntryPayout(std::string_view hr, const HrEntryLayout& layout, int e) {
  return FieldInt(hr, layout.first + layout.step * e + layout.payoutAt, 9);
}

}  // namespace sorvix
