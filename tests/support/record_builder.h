// Hand-made JV-Data records for tests: a record of its type's length (CR LF
// included) filled with blanks, with fields written at 1-based positions.
//
//   std::string ra = RaRecord({.ymd = "20080105", .venue = "06", .race = 3});
//   std::string x = RecordBuilder("SE", kSeLength).Set(29, "05").Build();
#pragma once

#include <string>
#include <string_view>

#include "codes/text.h"
#include "store/store_paths.h"

namespace sorvix::test {

class RecordBuilder {
 public:
  RecordBuilder(std::string_view type, int length, char fill = ' ')
      : record_(static_cast<size_t>(length - 2), fill) {
    Set(1, type);
  }
  // Writes `text` at `pos`; text past the record's end is cut off.
  RecordBuilder& Set(int pos, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      size_t at = static_cast<size_t>(pos - 1) + i;
      if (at < record_.size()) record_[at] = text[i];
    }
    return *this;
  }
  // Writes `value` zero-padded to `width` digits.
  RecordBuilder& SetNumber(int pos, int width, int value) {
    return Set(pos, Format("%0*d", width, value));
  }
  std::string Build() const { return record_ + "\r\n"; }

 private:
  std::string record_;
};

// The RecordKey fields (positions 12–27) shared by RA, SE and HR.
struct RaceId {
  std::string ymd = "20080105";
  std::string venue = "06";
  int meeting = 1;
  int day = 1;
  int race = 1;
};

inline RecordBuilder& SetRaceId(RecordBuilder& b, const RaceId& id) {
  return b.Set(12, id.ymd)
      .Set(20, id.venue)
      .SetNumber(22, 2, id.meeting)
      .SetNumber(24, 2, id.day)
      .SetNumber(26, 2, id.race);
}

struct RaFields {
  std::string ymd = "20080105";
  std::string venue = "06";
  int meeting = 1;
  int day = 1;
  int race = 1;
  char kind = '7';
  std::string created = "20080101";  // positions 4–11
  std::string startTime = "1005";    // 874–877
  std::string changedTime = "0000";  // 878–881
  int runners = 16;                  // 882–883
  std::string name = "";             // free text at 33 (to tell versions apart)
};
inline std::string RaRecord(const RaFields& f) {
  RecordBuilder b("RA", kRaLength);
  b.Set(3, std::string(1, f.kind)).Set(4, f.created);
  SetRaceId(b, {f.ymd, f.venue, f.meeting, f.day, f.race});
  b.Set(33, f.name).Set(874, f.startTime).Set(878, f.changedTime).SetNumber(882, 2, f.runners);
  return b.Build();
}

struct SeFields {
  std::string ymd = "20080105";
  std::string venue = "06";
  int meeting = 1;
  int day = 1;
  int race = 1;
  int horse = 1;
  char kind = '7';
  std::string created = "20080101";
  std::string pedigree = "2005101234";  // 31–40
  std::string name = "";                // free text at 41
};
inline std::string SeRecord(const SeFields& f) {
  RecordBuilder b("SE", kSeLength);
  b.Set(3, std::string(1, f.kind)).Set(4, f.created);
  SetRaceId(b, {f.ymd, f.venue, f.meeting, f.day, f.race});
  b.SetNumber(29, 2, f.horse).Set(31, f.pedigree).Set(41, f.name);
  return b.Build();
}

struct HrFields {
  std::string ymd = "20080105";
  std::string venue = "06";
  int meeting = 1;
  int day = 1;
  int race = 1;
  char kind = '2';
  std::string created = "20080105";
  std::string payout = "";  // free text at 103
};
inline std::string HrRecord(const HrFields& f) {
  RecordBuilder b("HR", kHrLength);
  b.Set(3, std::string(1, f.kind)).Set(4, f.created);
  SetRaceId(b, {f.ymd, f.venue, f.meeting, f.day, f.race});
  b.Set(103, f.payout);
  return b.Build();
}

// UM, KS and CH: type, data kind, creation date, then the code at 12.
inline std::string CodedRecord(std::string_view type, int length, std::string_view code,
                               char kind = '1', std::string_view name = "") {
  return RecordBuilder(type, length)
      .Set(3, std::string(1, kind))
      .Set(4, "20080101")
      .Set(12, code)
      .Set(50, name)
      .Build();
}
inline std::string UmRecord(std::string_view pedigree, char kind = '1',
                            std::string_view name = "") {
  return CodedRecord("UM", kUmLength, pedigree, kind, name);
}
inline std::string KsRecord(std::string_view code, char kind = '1', std::string_view name = "") {
  return CodedRecord("KS", kKsLength, code, kind, name);
}
inline std::string ChRecord(std::string_view code, char kind = '1', std::string_view name = "") {
  return CodedRecord("CH", kChLength, code, kind, name);
}

}  // namespace sorvix::test
