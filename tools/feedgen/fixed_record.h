// FixedRecord: builds one fixed-width JV-Data record.  Fields are written by
// 1-based byte position and width, each with the fill its layout uses for
// the unused part (zeros, blanks, full-width blanks, or full-width blanks
// with a half-width blank for an odd rest).  Finish() appends CR LF and
// refuses a record in which some byte was never written, so a builder that
// forgets a field fails at once instead of producing a malformed record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvix::feedgen {

class FixedRecord {
 public:
  // `length` counts the final CR LF.
  explicit FixedRecord(int length);

  // Exactly these bytes (their count is the width).
  FixedRecord& Raw(int pos, std::string_view bytes);
  // A zero-padded decimal number; a negative or too wide value is an error.
  FixedRecord& Num(int pos, int width, int64_t value);
  FixedRecord& Zeros(int pos, int width);
  FixedRecord& Blanks(int pos, int width);
  // Half-width text, left-aligned, padded with blanks (fill "sp").
  FixedRecord& Text(int pos, int width, std::string_view cp932);
  // Text right-aligned in blanks ("  12.3").
  FixedRecord& Right(int pos, int width, std::string_view cp932);
  // Full-width text padded with full-width blanks (fill "Ｓ").
  FixedRecord& Wide(int pos, int width, std::string_view cp932);
  // Mixed text (fill "Ｓ sp"): full-width text is padded with full-width
  // blanks and a half-width blank for an odd rest; text holding half-width
  // characters (Latin names) is padded with half-width blanks.
  FixedRecord& Mixed(int pos, int width, std::string_view cp932);

  // The record with CR LF; throws std::logic_error when a byte is unset.
  std::string Finish();

 private:
  void Check(int pos, int width) const;
  std::string bytes_;
  int body_;
};

// The longest prefix of `cp932` of at most `width` bytes that does not cut a
// double-byte character.
std::string_view CutToWidth(std::string_view cp932, int width);

// True when every character of the text is a double-byte one.
bool AllDoubleByte(std::string_view cp932);

}  // namespace sorvix::feedgen
