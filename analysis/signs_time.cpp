// The post-time sign: the minute of the post time, taken modulo the field
// size, points at two horse numbers counted from either end of the field.
#include <string>

#include "analysis/sign_race.h"
#include "codes/cp932.h"

namespace sorvix {

void CalcTimeSign(SignRace& race) {
  static const std::string kCircle = "○"_sj;
  const int n = race.runners();
  std::string_view minute = race.Ra().Field(ra::kStartMinute);
  int first = 0;
  int second = 0;
  if (minute == "00") {
    first = n;
  } else {
    int r = ReadInt(minute) % n;
    if (r == 0) {
      first = 1;
      second = n;
    } else {
      first = r;
      second = n - r + 1;
    }
  }
  const RaceSheet& s = race.sheet();
  for (int k = 0; k < kRingRows; ++k) {
    int horse = ReadInt(s.HorseNo[k]);
    if (horse > 0 && (horse == first || horse == second)) race.Mark(Sign::HStimeS1, k, kCircle);
  }
}

}  // namespace sorvix
