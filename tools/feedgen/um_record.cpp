#include <algorithm>

#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

// The horse's pedigree in the layout's order: sire, dam, sire's sire,
// sire's dam, dam's sire, dam's dam, then the third generation likewise.
std::vector<const BreedingHorse*> Pedigree(const Horse& h, const World& world) {
  auto at = [&](int i) -> const BreedingHorse* {
    return i >= 0 ? &world.book[static_cast<size_t>(i)] : nullptr;
  };
  const BreedingHorse* s = at(h.sire);
  const BreedingHorse* d = at(h.dam);
  const BreedingHorse* ss = s ? at(s->sire) : nullptr;
  const BreedingHorse* sd = s ? at(s->dam) : nullptr;
  const BreedingHorse* ds = d ? at(d->sire) : nullptr;
  const BreedingHorse* dd = d ? at(d->dam) : nullptr;
  auto sireOf = [&](const BreedingHorse* b) { return b ? at(b->sire) : nullptr; };
  auto damOf = [&](const BreedingHorse* b) { return b ? at(b->dam) : nullptr; };
  return {s,         d,          ss,        sd,         ds,        dd,         sireOf(ss),
          damOf(ss), sireOf(sd), damOf(sd), sireOf(ds), damOf(ds), sireOf(dd), damOf(dd)};
}

int Cap(int64_t v, int64_t max) {
  return static_cast<int>(std::clamp<int64_t>(v, 0, max));
}

// Everything from the east/west code to the end of the record, which the
// two layouts share except for the widths of the breeder fields.
void Tail(FixedRecord& r, const Horse& h, const World& world, int pos, bool old) {
  const Trainer& t = world.trainers[static_cast<size_t>(h.trainer)];
  const Breeder& b = world.breeders[static_cast<size_t>(h.breeder)];
  const Owner& o = world.owners[static_cast<size_t>(h.owner)];
  r.Num(pos, 1, h.affiliation)
      .Raw(pos + 1, t.code)
      .Wide(pos + 6, 8, t.shortSj)
      .Wide(pos + 14, 20, h.regionSj);
  pos += 34;
  if (old) {
    r.Raw(pos, b.code.substr(2)).Mixed(pos + 6, 70, b.nameSj);
    pos += 76;
  } else {
    r.Raw(pos, b.code).Mixed(pos + 8, 72, b.nameSj);
    pos += 80;
  }
  r.Mixed(pos, 20, b.birthplaceSj).Raw(pos + 20, o.code).Mixed(pos + 26, 64, o.nameSj);
  pos += 90;
  const HorseCounts& c = h.counts;
  for (int i = 0; i < 6; ++i) r.Num(pos + 9 * i, 9, Cap(c.prize[i], 999999999));
  pos += 54;
  auto six = [&](const int* v) {
    for (int i = 0; i < 6; ++i) r.Num(pos + 3 * i, 3, Cap(v[i], 999));
    pos += 18;
  };
  six(c.total);
  six(c.central);
  for (const auto& row : c.track) six(row);
  for (const auto& row : c.going) six(row);
  for (const auto& row : c.distance) six(row);
  for (int i = 0; i < 4; ++i) r.Num(pos + 3 * i, 3, Cap(c.style[i], 999));
  r.Num(pos + 12, 3, Cap(c.races, 999));
}

void Head(FixedRecord& r, const Horse& h, char kind, const Date& made) {
  r.Raw(1, "UM").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, h.pedigree);
  r.Num(22, 1, h.retired ? 1 : 0).Raw(23, h.registered.Ymd());
  if (h.retired) {
    r.Raw(31, Date::FromDays(h.retiredOn).Ymd());
  } else {
    r.Zeros(31, 8);
  }
  r.Raw(39, h.birth.Ymd()).Wide(47, 36, h.nameSj).Text(83, 36, h.kanaSj).Text(119, 60, h.latin);
  r.Raw(179, h.affiliation <= 2 ? "1" : "0")
      .Blanks(180, 19)
      .Raw(199, h.symbol)
      .Num(201, 1, h.sex)
      .Num(202, 1, 1);
  r.Raw(203, h.coat);
}

}  // namespace

std::string UmRecord(const Horse& h, const World& world, char kind, const Date& made) {
  FixedRecord r(kUmBytes);
  Head(r, h, kind, made);
  std::vector<const BreedingHorse*> line = Pedigree(h, world);
  for (int i = 0; i < 14; ++i) {
    const BreedingHorse* b = line[static_cast<size_t>(i)];
    r.Raw(205 + 46 * i, b ? b->number : "0000000000").Mixed(215 + 46 * i, 36, b ? b->nameSj : "");
  }
  Tail(r, h, world, 849, false);
  return r.Finish();
}

std::string OldUmRecord(const Horse& h, const World& world, const Date& made) {
  FixedRecord r(kOldUmBytes);
  Head(r, h, '4', made);
  std::vector<const BreedingHorse*> line = Pedigree(h, world);
  for (int i = 0; i < 14; ++i) {
    const BreedingHorse* b = line[static_cast<size_t>(i)];
    r.Raw(205 + 44 * i, b ? b->number.substr(2) : "00000000")
        .Mixed(213 + 44 * i, 36, b ? b->nameSj : "");
  }
  Tail(r, h, world, 821, true);
  return r.Finish();
}

}  // namespace sorvix::feedgen
