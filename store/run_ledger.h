// The result counts as they stood before a meeting date.
//
// The horse, jockey and trainer records hold cumulative finishing counts
// (1着〜5着 and 着外) as of the day each record was made. A date tested later
// than that must not see the runs that came after it: RunLedger keeps every
// finished run of the stored runner files by day, and takes the counts that
// a loaded day read from the stored records back to how they stood before
// the date (less the runs from the date's cut-off up to the day its record
// was made).
//
// The cut-off is the first day of the date's meeting: the run of meeting
// dates on consecutive days that holds it. Records arrive before a meeting
// (the Friday before a weekend), so on a Sunday morning the counts did not
// yet hold Saturday's runs either.
//
// When a record was made: its データ作成年月日 where the store kept it (the
// horse records); the jockey and trainer lines are stored with that field
// zeroed, so for them (and any record without the date) it is the day
// before the last meeting in which the person appears in the stored runner
// files (race cards or results): the records of a meeting's riders,
// trainers and horses arrive before it.
//
// A count that would fall below zero (a record that does not hold the runs
// that are stored, such as a master older than the runs) cannot be rebuilt:
// it is set to zero and counted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codes/cp932_text.h"

namespace sorvix {

class RaceDay;

class RunLedger {
 public:
  enum class Kind { Horse, Jockey, Trainer };

  // Reads the finished runs of the runner files of every date of
  // `storedDates` (DateLabels, any order) from the cut-off of `earliest`
  // on; an empty `earliest` reads them all.  Throws Error when a file
  // cannot be read.
  static RunLedger Read(const std::vector<Cp932Text>& storedDates, Cp932View earliest = {});

  // Day number (days since 1970-01-01) of the first day of the meeting
  // that holds the DateLabel `label`: `label`'s day and the stored dates
  // on the days right before it.
  int64_t CutoffOf(Cp932View label) const;

  // Finished runs of `code` (pedigree number, jockey or trainer code) from
  // day `first` to day `last` inclusive, by place: 1着〜5着 and 着外.
  void RunsBetween(Kind kind, std::string_view code, int64_t first, int64_t last,
                   int32_t places[6]) const;

  // Takes UmaStat, KishuStat and ChokyoStat of every runner of the loaded
  // `day` back to the cut-off of its date; returns how many counts (of a
  // runner's horse, jockey or trainer) could not be rebuilt.
  int RewindCounts(RaceDay& day) const;

  int64_t runs() const { return runs_; }

 private:
  struct DayPlaces {
    int32_t day;
    int32_t places[6];  // cumulative over the days so far
  };
  using ByCode = std::unordered_map<uint64_t, std::vector<DayPlaces>>;  // by code's digits

  void Add(Kind kind, std::string_view code, int32_t day, int place);
  void Seen(Kind kind, std::string_view code, int32_t day);
  void ReadDate(Cp932View label);
  int64_t CutoffOfDay(int64_t day) const;
  // The last day whose runs the record of `code` holds (see above).
  int64_t LastCountedDay(Kind kind, std::string_view code, std::string_view madeDate) const;
  const ByCode& Of(Kind kind) const { return byCode_[static_cast<int>(kind)]; }

  ByCode byCode_[3];
  std::unordered_map<uint64_t, int32_t> lastSeen_[3];  // the last day a code appears
  std::vector<int64_t> meetingDays_;                      // every stored date, ascending
  int64_t runs_ = 0;
};

}  // namespace sorvix
