#include "results/tune_run.h"

#include <algorithm>
#include <cmath>

#include "codes/text.h"
#include "common/record_fields.h"
#include "results/backtest_figures.h"

namespace sorvix {

std::optional<TuneFold> FoldOfRange(const TuneData& data, Cp932View trainFrom, Cp932View trainTo,
                                    Cp932View testFrom, Cp932View testTo) {
  auto period = [&](Cp932View from, Cp932View to) -> std::optional<TunePeriod> {
    std::optional<TunePeriod> p;
    for (size_t i = 0; i < data.dates.size(); ++i) {
      Cp932View d = data.dates[i].view();
      if ((!from.empty() && d < from) || (!to.empty() && d > to)) continue;
      if (!p) p = TunePeriod{i, i};
      p->last = i;
    }
    return p;
  };
  auto train = period(trainFrom, trainTo);
  auto test = period(testFrom, testTo);
  if (!train || !test) return std::nullopt;
  return TuneFold{*train, *test};
}

std::vector<TuneFold> YearlyFolds(const TuneData& data) {
  std::vector<TuneFold> folds;
  // The first and last date index of each year, in order.
  std::vector<TunePeriod> years;
  std::string year;
  for (size_t i = 0; i < data.dates.size(); ++i) {
    std::string y(Field(data.dates[i].bytes(), date_label::kYear));
    if (years.empty() || y != year) years.push_back({i, i});
    years.back().last = i;
    year = y;
  }
  for (size_t y = 0; y + 1 < years.size(); ++y)
    folds.push_back(TuneFold{{0, years[y].last}, years[y + 1]});
  return folds;
}

namespace {

struct RowDef {
  const char* key;
  const char* label;
  bool isReturn;
  Fraction (*figure)(const TuneScore&);
  Fraction (*base)(const TuneBase&);
};

Fraction Top3(const BacktestGroup& g) {
  return {g.top3, g.runners};
}
Fraction Wins(const BacktestGroup& g) {
  return {g.wins, g.runners};
}
Fraction WinReturn(const BacktestGroup& g) {
  return {g.winReturn, g.runners * 100};
}
Fraction PlaceReturn(const BacktestGroup& g) {
  return {g.placeReturn, g.placeBets * 100};
}
const BacktestGroup& FirstBand(const TuneScore& s, BacktestRank r) {
  return s.tally.ranks[static_cast<int>(r)][0];
}
template <BetType T>
Fraction TicketHits(const TuneScore& s) {
  const TicketLine& l = s.tally.tickets[static_cast<int>(T)];
  return {l.hits, l.tickets};
}
template <BetType T>
Fraction EveryHits(const TuneBase& b) {
  const TicketLine& l = b.everyTicket[static_cast<int>(T)];
  return {l.hits, l.tickets};
}
template <BetType T>
Fraction TicketReturn(const TuneScore& s) {
  const TicketLine& l = s.tally.tickets[static_cast<int>(T)];
  return {l.returned, l.stake};
}
template <BetType T>
Fraction EveryReturn(const TuneBase& b) {
  const TicketLine& l = b.everyTicket[static_cast<int>(T)];
  return {l.returned, l.stake};
}

// The figures of the report after the objective (runner figures against
// every runner, ticket figures against every combination).
const RowDef kRows[] = {
    {"axisWinRate", "◎ 勝率", false, [](const TuneScore& s) { return Wins(s.mainAxis); },
     [](const TuneBase& b) { return RaceMean(b.raceWins, b.races); }},
    {"axisTop3Rate", "◎ 複勝率", false, [](const TuneScore& s) { return Top3(s.mainAxis); },
     [](const TuneBase& b) { return RaceMean(b.raceTop3, b.races); }},
    {"axisWinReturn", "◎ 単勝回収率", true,
     [](const TuneScore& s) { return WinReturn(s.mainAxis); },
     [](const TuneBase& b) { return RaceMean(b.raceWinReturn, b.races); }},
    {"axisPlaceReturn", "◎ 複勝回収率", true,
     [](const TuneScore& s) { return PlaceReturn(s.mainAxis); },
     [](const TuneBase& b) { return RaceMean(b.racePlaceReturn, b.placeRaces); }},
    {"axesTop3Rate", "軸（◎●▲） 複勝率", false,
     [](const TuneScore& s) { return Top3(s.tally.axis); },
     [](const TuneBase& b) { return RaceMean(b.raceTop3, b.races); }},
    {"axesPlaceReturn", "軸（◎●▲） 複勝回収率", true,
     [](const TuneScore& s) { return PlaceReturn(s.tally.axis); },
     [](const TuneBase& b) { return RaceMean(b.racePlaceReturn, b.placeRaces); }},
    {"away1Top3Rate", "ｱｳｪｲ順位1 複勝率", false,
     [](const TuneScore& s) { return Top3(FirstBand(s, BacktestRank::Away)); },
     [](const TuneBase& b) { return RaceMean(b.raceTop3, b.races); }},
    {"home1Top3Rate", "ﾎｰﾑ順位1 複勝率", false,
     [](const TuneScore& s) { return Top3(FirstBand(s, BacktestRank::Home)); },
     [](const TuneBase& b) { return RaceMean(b.raceTop3, b.races); }},
    {"bracket1Top3Rate", "枠順位1 複勝率", false,
     [](const TuneScore& s) { return Top3(FirstBand(s, BacktestRank::Bracket)); },
     [](const TuneBase& b) { return RaceMean(b.raceTop3, b.races); }},
    {"trioHitRate", "3連複 的中率", false, TicketHits<BetType::Trio>, EveryHits<BetType::Trio>},
    {"trioReturn", "3連複 回収率", true, TicketReturn<BetType::Trio>, EveryReturn<BetType::Trio>},
    {"quinellaHitRate", "馬連 的中率", false, TicketHits<BetType::Quinella>,
     EveryHits<BetType::Quinella>},
    {"quinellaReturn", "馬連 回収率", true, TicketReturn<BetType::Quinella>,
     EveryReturn<BetType::Quinella>},
    {"wideHitRate", "ワイド 的中率", false, TicketHits<BetType::Wide>, EveryHits<BetType::Wide>},
    {"wideReturn", "ワイド 回収率", true, TicketReturn<BetType::Wide>, EveryReturn<BetType::Wide>},
    {"exactaHitRate", "馬単 的中率", false, TicketHits<BetType::Exacta>,
     EveryHits<BetType::Exacta>},
    {"exactaReturn", "馬単 回収率", true, TicketReturn<BetType::Exacta>,
     EveryReturn<BetType::Exacta>},
};

// The test dates of every fold with their scores, for the rows.
struct TestDays {
  std::vector<std::array<TuneScore, kTuneSets>> score;  // per test date
  TuneBase base;
};

template <typename Figure>
std::vector<DayAmount> AmountsOf(const TestDays& days, int set, Figure figure) {
  std::vector<DayAmount> amounts;
  amounts.reserve(days.score.size());
  for (const auto& d : days.score) {
    Fraction f = figure(d[static_cast<size_t>(set)]);
    amounts.push_back({f.whole, f.part});
  }
  return amounts;
}

// A percentage interval of a rate interval (fractions).
RateInterval InPercent(const RateInterval& i) {
  return {100 * i.low, 100 * i.high};
}

// The race-day draws of the test dates, as サイン検証 draws them.
std::vector<std::vector<uint32_t>> DrawsOf(size_t days) {
  return DayResamples(days, kBootstrapResamples, kBootstrapSeed);
}

template <typename Figure>
TuneFigureRow MakeRow(const char* key, const char* label, bool isReturn, Fraction base,
                      const TestDays& days, Figure figure,
                      const std::vector<std::vector<uint32_t>>& draws,
                      std::vector<double>& pValues) {
  TuneFigureRow row;
  row.key = key;
  row.label = label;
  row.isReturn = isReturn;
  row.base = base;
  for (int set = 0; set < kTuneSets; ++set) {
    TuneScore sum;
    for (const auto& d : days.score) sum.Add(d[static_cast<size_t>(set)]);
    Fraction f = figure(sum);
    row.figure[set] = f;
    double p = 1;
    const double chance = base.Percent() / 100;
    if (isReturn) {
      row.interval[set] =
          InPercent(BootstrapReturnInterval(AmountsOf(days, set, figure), draws, chance, &p));
    } else {
      row.interval[set] = InPercent(WilsonInterval(f.part, f.whole));
      p = HitRateP(f.part, f.whole, chance);
    }
    row.clears[set] = f.whole > 0 && row.interval[set].low > base.Percent();
    pValues.push_back(p);
  }
  return row;
}

// The rows of the test dates.  A figure is marked only when its interval
// clears the base rate and it survives the Benjamini–Hochberg correction
// over every figure of the table; the objective's edge is its own
// interval against the base rate (the one figure the tuning aimed at).
void MakeRows(TuneResult& result, const TestDays& days) {
  std::vector<double> pValues;
  const std::vector<std::vector<uint32_t>> draws = DrawsOf(days.score.size());
  const TuneObjective objective = result.objective;
  const TuneObjectiveInfo& info = InfoOf(objective);
  std::string goalKey = std::string("objective:") + info.key;
  result.rows.push_back(MakeRow(
      goalKey.c_str(), info.label, info.isReturn, ObjectiveBase(objective, days.base), days,
      [objective](const TuneScore& s) { return ObjectiveFigure(objective, s); }, draws, pValues));
  for (const RowDef& def : kRows)
    if (std::string_view(def.label) != info.label)  // the objective is the first row already
      result.rows.push_back(MakeRow(def.key, def.label, def.isReturn, def.base(days.base), days,
                                    def.figure, draws, pValues));
  std::vector<bool> kept = BenjaminiHochberg(pValues);
  for (size_t r = 0; r < result.rows.size(); ++r)
    for (int set = 0; set < kTuneSets; ++set)
      result.rows[r].clears[set] =
          result.rows[r].clears[set] && kept[r * kTuneSets + static_cast<size_t>(set)];
  const TuneFigureRow& goalRow = result.rows.front();
  result.edge = goalRow.figure[0].whole > 0 && goalRow.interval[0].low > goalRow.base.Percent();
}

std::string Pct(double v) {
  return Format("%.1f%%", v);
}

// The fold's figure of the tuned points over its test dates, with its
// interval.
void JudgeFold(const TestDays& days, size_t firstDay, TuneObjective objective,
               TuneFoldResult& fold) {
  std::vector<DayAmount> amounts;
  for (size_t d = firstDay; d < days.score.size(); ++d)
    for (int set = 0; set < kTuneSets; ++set) {
      Fraction f = ObjectiveFigure(objective, days.score[d][static_cast<size_t>(set)]);
      fold.test[set].part += f.part;
      fold.test[set].whole += f.whole;
      if (set == 0) amounts.push_back({f.whole, f.part});
    }
  fold.testInterval = InPercent(InfoOf(objective).isReturn
                                    ? BootstrapReturnInterval(amounts, DrawsOf(amounts.size()))
                                    : WilsonInterval(fold.test[0].part, fold.test[0].whole));
}

// Tunes one fold on its training dates, then scores its test dates.
TuneFoldResult RunFold(const TuneData& data, const TuneFold& fold, int index, int folds,
                       const TuneRunOptions& options, TestDays& days, bool& cancelled) {
  TuneFoldResult r;
  r.fold = fold;
  r.trainFrom = data.dates[fold.train.first];
  r.trainTo = data.dates[fold.train.last];
  r.testFrom = data.dates[fold.test.first];
  r.testTo = data.dates[fold.test.last];
  RaceRange train = RacesOfDates(data, fold.train.first, fold.train.last);
  TuneSearchOptions search;
  search.objective = options.objective;
  search.start = options.current;
  search.seed = options.seed;
  search.restarts = options.restarts;
  search.sweeps = options.sweeps;
  search.candidates = options.candidates;
  search.workers = options.workers;
  search.cancel = options.cancel;
  if (options.progress)
    search.progress = [&](int scored, int most) { options.progress(index, folds, scored, most); };
  TuneSearchResult found = SearchPoints(data, train, search);
  cancelled = found.cancelled;
  r.tuned = found.best;
  r.candidates = found.candidates;
  const std::array<SignPoints, kTuneSets> sets = {found.best, options.current,
                                                  SignPoints::Defaults()};
  for (int set = 0; set < kTuneSets; ++set)
    r.train[set] =
        ObjectiveFigure(options.objective, ScoreRaces(data, train.begin, train.end, sets[set]));
  r.trainRaces = static_cast<int>(train.end - train.begin);
  if (cancelled) return r;

  // Only now, with the points fixed, are the test dates scored.
  size_t firstDay = days.score.size();
  for (size_t d = fold.test.first; d <= fold.test.last; ++d) {
    std::array<TuneScore, kTuneSets> day;
    for (int set = 0; set < kTuneSets; ++set)
      day[set] = ScoreRaces(data, data.dateBegin[d], data.dateBegin[d + 1], sets[set]);
    days.score.push_back(day);
  }
  RaceRange test = RacesOfDates(data, fold.test.first, fold.test.last);
  TuneBase base = BaseOfRaces(data, test.begin, test.end);
  days.base.Add(base);
  r.testRaces = static_cast<int>(test.end - test.begin);
  r.testBase = ObjectiveBase(options.objective, base);
  JudgeFold(days, firstDay, options.objective, r);
  return r;
}

// The plain sentences of the report.
void Verdict(TuneResult& result) {
  const TuneFigureRow& g = result.rows.front();
  const char* what = InfoOf(result.objective).label;
  double base = g.base.Percent();
  result.verdict.push_back(Format(
      "検証期間（%d 開催日、%d レース）の%s: 最適化した配点 %s（95%%区間 %s〜%s）、"
      "現在の配点 %s、初期値 %s、全馬 %s。",
      result.testDates, result.testRaces, what, Pct(g.figure[0].Percent()).c_str(),
      Pct(g.interval[0].low).c_str(), Pct(g.interval[0].high).c_str(),
      Pct(g.figure[1].Percent()).c_str(), Pct(g.figure[2].Percent()).c_str(), Pct(base).c_str()));
  result.verdict.push_back(
      result.edge ? Format("最適化した配点は、検証期間の区間が全馬の %s を上回りました。",
                           Pct(base).c_str())
                  : Format("最適化した配点は、検証期間の区間が全馬の %s を上回らないため、"
                           "優位性があるとは言えません。",
                           Pct(base).c_str()));
  double trainGain = result.train[0].Percent() - result.train[1].Percent();
  double testGain = g.figure[0].Percent() - g.figure[1].Percent();
  result.gainHeld = trainGain > 0 && testGain > 0;
  if (trainGain <= 0)
    result.verdict.push_back("訓練期間でも現在の配点を上回る配点は見つかりませんでした。");
  else if (testGain > 0)
    result.verdict.push_back(Format(
        "訓練期間で現在の配点を %.1f ポイント上回り、検証期間でも %.1f ポイント上回りました。",
        trainGain, testGain));
  else
    result.verdict.push_back(
        Format("訓練期間では現在の配点を %.1f ポイント上回りましたが、検証期間では %.1f ポイント"
               "下回り、訓練期間の改善は続きませんでした。",
               trainGain, -testGain));
  if (result.folds.size() > 1) {
    int held = 0;
    for (const TuneFoldResult& f : result.folds)
      if (f.train[0].Percent() > f.train[1].Percent() && f.test[0].Percent() > f.test[1].Percent())
        ++held;
    result.verdict.push_back(
        Format("%d 回の分割のうち %d 回で、訓練期間の改善が検証期間でも続きました。",
               static_cast<int>(result.folds.size()), held));
  }
}

}  // namespace

TuneResult RunTuning(const TuneData& data, const std::vector<TuneFold>& folds,
                     const TuneRunOptions& options) {
  TuneResult result;
  result.objective = options.objective;
  result.source = data.source;
  result.countsNotRebuilt = data.countsNotRebuilt;
  result.seed = options.seed;
  result.current = options.current;
  result.defaults = SignPoints::Defaults();
  result.tuned = options.current;
  TestDays days;
  for (size_t f = 0; f < folds.size() && !result.cancelled; ++f) {
    bool cancelled = false;
    TuneFoldResult fold = RunFold(data, folds[f], static_cast<int>(f),
                                  static_cast<int>(folds.size()), options, days, cancelled);
    result.candidates += fold.candidates;
    result.cancelled = cancelled;
    if (cancelled) break;
    for (int set = 0; set < kTuneSets; ++set) {
      result.train[set].part += fold.train[set].part;
      result.train[set].whole += fold.train[set].whole;
    }
    result.testDates += static_cast<int>(fold.fold.test.last - fold.fold.test.first + 1);
    result.testRaces += fold.testRaces;
    result.tuned = fold.tuned;
    result.folds.push_back(std::move(fold));
  }
  if (result.folds.empty()) return result;
  MakeRows(result, days);
  Verdict(result);
  return result;
}

}  // namespace sorvix
