// RecordImage<N>: one stored JV-Data line of exactly N bytes (its CR LF
// included) held in place, as the RaceDay keeps its records.  An image that
// received no record is all spaces.  Fields are read by 1-based position and
// width; a number field reads 0 when it is not a number.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "codes/text.h"
#include "store/store_paths.h"

namespace sorvix {

template <int N>
class RecordImage {
 public:
  static constexpr int kLength = N;

  RecordImage() { Clear(); }

  // The whole image, N bytes.
  std::string_view Text() const { return {bytes_.data(), static_cast<size_t>(N)}; }
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
  std::array<char, N> bytes_;
};

using RaImage = RecordImage<kRaLength>;
using SeImage = RecordImage<kSeLength>;
using UmImage = RecordImage<kUmLength>;
using KsImage = RecordImage<kKsLength>;
using ChImage = RecordImage<kChLength>;
using HrImage = RecordImage<kHrLength>;
using OddsImage = RecordImage<kOddsLength>;

}  // namespace sorvix
