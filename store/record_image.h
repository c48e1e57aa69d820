// RecordImage<Record>: one stored line of kind Record (an RA record, an
// OddsFile line…) of exactly Record::kLength bytes, its CR LF included, held
// in place, as the RaceDay keeps its records.  An image that received no
// record is all spaces.  Fields are read by their name in
// common/record_fields.h (`ra.Int(ra::kRaceNumber)`), which only fields of the
// image's kind fit; a number field reads 0 when it is not a number.  The
// (position, width) forms are for what has no name: test fixtures and
// probes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "codes/text.h"
#include "common/record_fields.h"

namespace sorvix {

template <class Record>
class RecordImage {
 public:
  static constexpr int kLength = Record::kLength;

  RecordImage() { Clear(); }

  // The whole image, kLength bytes.
  std::string_view Text() const { return {bytes_.data(), static_cast<size_t>(N)}; }

  std::string_view Field(FieldAt<Record> f) const { return Field(f.pos, f.width); }
  int Int(FieldAt<Record> f) const { return Int(f.pos, f.width); }
  int64_t Number(FieldAt<Record> f) const { return Number(f.pos, f.width); }
  double Decimal(FieldAt<Record> f) const { return Decimal(f.pos, f.width); }
  bool IsBlank(FieldAt<Record> f) const { return IsBlank(f.pos, f.width); }
  // Writes `piece` into the field, cut at the field's width.
  void Put(FieldAt<Record> f, std::string_view piece) {
    Put(f.pos, piece.substr(0, static_cast<size_t>(f.width)));
  }

  std::string_view Field(int pos, int width) const { return sorvix::Field(Text(), pos, width); }
  int Int(int pos, int width) const { return FieldInt(Text(), pos, width); }
  int64_t Number(int pos, int width) const { return ReadNumber(Field(pos, width)); }
  double Decimal(int pos, int width) const { return ReadDecimal(Field(pos, width)); }
  bool IsBlank(int pos, int width) const { return sorvix::IsBlank(Field(pos, width)); }
  bool IsBlank() const { return sorvix::IsBlank(Text()); }

  // All spaces.
  void Clear() { bytes_.fill(' '); }
  // The first N bytes of `line`; a shorter line is followed by spaces.
  void Assign(std::string_view line) {
    size_t n = std::min(line.size(), static_cast<size_t>(N));
    std::copy_n(line.data(), n, bytes_.data());
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(n), bytes_.end(), ' ');
  }
  // Writes `piece` at the 1-based position, cut at the end of the image.
  void Put(int pos, std::string_view piece) {
    if (pos < 1 || pos > N) return;
    size_t n = std::min(piece.size(), static_cast<size_t>(N - pos + 1));
    std::copy_n(piece.data(), n, bytes_.data() + pos - 1);
  }

  char* data() { return bytes_.data(); }
  const char* data() const { return bytes_.data(); }

 private:
  static constexpr int N = kLength;
  std::array<char, N> bytes_;
};

using RaImage = RecordImage<RaRecord>;
using SeImage = RecordImage<SeRecord>;
using UmImage = RecordImage<UmRecord>;
using KsImage = RecordImage<KsRecord>;
using ChImage = RecordImage<ChRecord>;
using HrImage = RecordImage<HrRecord>;
using OddsImage = RecordImage<OddsLine>;

}  // namespace sorvix
