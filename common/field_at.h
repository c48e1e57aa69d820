// FieldAt<Record>: where a field sits in a fixed-width line of kind
// `Record` (1-based byte position and width in bytes).  The kind is part of
// the type, so a field of one record kind does not read a line of another:
// an SE field given to an RA image does not compile.  The fields themselves
// are defined once, in common/record_fields.h.
#pragma once

#include <type_traits>

namespace sorvix {

namespace field_at_detail {

// Whether bytes pos..pos+width-1 lie inside a line of kind Record (a kind
// without a kLength, such as a provider's source line, only needs pos and
// width of 1 or more).
template <class Record>
constexpr bool Fits(int pos, int width) {
  if (pos < 1 || width < 1) return false;
  if constexpr (requires { Record::kLength; }) return pos + width - 1 <= Record::kLength;
  return true;
}

}  // namespace field_at_detail

template <class Record>
struct FieldAt {
  int pos;
  int width;

  // A field defined as a constant that does not fit its record stops the
  // build; a field computed at run time is not checked.
  constexpr FieldAt(int p, int w) : pos(p), width(w) {
    if (std::is_constant_evaluated() && !field_at_detail::Fits<Record>(p, w))
      throw "field outside its record";
  }

  // The position of the field's last byte.
  constexpr int End() const { return pos + width - 1; }

  friend constexpr bool operator==(FieldAt, FieldAt) = default;
};

// An item repeated in its record (JV-Data 繰返し): `count` fields of one
// width, each `stride` bytes after the one before (the width itself when the
// items touch).  items[i] is item i, counted from 0.
template <class Record>
struct RepeatedField {
  FieldAt<Record> first;
  int count;
  int stride;

  constexpr RepeatedField(int pos, int width, int items, int step = 0)
      : first(pos, width), count(items), stride(step > 0 ? step : width) {
    if (std::is_constant_evaluated() &&
        (count < 1 || !field_at_detail::Fits<Record>(pos + stride * (count - 1), width)))
      throw "repeated field outside its record";
  }

  constexpr FieldAt<Record> operator[](int i) const {
    return {first.pos + stride * i, first.width};
  }
};

}  // namespace sorvix
