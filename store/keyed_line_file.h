// The keyed store files (RaceFile, PayoutFile, PastRunFile, JockeyFile,
// TrainerFile): at most one line per key, kept in whole-line order.
//
// Upsert rule: the first line (in the current order) whose key equals the
// new line's key is replaced, otherwise the new line is appended; then the
// whole list is sorted stably, comparing whole lines without regard to ASCII
// letter case.  KeyedLines applies exactly this rule but, once the list is
// sorted, moves only the changed line, so many upserts into one file stay
// cheap.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_fields.h"

namespace sorvix {

// Where the key of a line sits (1-based position, width in bytes): a named
// field of the line's kind, whatever the kind.
struct LineKey {
  int pos;
  int width;

  constexpr LineKey(int p, int w) : pos(p), width(w) {}
  template <class Record>
  constexpr LineKey(FieldAt<Record> f) : pos(f.pos), width(f.width) {}
};
// RecordKey of RA, SE and HR lines.
inline constexpr LineKey kRecordKeyField = race_record::kRaceKey;
// Jockey and trainer codes of KS and CH lines (the same place in both).
inline constexpr LineKey kCodeKeyField = ks::kJockeyCode;
static_assert(ks::kJockeyCode.pos == ch::kTrainerCode.pos &&
              ks::kJockeyCode.width == ch::kTrainerCode.width);

// Whole-line order: bytes compared as unsigned, ASCII letters folded to one
// case (never the second byte of a double-byte character); a line that is a
// prefix of another comes first.  Returns <0, 0 or >0.
int CompareLinesIgnoringCase(std::string_view a, std::string_view b);
inline bool LineLess(std::string_view a, std::string_view b) {
  return CompareLinesIgnoringCase(a, b) < 0;
}

class KeyedLines {
 public:
  KeyedLines() = default;
  // The lines of a file as loaded, in file order (not necessarily sorted,
  // possibly with repeated keys).
  explicit KeyedLines(std::vector<std::string> lines);

  // Returns whether the lines changed.
  bool Upsert(std::string line, LineKey key);
  // Removes the first line when it is empty or blank; returns whether it did.
  bool DropBlankFirstLine();

  const std::vector<std::string>& lines() const { return lines_; }
  // The file size these lines make with CR LF line ends.
  size_t bytes() const { return bytes_; }

 private:
  std::vector<std::string> lines_;
  bool sorted_ = true;
  size_t bytes_ = 0;
};

}  // namespace sorvix
