#include <algorithm>

#include "codes/text.h"
#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

struct Block {
  int start;
  int step;
  int numberWidth;  // the combination: digits per number
  int count;        // numbers in the combination
  int popularityWidth;
};

constexpr Block kBlocks[kBetTypes] = {
    {103, 13, 2, 1, 2},  // win
    {142, 13, 2, 1, 2},  // place
    {207, 13, 1, 2, 2},  // bracket quinella
    {246, 16, 2, 2, 3},  // quinella
    {294, 16, 2, 2, 3},  // quinella place
    {454, 16, 2, 2, 3},  // exacta
    {550, 18, 2, 3, 3},  // trio
    {604, 19, 2, 3, 4},  // trifecta
};

}  // namespace

std::string HrRecord(const Race& race, const Payouts& p, char kind, const Date& made) {
  FixedRecord r(kHrBytes);
  r.Raw(1, "HR").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, race.Key());
  r.Num(28, 2, static_cast<int>(race.entries.size())).Num(30, 2, race.starters);
  r.Zeros(32, 9).Zeros(41, 9);
  // Refund flags per bet type (positions 50 … 58, 55 reserved).
  bool refunds = !p.refundedHorses.empty();
  static constexpr int kRefundPos[kBetTypes] = {50, 51, 52, 53, 54, 56, 57, 58};
  r.Zeros(50, 9);
  for (int b = 0; b < kBetTypes; ++b) {
    bool flag = refunds && p.sold[b];
    if (b == kBracket)
      flag = p.sold[b] && (!p.refundedBrackets.empty() || !p.refundedSameBracket.empty());
    r.Num(kRefundPos[b], 1, flag ? 1 : 0);
  }
  std::string horses(28, '0'), brackets(8, '0'), same(8, '0');
  for (int n : p.refundedHorses)
    if (n >= 1 && n <= 28) horses[static_cast<size_t>(n - 1)] = '1';
  for (int b : p.refundedBrackets) brackets[static_cast<size_t>(b - 1)] = '1';
  for (int b : p.refundedSameBracket) same[static_cast<size_t>(b - 1)] = '1';
  r.Raw(59, horses).Raw(87, brackets).Raw(95, same);

  for (int b = 0; b < kBetTypes; ++b) {
    const Block& k = kBlocks[b];
    int comboWidth = k.numberWidth * k.count;
    for (int i = 0; i < kPayoutSlots[b]; ++i) {
      int pos = k.start + k.step * i;
      if (i < static_cast<int>(p.bets[b].size())) {
        const Payout& pay = p.bets[b][static_cast<size_t>(i)];
        std::string combo;
        for (int n : pay.numbers) combo += Format("%0*d", k.numberWidth, n);
        r.Raw(pos, combo)
            .Num(pos + comboWidth, 9, pay.yen)
            .Num(pos + comboWidth + 9, k.popularityWidth, pay.popularity);
      } else if (i == 0 && !p.sold[b]) {
        // Not sold: the combination reads zero.
        r.Zeros(pos, comboWidth).Blanks(pos + comboWidth, 9 + k.popularityWidth);
      } else {
        r.Blanks(pos, k.step);
      }
    }
  }
  r.Blanks(406, 48);
  return r.Finish();
}

}  // namespace sorvix::feedgen
