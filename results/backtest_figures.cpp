#include "results/backtest_figures.h"

#include <algorithm>
#include <functional>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix {
namespace {

using GroupOf = std::function<const BacktestGroup&(const BacktestTally&)>;
using TicketOf = std::function<const TicketLine&(const BacktestTally&)>;

double Fraction(int64_t part, int64_t whole) {
  return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

Standout StandoutOf(const RateInterval& interval, double base) {
  if (interval.low > base) return Standout::Above;
  if (interval.high < base) return Standout::Below;
  return Standout::None;
}

// The days of a slice and the bootstrap draws over them.
struct SliceDays {
  std::vector<const BacktestTally*> tallies;
  std::vector<std::vector<uint32_t>> draws;
};

RateFigure HitRate(int64_t hits, int64_t trials, const RateFigure* base) {
  RateFigure f;
  f.value = Fraction(hits, trials);
  f.interval = WilsonInterval(hits, trials);
  if (base && trials > 0) {
    f.p = HitRateP(hits, trials, base->value);
    f.standout = StandoutOf(f.interval, base->value);
  }
  return f;
}

RateFigure ReturnRate(const SliceDays& days,
                      const std::function<DayAmount(const BacktestTally&)>& of,
                      const RateFigure* base) {
  std::vector<DayAmount> amounts;
  amounts.reserve(days.tallies.size());
  int64_t stake = 0, paid = 0;
  for (const BacktestTally* t : days.tallies) {
    amounts.push_back(of(*t));
    stake += amounts.back().stake;
    paid += amounts.back().paid;
  }
  RateFigure f;
  f.value = Fraction(paid, stake);
  f.interval =
      BootstrapReturnInterval(amounts, days.draws, base ? base->value : 0, base ? &f.p : nullptr);
  if (base && stake > 0) f.standout = StandoutOf(f.interval, base->value);
  return f;
}

GroupFigures Group(const SliceDays& days, const BacktestGroup& g, const GroupOf& of,
                   const GroupFigures* base) {
  GroupFigures f;
  f.counts = g;
  f.empty = g.runners == 0;
  f.few = g.wins < kFewHits;
  f.winRate = HitRate(g.wins, g.runners, base ? &base->winRate : nullptr);
  f.top2Rate = HitRate(g.top2, g.runners, base ? &base->top2Rate : nullptr);
  f.top3Rate = HitRate(g.top3, g.runners, base ? &base->top3Rate : nullptr);
  f.winReturn = ReturnRate(
      days,
      [&](const BacktestTally& t) {
        const BacktestGroup& d = of(t);
        return DayAmount{100 * d.runners, d.winReturn};
      },
      base ? &base->winReturn : nullptr);
  f.placeReturn = ReturnRate(
      days,
      [&](const BacktestTally& t) {
        const BacktestGroup& d = of(t);
        return DayAmount{100 * d.placeBets, d.placeReturn};
      },
      base ? &base->placeReturn : nullptr);
  f.winReturnLessMax = Fraction(g.winReturn - g.maxWin, 100 * g.runners);
  f.placeReturnLessMax = Fraction(g.placeReturn - g.maxPlace, 100 * g.placeBets);
  return f;
}

TicketFigures Ticket(const SliceDays& days, const TicketLine& l, const TicketOf& of,
                     const TicketFigures* base) {
  TicketFigures f;
  f.counts = l;
  f.empty = l.tickets == 0;
  f.few = l.hits < kFewHits;
  f.hitRate = HitRate(l.hits, l.tickets, base ? &base->hitRate : nullptr);
  f.returnRate = ReturnRate(
      days,
      [&](const BacktestTally& t) {
        const TicketLine& d = of(t);
        return DayAmount{d.stake, d.returned};
      },
      base ? &base->returnRate : nullptr);
  f.returnLessMax = Fraction(l.returned - l.maxReturn, l.stake);
  return f;
}

// Across the 28 signs, a value keeps its mark only when the
// Benjamini–Hochberg selection over the signs' p-values of its column
// keeps it too.
void SelectAcrossSigns(std::array<GroupFigures, kSignCount>& signs) {
  const std::array<RateFigure GroupFigures::*, 5> columns = {
      &GroupFigures::winRate, &GroupFigures::top2Rate, &GroupFigures::top3Rate,
      &GroupFigures::winReturn, &GroupFigures::placeReturn};
  for (RateFigure GroupFigures::*column : columns) {
    std::vector<double> p;
    for (const GroupFigures& g : signs) p.push_back((g.*column).p);
    std::vector<bool> kept = BenjaminiHochberg(p);
    for (size_t s = 0; s < signs.size(); ++s)
      if (!kept[s]) (signs[s].*column).standout = Standout::None;
  }
}

SliceDays DaysOf(const BacktestResult& result, BacktestSlice slice, const std::string& key) {
  SliceDays days;
  for (const BacktestDay& day : result.days) {
    if (slice == BacktestSlice::Total) {
      days.tallies.push_back(&day.total);
    } else if (slice == BacktestSlice::Month) {
      if (MonthOfLabel(day.label) == key) days.tallies.push_back(&day.total);
    } else if (auto it = day.byVenue.find(key); it != day.byVenue.end()) {
      days.tallies.push_back(&it->second);
    }
  }
  days.draws = DayResamples(days.tallies.size(), kBootstrapResamples, kBootstrapSeed);
  return days;
}

}  // namespace

const BacktestTally* SliceTally(const BacktestResult& result, BacktestSlice slice,
                                const std::string& key) {
  if (slice == BacktestSlice::Total) return &result.total;
  const auto& parts = slice == BacktestSlice::Month ? result.byMonth : result.byVenue;
  auto it = parts.find(key);
  return it == parts.end() ? nullptr : &it->second;
}

std::vector<std::string> VenuesInJraOrder(const BacktestResult& result) {
  std::vector<std::string> venues;
  for (int code = 1; code <= 10; ++code) {
    std::string name =
        Utf8(Cp932View::FromBytes(TrimRight(VenueName(Format("%02d", code)).bytes())));
    if (result.byVenue.count(name)) venues.push_back(name);
  }
  for (const auto& [name, tally] : result.byVenue)
    if (std::find(venues.begin(), venues.end(), name) == venues.end()) venues.push_back(name);
  return venues;
}

std::vector<BacktestDayTickets> SliceTimeline(const BacktestResult& result, BacktestSlice slice,
                                              const std::string& key) {
  std::vector<BacktestDayTickets> timeline;
  for (const BacktestDay& day : result.days) {
    const BacktestTally* t = nullptr;
    if (slice == BacktestSlice::Total ||
        (slice == BacktestSlice::Month && MonthOfLabel(day.label) == key))
      t = &day.total;
    else if (auto it = day.byVenue.find(key);
             slice == BacktestSlice::Venue && it != day.byVenue.end())
      t = &it->second;
    if (!t) continue;
    BacktestDayTickets point;
    point.label = day.label;
    for (int b = 0; b < kBetTypes; ++b) {
      point.stake[b] = t->tickets[b].stake;
      point.returned[b] = t->tickets[b].returned;
      point.maxReturn[b] = t->tickets[b].maxReturn;
    }
    timeline.push_back(std::move(point));
  }
  return timeline;
}

BacktestFigures FiguresOf(const BacktestResult& result, BacktestSlice slice,
                          const std::string& key) {
  BacktestFigures f;
  const BacktestTally* tally = SliceTally(result, slice, key);
  if (!tally) return f;
  const SliceDays days = DaysOf(result, slice, key);
  f.days = static_cast<int>(days.tallies.size());
  const BacktestTally& t = *tally;
  f.all = Group(
      days, t.all, [](const BacktestTally& d) -> const auto& { return d.all; }, nullptr);
  const GroupFigures* base = &f.all;
  for (int s = 0; s < kSignCount; ++s)
    f.signs[s] = Group(
        days, t.signs[s], [s](const BacktestTally& d) -> const auto& { return d.signs[s]; }, base);
  SelectAcrossSigns(f.signs);
  for (int i = 0; i < kBacktestFamilies; ++i)
    f.families[i] = Group(
        days, t.families[i], [i](const BacktestTally& d) -> const auto& { return d.families[i]; },
        base);
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      f.ranks[r][b] = Group(
          days, t.ranks[r][b],
          [ r, b ](const BacktestTally& d) -> const auto& { return d.ranks[r][b]; }, base);
  f.axis = Group(
      days, t.axis, [](const BacktestTally& d) -> const auto& { return d.axis; }, base);
  f.partner = Group(
      days, t.partner, [](const BacktestTally& d) -> const auto& { return d.partner; }, base);
  for (int b = 0; b < kBetTypes; ++b) {
    f.pools[b] = Ticket(
        days, t.pools[b], [b](const BacktestTally& d) -> const auto& { return d.pools[b]; },
        nullptr);
    f.tickets[b] = Ticket(
        days, t.tickets[b], [b](const BacktestTally& d) -> const auto& { return d.tickets[b]; },
        &f.pools[b]);
  }
  return f;
}

}  // namespace sorvix
