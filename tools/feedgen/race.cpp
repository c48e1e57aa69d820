#include "tools/feedgen/race.h"

#include "codes/text.h"

namespace sorvix::feedgen {

int LevelOfClass(int classCode) {
  switch (classCode) {
    case kOneWin:
      return 1;
    case kTwoWins:
      return 2;
    case kThreeWins:
      return 3;
    case kOpen:
      return 4;
    default:
      return 0;
  }
}

std::string Race::Key() const {
  return date.Ymd() + Format("%02d%02d%02d%02d", venue, kai, day, number);
}

}  // namespace sorvix::feedgen
