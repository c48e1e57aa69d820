// Builds HR payout records for tests: a 719-byte image (CR LF included) of
// blanks with "HR", a race key and the entries written at their positions.
#pragma once

#include <string>
#include <string_view>

#include "codes/text.h"

namespace sorvix::test {

class HrRecordBuilder {
 public:
  HrRecordBuilder() : hr_(719, ' ') {
    hr_.replace(0, 2, "HR");
    hr_.replace(717, 2, "\r\n");
  }

  // The RecordKey (16 characters at position 12).
  HrRecordBuilder& Key(std::string_view key) { return Raw(12, key); }

  HrRecordBuilder& Win(int e, int horse, int payout, int popularity) {
    return Entry(103 + 13 * e, Format("%02d", horse), payout, Format("%02d", popularity));
  }
  HrRecordBuilder& Place(int e, int horse, int payout, int popularity) {
    return Entry(142 + 13 * e, Format("%02d", horse), payout, Format("%02d", popularity));
  }
  HrRecordBuilder& BracketQuinella(int e, int a, int b, int payout, int popularity) {
    return Entry(207 + 13 * e, Format("%d%d", a, b), payout, Format("%02d", popularity));
  }
  HrRecordBuilder& Quinella(int e, int a, int b, int payout, int popularity) {
    return Entry(246 + 16 * e, Format("%02d%02d", a, b), payout, Format("%03d", popularity));
  }
  HrRecordBuilder& QuinellaPlace(int e, int a, int b, int payout, int popularity) {
    return Entry(294 + 16 * e, Format("%02d%02d", a, b), payout, Format("%03d", popularity));
  }
  HrRecordBuilder& Exacta(int e, int a, int b, int payout, int popularity) {
    return Entry(454 + 16 * e, Format("%02d%02d", a, b), payout, Format("%03d", popularity));
  }
  HrRecordBuilder& Trio(int e, int a, int b, int c, int payout, int popularity) {
    return Entry(550 + 18 * e, Format("%02d%02d%02d", a, b, c), payout, Format("%03d", popularity));
  }
  HrRecordBuilder& Trifecta(int e, int a, int b, int c, int payout, int popularity) {
    return Entry(604 + 19 * e, Format("%02d%02d%02d", a, b, c), payout, Format("%04d", popularity));
  }

  // Writes `text` at the 1-based position.
  HrRecordBuilder& Raw(int pos, std::string_view text) {
    hr_.replace(static_cast<size_t>(pos - 1), text.size(), text);
    return *this;
  }

  const std::string& Record() const { return hr_; }

 private:
  HrRecordBuilder& Entry(int pos, const std::string& numbers, int payout,
                         const std::string& popularity) {
    Raw(pos, numbers);
    Raw(pos + static_cast<int>(numbers.size()), Format("%09d", payout));
    return Raw(pos + static_cast<int>(numbers.size()) + 9, popularity);
  }

  std::string hr_;
};

}  // namespace sorvix::test
