#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

// The odds (O1–O6) and vote-count (H1, H6) records, with the lengths of
// their layouts (CR LF included).  O6 and H6 exceed the 60,000-byte buffer
// of the acquisition, which reads them cut and skips them.
struct Layout {
  const char* type;
  int bytes;
};
constexpr Layout kLayouts[] = {
    {"O1", 962},   {"O2", 2042},  {"O3", 2654},  {"O4", 4031},
    {"O5", 12293}, {"O6", 83285}, {"H1", 28955}, {"H6", 102890},
};

}  // namespace

std::string OddsAndVoteRecords(const Race& race, char kind, const Date& made) {
  std::string out;
  for (const Layout& layout : kLayouts) {
    FixedRecord r(layout.bytes);
    r.Raw(1, layout.type).Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, race.Key());
    // The announcement time, the runner counts and the tables: zeros, as
    // in a record of a race without sales yet.
    r.Zeros(28, layout.bytes - 2 - 27);
    out += r.Finish();
  }
  return out;
}

}  // namespace sorvix::feedgen
