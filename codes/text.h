// Byte-string helpers shared by every subsystem.  All texts of the program
// are CP932 byte strings; widths and positions count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/field_at.h"

namespace sorvix {

// Reads a number the way every field of the program is read: leading
// blanks skipped, an optional sign, then the digits up to the first other
// character.  Text without digits reads 0; an overflow saturates.
int64_t ReadNumber(std::string_view text);
inline int ReadInt(std::string_view text) {
  return static_cast<int>(ReadNumber(text));
}

// Reads a decimal fraction ("  12.5") the same way; no digits read 0.
double ReadDecimal(std::string_view text);

// The field at 1-based byte position `pos` with `width` bytes.  A field that
// reaches past the end of the record is cut at the end (possibly empty).
std::string_view Field(std::string_view record, int pos, int width);
inline int FieldInt(std::string_view record, int pos, int width) {
  return ReadInt(Field(record, pos, width));
}
// The same for a named field (common/record_fields.h) of a line held as text.
template <class Record>
std::string_view Field(std::string_view line, FieldAt<Record> f) {
  return Field(line, f.pos, f.width);
}
template <class Record>
int FieldInt(std::string_view line, FieldAt<Record> f) {
  return FieldInt(line, f.pos, f.width);
}
template <class Record>
int64_t FieldNumber(std::string_view line, FieldAt<Record> f) {
  return ReadNumber(Field(line, f.pos, f.width));
}
// Field `inner` of a piece cut from a line: `piece` holds the bytes of field
// `outer` (a key kept apart from its line), which contains `inner`.
template <class Record>
std::string_view FieldWithin(std::string_view piece, FieldAt<Record> outer, FieldAt<Record> inner) {
  return Field(piece, inner.pos - outer.pos + 1, inner.width);
}

// True when every byte of the text is an ASCII blank (the empty text too).
bool IsBlank(std::string_view text);

// The text without its trailing ASCII blanks.
std::string_view TrimRight(std::string_view text);

// a and b are equal when ASCII letters are compared without their case
// (other bytes, CP932 ones included, compare as they are).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// True for a CP932 lead byte (0x81..0x9F, 0xE0..0xFC).
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A CP932 text without its trailing half- and full-width blanks.
std::string_view TrimBlanksRight(std::string_view cp932);

// A UTF-8 text as a JSON string: quoted, with '"', '\\' and control
// characters escaped.
std::string JsonString(std::string_view utf8);

// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace sorvix
