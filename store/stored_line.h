// The line a record becomes in the LocalStore: the record without its own
// final CR LF, with the positions each file rewrites.  Every function keeps
// the line's length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvix {

// The record without its final two characters (its CR LF).
std::string StoredLine(std::string_view record);

// An RA line: positions 3–10 become the start time (hhmm from 878–881 when
// that number is 1 or more, else from 874–877), the venue code (20–21) and
// the race number (26–27), so that whole-line order is post-time order.
std::string RaceLine(std::string_view record);

// A line with positions 3–11 set to "000000000" (payouts of the
// accumulating acquisition, past runs, jockeys and trainers).
std::string ZeroedLine(std::string_view record);

// True when a record of a stored type has that type's length (CR LF
// included), ends with CR LF and holds no other line break, so that its line
// keeps the fixed-size layout of its file.  Records of other types are
// always accepted.
bool IsWholeRecord(std::string_view record);

// What is wrong with a stored file's bytes, whose lines must each be a
// whole line of record type `type` (`length` bytes with its line end) or
// blank; nullopt when nothing is.  The text (UTF-8) says which line.
std::optional<std::string> StoredFileProblem(std::string_view bytes, int length,
                                             std::string_view type);

}  // namespace sorvix
