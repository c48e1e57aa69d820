// Betting combinations (買い目): the axis and partner horses of every race,
// picked from the sign index ranks and the estimated-ability rank, and the
// combinations of the selected race for 3連複 (trio), 馬連・ワイド (quinella
// and quinella place) and 馬単 (exacta), with the payout and colour of every
// combination that won.  The betting window and the CLI show these lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/day_slots.h"

namespace sorvix {

class RaceDay;

// Axis and partner selection (買い目, KaimeBtn1Click) for race slot `slot`
// (outside 0..35: nothing).  A runner whose away or home rank is 1–4, whose
// estimate rank is 1–4 and whose bracket rank is 1–4 is a candidate;
// candidates in order of (bracket rank, away rank, home rank, estimate rank,
// horse number) get AxisMark 1, 2, 3, … (1 = ◎ the main axis).  A runner
// whose away, home or estimate rank is 1–4 gets PartnerMark 1.  Marks are
// only ever set, never cleared.
void ChooseAxisAndPartners(RaceDay& day, int slot);

// The ranks the axis and partner selection reads, by horse number − 1
// (0: not ranked).
struct RunnerRanks {
  int runners = 0;
  int32_t away[kHorseSlots] = {};
  int32_t home[kHorseSlots] = {};
  int32_t bracket[kHorseSlots] = {};
  int32_t suitei[kHorseSlots] = {};
};
// The marks it gives: AxisMark (1 = ◎) and PartnerMark of each runner.
struct RunnerMarks {
  int32_t axis[kHorseSlots] = {};
  int32_t partner[kHorseSlots] = {};
};
// The selection of ChooseAxisAndPartners on ranks of their own.
RunnerMarks AxisAndPartnersOf(const RunnerRanks& ranks);

// The combinations of every runner with AxisMark 1 and the partners, as
// horse numbers, each once: 馬連・ワイド pairs (smaller number first), 馬単
// pairs in both orders and 3連複 triples (numbers ascending).  The lists
// are not sorted (the combination tables sort them).
struct ProposedCombinations {
  int pairs = 0, ordered = 0, triples = 0;
  std::array<std::array<int8_t, 2>, kHorseSlots * kHorseSlots> pair{};
  std::array<std::array<int8_t, 2>, kHorseSlots * kHorseSlots> orderedPair{};
  std::array<std::array<int8_t, 3>, kHorseSlots * kHorseSlots * kHorseSlots / 6 + 1> triple{};
};
void ProposeCombinations(const RunnerMarks& marks, int runners, ProposedCombinations& tickets);

// How a combination cell is painted.
enum class KaimeColour {
  White,
  Red,      // won the grid's own bet type (馬連 in the 馬連・ワ grid)
  Magenta,  // 馬連・ワ grid only: won ワイド but not 馬連
};

struct KaimeRow {
  std::string combination;  // " 3-12", " 1- 5-13"
  bool paid = false;        // the combination has a payout
  int payout = 0;           // yen; shown "%6d" when paid
  KaimeColour colour = KaimeColour::White;
};

struct KaimeTables {
  // A runner of the race has AxisMark 1; without one every list is empty
  // (the window then empties its grids and keeps their row counts).
  bool hasAxis = false;
  std::vector<KaimeRow> trio;      // 3連複
  std::vector<KaimeRow> quinella;  // 馬連・ワ
  std::vector<KaimeRow> exacta;    // 馬単
};

// The combination tables (買い目表, KaimeBtn2Click) of race slot `race` (the
// window's selected race): every combination of the main axis with the
// partners, once each, in ascending order of the numbers; payouts and
// colours from the race's HR record.
KaimeTables KaimeTablesOf(const RaceDay& day, int race);

// The colours of a cell text in each grid, from the HR record of `race`.
KaimeColour QuinellaGridColour(const RaceDay& day, int race, std::string_view text);
KaimeColour ExactaGridColour(const RaceDay& day, int race, std::string_view text);
KaimeColour TrioGridColour(const RaceDay& day, int race, std::string_view text);

}  // namespace sorvix
