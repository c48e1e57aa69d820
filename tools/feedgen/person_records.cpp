// The jockey (KS) and trainer (CH) masters: their shared blocks of graded
// wins and yearly counts.
#include <algorithm>

#include "tools/feedgen/fixed_record.h"
#include "tools/feedgen/records.h"

namespace sorvix::feedgen {
namespace {

int Cap(int64_t v, int64_t max) {
  return static_cast<int>(std::clamp<int64_t>(v, 0, max));
}

void GradedWins(FixedRecord& r, int pos, const Person& p) {
  for (int i = 0; i < 3; ++i, pos += 163) {
    if (i < static_cast<int>(p.gradedWins.size())) {
      const GradedWin& w = p.gradedWins[static_cast<size_t>(i)];
      r.Raw(pos, w.key)
          .Wide(pos + 16, 60, w.raceNameSj)
          .Wide(pos + 76, 20, w.short10Sj)
          .Wide(pos + 96, 12, w.short6Sj);
      r.Wide(pos + 108, 6, w.short3Sj)
          .Raw(pos + 114, std::string(1, w.grade))
          .Num(pos + 115, 2, w.starters);
      r.Raw(pos + 117, w.pedigree).Wide(pos + 127, 36, w.horseNameSj);
    } else {
      r.Zeros(pos, 16)
          .Wide(pos + 16, 60, "")
          .Wide(pos + 76, 20, "")
          .Wide(pos + 96, 12, "")
          .Wide(pos + 108, 6, "");
      r.Blanks(pos + 114, 1).Zeros(pos + 115, 2).Zeros(pos + 117, 10).Wide(pos + 127, 36, "");
    }
  }
}

void YearBlock(FixedRecord& r, int pos, int year, const YearCounts& y) {
  r.Num(pos, 4, year);
  for (int i = 0; i < 4; ++i) r.Num(pos + 4 + 10 * i, 10, Cap(y.prize[i], 9999999999LL));
  pos += 44;
  auto six = [&](const int* v) {
    for (int i = 0; i < 6; ++i) r.Num(pos + 6 * i, 6, Cap(v[i], 999999));
    pos += 36;
  };
  six(y.flat);
  six(y.jump);
  for (int v = 0; v < 10; ++v) {
    six(y.venueFlat[v]);
    six(y.venueJump[v]);
  }
  for (const auto& row : y.distance) six(row);
}

void Counts(FixedRecord& r, int pos, const Person& p, const Date& made) {
  YearBlock(r, pos, made.y, p.counts.Year(made.y));
  YearBlock(r, pos + 1052, made.y - 1, p.counts.Year(made.y - 1));
  YearBlock(r, pos + 2104, 0, p.counts.Career());
}

void FirstRunBlock(FixedRecord& r, int pos, const FirstRun& run, bool withPosition) {
  if (run.key.empty()) {
    r.Zeros(pos, 16).Zeros(pos + 16, 2).Zeros(pos + 18, 10).Wide(pos + 28, 36, "");
    if (withPosition) r.Zeros(pos + 64, 3);
    return;
  }
  r.Raw(pos, run.key)
      .Num(pos + 16, 2, run.starters)
      .Raw(pos + 18, run.pedigree)
      .Wide(pos + 28, 36, run.horseNameSj);
  if (withPosition) r.Num(pos + 64, 2, run.position).Zeros(pos + 66, 1);
}

}  // namespace

std::string KsRecord(const Jockey& j, const World& world, char kind, const Date& made) {
  FixedRecord r(kKsBytes);
  r.Raw(1, "KS").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, j.code);
  r.Num(17, 1, kind == '0' ? 1 : 0).Raw(18, j.license.Ymd()).Zeros(26, 8).Raw(34, j.birth.Ymd());
  r.Wide(42, 34, j.nameSj)
      .Wide(76, 34, "")
      .Text(110, 30, j.kanaSj)
      .Wide(140, 8, j.shortSj)
      .Text(148, 80, j.latin);
  r.Num(228, 1, j.sex)
      .Num(229, 1, j.qualification)
      .Num(230, 1, j.apprentice)
      .Num(231, 1, j.affiliation);
  r.Wide(232, 20, j.regionSj);
  if (j.trainer >= 0) {
    const Trainer& t = world.trainers[static_cast<size_t>(j.trainer)];
    r.Raw(252, t.code).Wide(257, 8, t.shortSj);
  } else {
    r.Zeros(252, 5).Wide(257, 8, "");
  }
  FirstRunBlock(r, 265, j.firstFlatRide, true);
  FirstRunBlock(r, 265 + 67, j.firstJumpRide, true);
  FirstRunBlock(r, 399, j.firstFlatWin, false);
  FirstRunBlock(r, 399 + 64, j.firstJumpWin, false);
  GradedWins(r, 527, j);
  Counts(r, 1016, j, made);
  return r.Finish();
}

std::string ChRecord(const Trainer& t, char kind, const Date& made) {
  FixedRecord r(kChBytes);
  r.Raw(1, "CH").Raw(3, std::string(1, kind)).Raw(4, made.Ymd()).Raw(12, t.code);
  r.Zeros(17, 1).Raw(18, t.license.Ymd()).Zeros(26, 8).Raw(34, t.birth.Ymd());
  r.Wide(42, 34, t.nameSj).Text(76, 30, t.kanaSj).Wide(106, 8, t.shortSj).Text(114, 80, t.latin);
  r.Num(194, 1, t.sex).Num(195, 1, t.affiliation).Wide(196, 20, t.regionSj);
  GradedWins(r, 216, t);
  Counts(r, 705, t, made);
  return r.Finish();
}

}  // namespace sorvix::feedgen
