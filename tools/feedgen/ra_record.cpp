#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

bool HasResult(char kind) {
  return kind != '1' && kind != '2';
}

// The condition codes of the age groups a race is open to.
void Conditions(FixedRecord& r, const Race& race) {
  int code = race.classCode;
  int two = 0, three = 0, four = 0, five = 0;
  switch (race.ages) {
    case AgeGroup::kTwo:
      two = code;
      break;
    case AgeGroup::kThree:
      three = code;
      break;
    case AgeGroup::kThreeUp:
      three = four = five = code;
      break;
    case AgeGroup::kFourUp:
      four = five = code;
      break;
  }
  r.Num(623, 3, two).Num(626, 3, three).Num(629, 3, four).Num(632, 3, five).Num(635, 3, code);
}

}  // namespace

std::string RaRecord(const Race& race, char kind, const Date& made) {
  FixedRecord r(kRaBytes);
  bool result = HasResult(kind) && race.run;
  bool graded =
      (race.grade >= 'A' && race.grade <= 'D') || (race.grade >= 'F' && race.grade <= 'H');
  r.Raw(1, "RA").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, race.Key());
  r.Num(28, 1, race.date.Weekday() == 6 ? 1 : 2);
  r.Num(29, 4, graded ? race.specialNumber : 0);
  r.Wide(33, 60, race.nameSj).Wide(93, 60, race.subSj).Wide(153, 60, "");
  r.Text(213, 120, race.nameLatin).Text(333, 120, race.subLatin).Blanks(453, 120);
  r.Wide(573, 20, race.short10Sj).Wide(593, 12, race.short6Sj).Wide(605, 6, race.short3Sj);
  r.Num(611, 1, graded ? 1 : 0).Num(612, 3, graded ? race.gradedEdition : 0);
  r.Raw(615, std::string(1, race.grade)).Blanks(616, 1);
  r.Num(617, 2, race.raceType).Raw(619, race.symbol).Num(622, 1, race.weightRule);
  Conditions(r, race);
  r.Wide(638, 60, "");
  r.Num(698, 4, race.distance).Zeros(702, 4);
  r.Num(706, 2, race.track).Zeros(708, 2).Raw(710, race.course).Blanks(712, 2);
  for (int i = 0; i < 7; ++i) r.Num(714 + 8 * i, 8, race.prize[i]);
  r.Zeros(770, 40);
  for (int i = 0; i < 5; ++i) r.Num(810 + 8 * i, 8, race.added[i]);
  r.Zeros(850, 24);
  r.Num(874, 4, kind == '1' && race.changedFrom ? race.changedFrom : race.startTime);
  r.Num(878, 4, kind == '1' ? 0 : race.changedFrom);
  int registered = static_cast<int>(race.entries.size()) +
                   (kind == '1' ? static_cast<int>(race.alsoEntered.size()) : 0);
  r.Num(882, 2, registered);
  r.Num(884, 2, result ? race.starters : 0).Num(886, 2, result ? race.finishers : 0);
  r.Num(888, 1, result ? race.weather : 0)
      .Num(889, 1, result ? race.turfGoing : 0)
      .Num(890, 1, result ? race.dirtGoing : 0);
  for (int i = 0; i < 25; ++i) {
    int lap =
        result && i < static_cast<int>(race.laps.size()) ? race.laps[static_cast<size_t>(i)] : 0;
    r.Num(891 + 3 * i, 3, lap);
  }
  r.Num(966, 4, result ? race.mileTime : 0);
  r.Num(970, 3, result ? race.first3f : 0).Num(973, 3, result ? race.first4f : 0);
  r.Num(976, 3, result ? race.last3f : 0).Num(979, 3, result ? race.last4f : 0);
  // Passing orders, in the order the corners are passed.
  int slot = 0;
  for (int c = 0; c < 4 && result; ++c) {
    if (race.cornerTexts[c].empty()) continue;
    int pos = 982 + 72 * slot++;
    r.Num(pos, 1, c + 1).Num(pos + 1, 1, 1).Text(pos + 2, 70, race.cornerTexts[c]);
  }
  for (; slot < 4; ++slot) {
    int pos = 982 + 72 * slot;
    r.Zeros(pos, 2).Blanks(pos + 2, 70);
  }
  r.Num(1270, 1, 0);
  return r.Finish();
}

}  // namespace sorvix::feedgen
