// Checks of the record fields that become parts of file names or decide
// where a line goes (dates, race and horse numbers, pedigree numbers,
// jockey and trainer codes).  A field that fails is never used to build a
// path: the writers skip the record, the loader treats the element as
// missing.  The texts returned are UTF-8 Japanese reasons.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvix {

// The field as a user can read it in a message: bytes that are not
// printable ASCII are shown as \xNN.
std::string ShownField(std::string_view field);

// True when `field` is exactly `width` ASCII digits.
bool IsDigitField(std::string_view field, size_t width);

// Pedigree number: 10 digits; jockey and trainer codes: 5 digits.
bool IsPedigreeNumber(std::string_view field);
bool IsPersonCode(std::string_view field);

// Why the record's date (positions 12–19) is not a real date, or nullopt.
std::optional<std::string> RecordDateProblem(std::string_view record);

// Why the record's race number (positions 26–27) is not 1–12, or nullopt.
std::optional<std::string> RaceNumberProblem(std::string_view record);

// The date and race number of an RA, SE or HR record together: the first
// problem, or nullopt.
std::optional<std::string> RaceKeyProblem(std::string_view record);

// Why a stored line (a fixed-size block of a store file, CR LF included) is
// not a line of record type `type` ("RA", "SE"…): another type at its start,
// or no CR LF at its end, as when a shorter or longer line before it has
// shifted the blocks.  A line of spaces (an empty runner line) is fine.
// nullopt when it is one.
std::optional<std::string> StoredLineProblem(std::string_view line, std::string_view type);

}  // namespace sorvix
