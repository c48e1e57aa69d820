// The hit report (的中 / 穴的中): walks every race of the loaded date, compares
// the proposed combinations of the 3連複, 馬連・ワ and 馬単 grids with the
// race's winning combinations (trio, quinella, quinella place, exacta) and
// writes the hits as an HTML fragment ("\HPupload\TK" + yyyymmdd + ".txt")
// and appends them to the cumulative hit log ("\HPupload\Manbaken.txt").
//
// 的中 reports every hit, 穴的中 only the high-paying ones (trio, quinella
// and exacta above 5000 yen, quinella place above 3000 yen).  Payouts from
// 10000 yen (5000 for quinella place) are shown in red with image lis1,
// the others in blue with image lis2.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "codes/cp932_text.h"

namespace sorvix {

class RaceDay;

struct HitReport {
  // The fragment: the title line and one line per hit.
  std::vector<Cp932Text> lines;
  // The hit log after this run: the old log and one line per hit.
  std::vector<std::string> log;
  int hits = 0;
  // Both files were written (there was at least one hit).
  bool written = false;
  // The fragment file (UTF-8 path), set when written: the window opens it
  // with its associated program and puts `lines` on the clipboard.
  std::filesystem::path fragmentPath;
};

// The report lines and log of the loaded date without writing anything.
// `bigOnly`: 穴的中.  Reads the existing hit log.  Throws Error.
HitReport BuildHitReport(const RaceDay& day, bool bigOnly);

// 的中 and 穴的中 (TekiAnaBtnClick, the buttons TekiAnaBtn and TekiAnaBtn2;
// `bigOnly` for the second): builds the report and, when it holds at least
// one hit, writes the fragment file and then the hit log.  Throws Error when
// the folder or a file cannot be written.
HitReport WriteHitReport(const RaceDay& day, bool bigOnly);

}  // namespace sorvix
