// Routing of one downloaded record to its LocalStore file by record type,
// data kind (position 3) and date (positions 12–19):
//
//   RA  kind not 1, A or B; in the date window; race number (26–27) above 0;
//       entered runners (882–883) 1 to 18                      → RaceFile
//   SE  race number above 0; horse number (29–30) 1 to 18; kind not A or B;
//       in the date window                                      → RunnerFile
//   SE  pedigree year (31–34) above Year15 as text: the year folder is made;
//       kind 7 (results) also                                   → PastRunFile
//   HR  in the date window; race number above 0                 → PayoutFile
//   UM  pedigree year (12–15) above Year15 as text              → HorseFile
//   KS  kind not 0                                              → JockeyFile
//   CH  kind not 0                                              → TrainerFile
//
// Any other record is dropped.  The date window holds when the date number
// is at least FromYmd − 10, a plain subtraction on the eight-digit number.
//
// A record whose fields cannot name its file or its line is skipped with a
// reason: a stored type of the wrong length, a date that is not a date, a
// race number outside 1–12, a pedigree number that is not 10 digits, a
// jockey or trainer code that is not 5 digits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codes/cp932_text.h"
#include "store/store_writer.h"

namespace sorvix {

struct RoutingWindow {
  int fromYmd = 0;     // yyyymmdd of the from-date
  std::string year15;  // "%4d" of the current year − 15

  bool InDateWindow(std::string_view record) const;
};

struct RoutedRecord {
  // One line per stored copy for the list of stored data.
  std::vector<Cp932Text> listLines;
  // Why (a part of) the record was not stored, UTF-8; empty when nothing
  // was skipped.
  std::string skipped;
};

// Stores the record (CP932, ending with CR LF) through `writer`.  Throws
// Error when a store file cannot be read.
RoutedRecord RouteAcquiredRecord(std::string_view record, const RoutingWindow& window,
                                 StoreWriter& writer);

}  // namespace sorvix
