#include "tools/feedgen/counts.h"

namespace sorvix::feedgen {
namespace {

int DistanceBand(bool turf, int distance) {
  int band = distance <= 1600 ? 0 : distance <= 2200 ? 1 : 2;
  return turf ? band : 3 + band;
}

}  // namespace

void HorseCounts::Add(const RunFacts& run, bool isCentral) {
  int p = PlaceIndex(run.position);
  ++total[p];
  ++races;
  if (!isCentral) return;
  ++central[p];
  int going4 = (run.going >= 1 && run.going <= 4 ? run.going : 1) - 1;
  if (run.jump) {
    ++track[6][p];
    ++going[8 + going4][p];
    prize[1] += run.prize;
    prize[3] += run.addedPrize;
    if (run.position == 1) prize[5] += run.prize;
  } else {
    ++track[(run.turf ? 0 : 3) + run.turn][p];
    ++going[(run.turf ? 0 : 4) + going4][p];
    ++distance[DistanceBand(run.turf, run.distance)][p];
    prize[0] += run.prize;
    prize[2] += run.addedPrize;
    if (run.position == 1) prize[4] += run.prize;
  }
  if (run.style >= 1 && run.style <= 4) ++style[run.style - 1];
}

void YearCounts::Add(const RunFacts& run) {
  int p = PlaceIndex(run.position);
  int v = run.venue >= 1 && run.venue <= 10 ? run.venue - 1 : 0;
  if (run.jump) {
    ++jump[p];
    ++venueJump[v][p];
    prize[1] += run.prize;
    prize[3] += run.addedPrize;
  } else {
    ++flat[p];
    ++venueFlat[v][p];
    ++distance[DistanceBand(run.turf, run.distance)][p];
    prize[0] += run.prize;
    prize[2] += run.addedPrize;
  }
}

void YearCounts::AddAll(const YearCounts& o) {
  for (int i = 0; i < 4; ++i) prize[i] += o.prize[i];
  for (int p = 0; p < 6; ++p) {
    flat[p] += o.flat[p];
    jump[p] += o.jump[p];
    for (int v = 0; v < 10; ++v) {
      venueFlat[v][p] += o.venueFlat[v][p];
      venueJump[v][p] += o.venueJump[v][p];
    }
    for (int b = 0; b < 6; ++b) distance[b][p] += o.distance[b][p];
  }
}

YearCounts PersonCounts::Year(int year) const {
  auto it = years.find(year);
  return it == years.end() ? YearCounts{} : it->second;
}

YearCounts PersonCounts::Career() const {
  YearCounts all = earlier;
  for (const auto& [year, counts] : years) all.AddAll(counts);
  return all;
}

}  // namespace sorvix::feedgen
