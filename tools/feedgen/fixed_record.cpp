#include "tools/feedgen/fixed_record.h"

#include <stdexcept>

#include "codes/text.h"

namespace sorvix::feedgen {
namespace {

constexpr char kUnset = '\0';
constexpr std::string_view kWideBlank = "\x81\x40";

}  // namespace

std::string_view CutToWidth(std::string_view cp932, int width) {
  size_t i = 0;
  while (i < cp932.size()) {
    size_t step = IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
    if (i + step > static_cast<size_t>(width) || i + step > cp932.size()) break;
    i += step;
  }
  return cp932.substr(0, i);
}

bool AllDoubleByte(std::string_view cp932) {
  size_t i = 0;
  while (i < cp932.size()) {
    if (!IsLeadByte(static_cast<unsigned char>(cp932[i]))) return false;
    i += 2;
  }
  return true;
}

FixedRecord::FixedRecord(int length)
    : bytes_(static_cast<size_t>(length - 2), kUnset), body_(length - 2) {}

void FixedRecord::Check(int pos, int width) const {
  if (pos < 1 || width < 0 || pos - 1 + width > body_)
    throw std::logic_error(
        Format("field %d/%d outside a record of %d bytes", pos, width, body_ + 2));
}

FixedRecord& FixedRecord::Raw(int pos, std::string_view bytes) {
  Check(pos, static_cast<int>(bytes.size()));
  bytes_.replace(static_cast<size_t>(pos - 1), bytes.size(), bytes);
  return *this;
}

FixedRecord& FixedRecord::Num(int pos, int width, int64_t value) {
  Check(pos, width);
  int64_t v = value;
  char* end = bytes_.data() + pos - 1 + width;
  for (int i = 0; i < width; ++i) {
    *--end = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  if (value < 0 || v != 0)
    throw std::logic_error(
        Format("value %lld does not fit field %d/%d", static_cast<long long>(value), pos, width));
  return *this;
}

FixedRecord& FixedRecord::Zeros(int pos, int width) {
  return Raw(pos, std::string(static_cast<size_t>(width), '0'));
}

FixedRecord& FixedRecord::Blanks(int pos, int width) {
  return Raw(pos, std::string(static_cast<size_t>(width), ' '));
}

FixedRecord& FixedRecord::Text(int pos, int width, std::string_view cp932) {
  std::string field(CutToWidth(cp932, width));
  field.append(static_cast<size_t>(width) - field.size(), ' ');
  return Raw(pos, field);
}

FixedRecord& FixedRecord::Right(int pos, int width, std::string_view cp932) {
  std::string_view cut = CutToWidth(cp932, width);
  std::string field(static_cast<size_t>(width) - cut.size(), ' ');
  field.append(cut);
  return Raw(pos, field);
}

FixedRecord& FixedRecord::Wide(int pos, int width, std::string_view cp932) {
  std::string field(CutToWidth(cp932, width));
  while (field.size() + 2 <= static_cast<size_t>(width)) field.append(kWideBlank);
  field.append(static_cast<size_t>(width) - field.size(), ' ');
  return Raw(pos, field);
}

FixedRecord& FixedRecord::Mixed(int pos, int width, std::string_view cp932) {
  if (AllDoubleByte(cp932)) return Wide(pos, width, cp932);
  return Text(pos, width, cp932);
}

std::string FixedRecord::Finish() {
  size_t unset = bytes_.find(kUnset);
  if (unset != std::string::npos)
    throw std::logic_error(
        Format("record %.2s: byte %zu was never written", bytes_.c_str(), unset + 1));
  return bytes_ + "\r\n";
}

}  // namespace sorvix::feedgen
