#include <algorithm>
#include <cstdlib>

#include "codes/text.h"
#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

// The fields every runner record shares: the race key, the horse, its
// trainer and owner.
void HorseFields(FixedRecord& r, const Race& race, const Horse& h, const World& world, char kind,
                 const Date& made) {
  const Trainer& t = world.trainers[static_cast<size_t>(h.trainer)];
  const Owner& o = world.owners[static_cast<size_t>(h.owner)];
  r.Raw(1, "SE").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, race.Key());
  r.Raw(31, h.pedigree)
      .Mixed(41, 36, h.nameSj)
      .Raw(77, h.symbol)
      .Num(79, 1, h.sex)
      .Num(80, 1, 1)
      .Raw(81, h.coat);
  r.Num(83, 2, h.Age(race.date.y)).Num(85, 1, h.affiliation).Raw(86, t.code).Wide(91, 8, t.shortSj);
  r.Raw(99, o.code).Mixed(105, 64, o.nameSj).Wide(169, 60, o.silksSj).Wide(229, 60, "");
}

// The result fields left at their initial values (entry list and card).
void NoResult(FixedRecord& r) {
  r.Blanks(325, 3)
      .Blanks(328, 1)
      .Blanks(329, 3)
      .Zeros(332, 1)
      .Zeros(333, 2)
      .Zeros(335, 2)
      .Zeros(337, 1)
      .Zeros(338, 1);
  r.Zeros(339, 4).Blanks(343, 3).Blanks(346, 3).Blanks(349, 3).Zeros(352, 8).Zeros(360, 4).Zeros(
      364, 2);
  r.Zeros(366, 8).Zeros(374, 8).Zeros(382, 3).Zeros(385, 3).Zeros(388, 3).Zeros(391, 3);
  for (int i = 0; i < 3; ++i) r.Zeros(394 + 46 * i, 10).Wide(404 + 46 * i, 36, "");
  r.Zeros(532, 4).Zeros(536, 1);
}

}  // namespace

std::string SeRecord(const Race& race, const Entry& e, const World& world, char kind,
                     const Date& made) {
  const Horse& h = world.horses[static_cast<size_t>(e.horse)];
  const Jockey& j = world.jockeys[static_cast<size_t>(e.jockey)];
  bool list = kind == '1';
  bool result = !list && kind != '2' && race.run;
  FixedRecord r(kSeBytes);
  HorseFields(r, race, h, world, kind, made);
  r.Num(28, 1, list ? 0 : e.bracket).Num(29, 2, list ? 0 : e.number);
  r.Num(289, 3, e.burden).Zeros(292, 3).Num(295, 1, !list && e.blinker ? 1 : 0).Zeros(296, 1);
  r.Raw(297, list ? "00000" : j.code)
      .Zeros(302, 5)
      .Wide(307, 8, list ? "" : j.shortSj)
      .Wide(315, 8, "");
  r.Num(323, 1, list ? 0 : e.apprentice).Zeros(324, 1);
  if (!result) {
    NoResult(r);
  } else {
    bool scratched = e.abnormal == 1;
    bool finished = e.abnormal == 0;
    if (scratched) {
      r.Zeros(325, 3).Blanks(328, 1).Blanks(329, 3);
    } else {
      r.Num(325, 3, e.bodyWeight);
      if (e.firstRun) {
        r.Blanks(328, 1).Blanks(329, 3);
      } else {
        r.Raw(328, e.weightChange > 0   ? "+"
                   : e.weightChange < 0 ? "-"
                                        : " ")
            .Num(329, 3, std::abs(e.weightChange));
      }
    }
    r.Num(332, 1, e.abnormal).Num(333, 2, e.arrival).Num(335, 2, e.finish);
    r.Num(337, 1, e.tiedWith > 0 ? 1 : 0).Num(338, 1, e.tiedWith);
    r.Num(339, 4, finished ? (e.time10 / 600) * 1000 + e.time10 % 600 : 0);
    r.Raw(343, finished && e.finish > 1 ? e.margin : "   ").Blanks(346, 3).Blanks(349, 3);
    for (int c = 0; c < 4; ++c) r.Num(352 + 2 * c, 2, scratched ? 0 : e.corners[c]);
    r.Num(360, 4, scratched ? 0 : e.winOdds10).Num(364, 2, scratched ? 0 : e.popularity);
    r.Num(366, 8, e.prize).Num(374, 8, e.addedPrize).Zeros(382, 3).Zeros(385, 3).Zeros(388, 3);
    r.Num(391, 3, finished ? e.last3f : 999);
    // The horse it was measured against: the second for a winner, else the winner.
    std::vector<const Entry*> others;
    for (const Entry& x : race.entries) {
      if (&x == &e || x.abnormal != 0) continue;
      bool wanted =
          e.finish == 1 ? (e.tiedWith > 0 ? x.finish == 1 : x.finish == 2) : x.finish == 1;
      if (wanted && finished && others.size() < 3) others.push_back(&x);
    }
    for (int i = 0; i < 3; ++i) {
      if (i < static_cast<int>(others.size())) {
        const Horse& oh = world.horses[static_cast<size_t>(others[static_cast<size_t>(i)]->horse)];
        r.Raw(394 + 46 * i, oh.pedigree).Mixed(404 + 46 * i, 36, oh.nameSj);
      } else {
        r.Zeros(394 + 46 * i, 10).Wide(404 + 46 * i, 36, "");
      }
    }
    if (!finished) {
      r.Raw(532, "9999");
    } else {
      char sign = e.timeDiff < 0 || (e.finish == 1 && e.timeDiff == 0) ? '-' : '+';
      r.Raw(532, Format("%c%03d", sign, std::min(999, std::abs(e.timeDiff))));
    }
    r.Zeros(536, 1);
  }
  if (list) {
    r.Zeros(537, 1).Zeros(538, 5).Zeros(543, 4).Zeros(547, 4).Zeros(551, 2);
  } else {
    r.Num(537, 1, result ? 3 : 1)
        .Num(538, 5, (e.miningTime / 6000) * 10000 + e.miningTime % 6000)
        .Num(543, 4, 40 + e.miningRank * 3);
    r.Num(547, 4, 55 + e.miningRank * 4).Num(551, 2, e.miningRank);
  }
  r.Num(553, 1, result && e.abnormal == 0 ? e.style : 0);
  return r.Finish();
}

std::string SeListedRecord(const Race& race, const Horse& horse, const World& world,
                           const Date& made) {
  FixedRecord r(kSeBytes);
  HorseFields(r, race, horse, world, '1', made);
  int age = horse.Age(race.date.y);
  int burden = race.jump ? 600 : race.ages == AgeGroup::kTwo ? 550 : age == 3 ? 570 : 580;
  if (horse.sex == 2) burden -= 20;
  r.Num(28, 1, 0).Num(29, 2, 0).Num(289, 3, burden).Zeros(292, 3).Zeros(295, 1).Zeros(296, 1);
  r.Raw(297, "00000").Zeros(302, 5).Wide(307, 8, "").Wide(315, 8, "").Zeros(323, 1).Zeros(324, 1);
  NoResult(r);
  r.Zeros(537, 1).Zeros(538, 5).Zeros(543, 4).Zeros(547, 4).Zeros(551, 2).Zeros(553, 1);
  return r.Finish();
}

}  // namespace sorvix::feedgen
