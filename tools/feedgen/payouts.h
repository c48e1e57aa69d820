// The payouts of a race, consistent with its result: the winning
// combinations of the eight bet types (dead heats give more of them), their
// amounts and popularity estimated from the market, and the refunds of
// scratched horses.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/feedgen/race.h"

namespace sorvix::feedgen {

enum BetType { kWin, kPlace, kBracket, kQuinella, kWide, kExacta, kTrio, kTrifecta, kBetTypes };

struct Payout {
  std::vector<int> numbers;  // horse numbers; bracket numbers for the bracket quinella
  int64_t yen = 0;           // per 100 yen
  int popularity = 0;
};

struct Payouts {
  bool sold[kBetTypes] = {true, true, true, true, true, true, true, true};
  std::vector<Payout> bets[kBetTypes];
  std::vector<int> refundedHorses;       // scratched after the sale began
  std::vector<int> refundedBrackets;     // brackets left without a runner
  std::vector<int> refundedSameBracket;  // brackets whose pair with itself is void
};

// How many entries each bet type has in a payout record.
inline constexpr int kPayoutSlots[kBetTypes] = {3, 5, 3, 3, 7, 6, 3, 6};

// The payouts of a race that has been run.  `seed` varies the amounts.
Payouts ComputePayouts(const Race& race, uint64_t seed);

}  // namespace sorvix::feedgen
