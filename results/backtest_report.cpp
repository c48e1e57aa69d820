#include "results/backtest_report.h"

#include <cinttypes>

#include "analysis/column_texts.h"
#include "codes/cp932.h"
#include "codes/csv_cell.h"
#include "codes/text.h"
#include "results/backtest_figures.h"

namespace sorvix {

double Percent(int64_t part, int64_t whole) {
  return whole > 0 ? static_cast<double>(part) * 100.0 / static_cast<double>(whole) : 0.0;
}

const char* SourceKey(EstimateSource source) {
  return source == EstimateSource::PredictedOdds ? "odds" : "racehorse";
}

const char* EstimateKey(EstimateSource source) {
  return source == EstimateSource::PredictedOdds ? "predicted-odds" : "counts-before-meeting";
}

std::string SignLabel(int sign) {
  return SignHeadingOf(SignAt(sign)).Joined();
}

std::string FamilyLabel(int family) {
  return FamilyName(static_cast<SignFamily>(static_cast<int>(SignFamily::Red) + family));
}

std::string RankLabel(int rank) {
  static const char* kLabels[] = {"ｱｳｪｲ順位", "ﾎｰﾑ順位", "枠順位", "推定順位"};
  return kLabels[rank];
}

std::string BetTypeLabel(int betType) {
  static const char* kLabels[] = {"3連複", "馬連", "ワイド", "馬単"};
  return kLabels[betType];
}

namespace {

std::string I(int64_t v) {
  return Format("%" PRId64, v);
}

std::string GroupJson(const BacktestGroup& g) {
  return "{\"runners\": " + I(g.runners) + ", \"wins\": " + I(g.wins) + ", \"top2\": " + I(g.top2) +
         ", \"top3\": " + I(g.top3) + ", \"winReturn\": " + I(g.winReturn) +
         ", \"placeReturn\": " + I(g.placeReturn) + ", \"placeBets\": " + I(g.placeBets) +
         ", \"maxWin\": " + I(g.maxWin) + ", \"maxPlace\": " + I(g.maxPlace) + "}";
}

std::string TicketJson(const TicketLine& t) {
  return "{\"tickets\": " + I(t.tickets) + ", \"hits\": " + I(t.hits) +
         ", \"stake\": " + I(t.stake) + ", \"return\": " + I(t.returned) +
         ", \"maxReturn\": " + I(t.maxReturn) + ", \"refunded\": " + I(t.refunded) + "}";
}

std::string TallyJson(const BacktestTally& t, const std::string& indent) {
  std::string in = indent + "  ";
  std::string out = "\"all\": " + GroupJson(t.all) + ",\n" + indent + "\"pools\": {";
  for (int b = 0; b < kBetTypes; ++b)
    out += (b ? ", " : "") + JsonString(kBetTypeKeys[b]) + ": " + TicketJson(t.pools[b]);
  out += "},\n" + indent + "\"signs\": {";
  for (int s = 0; s < kSignCount; ++s)
    out += (s ? ",\n" : "\n") + in + JsonString(kSignInfo[s].key) + ": " + GroupJson(t.signs[s]);
  out += "},\n" + indent + "\"families\": {";
  for (int f = 0; f < kBacktestFamilies; ++f)
    out += (f ? ",\n" : "\n") + in + JsonString(kBacktestFamilyKeys[f]) + ": " +
           GroupJson(t.families[f]);
  out += "},\n" + indent + "\"ranks\": {";
  for (int r = 0; r < kBacktestRanks; ++r) {
    out += (r ? ",\n" : "\n") + in + JsonString(kBacktestRankKeys[r]) + ": {";
    for (int b = 0; b < kRankBands; ++b)
      out += (b ? ", " : "") + JsonString(kRankBandKeys[b]) + ": " + GroupJson(t.ranks[r][b]);
    out += "}";
  }
  out += "},\n" + indent + "\"marks\": {\"axis\": " + GroupJson(t.axis) +
         ", \"partner\": " + GroupJson(t.partner) + "},\n" + indent + "\"tickets\": {";
  for (int b = 0; b < kBetTypes; ++b)
    out += (b ? ",\n" : "\n") + in + JsonString(kBetTypeKeys[b]) + ": " + TicketJson(t.tickets[b]);
  return out + "}";
}

std::string D(double v) {
  return Format("%.4f", v);
}

std::string RateJson(const RateFigure& f) {
  return "{\"value\": " + D(f.value) + ", \"low\": " + D(f.interval.low) +
         ", \"high\": " + D(f.interval.high) +
         ", \"standout\": " + I(static_cast<int>(f.standout)) + "}";
}

std::string GroupFiguresJson(const GroupFigures& g) {
  return "{\"winRate\": " + RateJson(g.winRate) + ", \"top2Rate\": " + RateJson(g.top2Rate) +
         ", \"top3Rate\": " + RateJson(g.top3Rate) + ", \"winReturn\": " + RateJson(g.winReturn) +
         ", \"placeReturn\": " + RateJson(g.placeReturn) +
         ", \"winReturnLessMax\": " + D(g.winReturnLessMax) +
         ", \"placeReturnLessMax\": " + D(g.placeReturnLessMax) +
         ", \"few\": " + (g.few ? "true" : "false") +
         ", \"empty\": " + (g.empty ? "true" : "false") + "}";
}

std::string TicketFiguresJson(const TicketFigures& t) {
  return "{\"hitRate\": " + RateJson(t.hitRate) + ", \"returnRate\": " + RateJson(t.returnRate) +
         ", \"returnLessMax\": " + D(t.returnLessMax) + ", \"few\": " + (t.few ? "true" : "false") +
         ", \"empty\": " + (t.empty ? "true" : "false") + "}";
}

// Hit rates with Wilson 95 % intervals, returns with race-day bootstrap
// 95 % intervals, and whether each stands out from the base rate.
std::string FiguresJson(const BacktestFigures& f, const std::string& indent) {
  std::string in = indent + "  ";
  std::string out = "\"figures\": {\"days\": " + I(f.days) + ",\n" + in +
                    "\"all\": " + GroupFiguresJson(f.all) + ",\n" + in + "\"pools\": {";
  for (int b = 0; b < kBetTypes; ++b)
    out += (b ? ", " : "") + JsonString(kBetTypeKeys[b]) + ": " + TicketFiguresJson(f.pools[b]);
  out += "},\n" + in + "\"signs\": {";
  for (int s = 0; s < kSignCount; ++s)
    out += (s ? ",\n" : "\n") + in + " " + JsonString(kSignInfo[s].key) + ": " +
           GroupFiguresJson(f.signs[s]);
  out += "},\n" + in + "\"families\": {";
  for (int i = 0; i < kBacktestFamilies; ++i)
    out += (i ? ",\n" : "\n") + in + " " + JsonString(kBacktestFamilyKeys[i]) + ": " +
           GroupFiguresJson(f.families[i]);
  out += "},\n" + in + "\"ranks\": {";
  for (int r = 0; r < kBacktestRanks; ++r) {
    out += (r ? ",\n" : "\n") + in + " " + JsonString(kBacktestRankKeys[r]) + ": {";
    for (int b = 0; b < kRankBands; ++b)
      out +=
          (b ? ", " : "") + JsonString(kRankBandKeys[b]) + ": " + GroupFiguresJson(f.ranks[r][b]);
    out += "}";
  }
  out += "},\n" + in + "\"marks\": {\"axis\": " + GroupFiguresJson(f.axis) +
         ", \"partner\": " + GroupFiguresJson(f.partner) + "},\n" + in + "\"tickets\": {";
  for (int b = 0; b < kBetTypes; ++b)
    out += (b ? ", " : "") + JsonString(kBetTypeKeys[b]) + ": " + TicketFiguresJson(f.tickets[b]);
  return out + "}}";
}

// The parts of a breakdown, months before venues.
std::vector<const std::map<std::string, BacktestTally>*> Breakdown(const BacktestResult& r,
                                                                   BacktestBy by) {
  std::vector<const std::map<std::string, BacktestTally>*> parts;
  if (by == BacktestBy::Month || by == BacktestBy::MonthAndVenue) parts.push_back(&r.byMonth);
  if (by == BacktestBy::Venue || by == BacktestBy::MonthAndVenue) parts.push_back(&r.byVenue);
  return parts;
}

std::string LabelDate(Cp932View label) {
  return label.size() >= 14 ? IsoDateOfLabel(label) : Utf8(label);
}

}  // namespace

std::string BacktestJson(const BacktestResult& r, BacktestBy by) {
  std::string out = "{\"from\": " + JsonString(LabelDate(r.from)) +
                    ", \"to\": " + JsonString(LabelDate(r.to)) +
                    ", \"source\": " + JsonString(SourceKey(r.source)) +
                    ", \"estimate\": " + JsonString(EstimateKey(r.source)) +
                    ", \"countsNotRebuilt\": " + I(r.countsNotRebuilt) +
                    ", \"odds\": {\"dates\": " + I(r.oddsDates) + ", \"races\": " + I(r.oddsRaces) +
                    ", \"runners\": " + I(r.oddsRunners) + "},\n \"settings\": {";
  for (int s = 0; s < kSignCount; ++s)
    out += (s ? ", " : "") + JsonString(kSignInfo[s].key) + ": " + I(r.points.value[s]);
  out += "},\n \"dates\": " + I(r.dates) + ", \"races\": " + I(r.races) +
         ", \"skipped\": " + I(r.skipped) + ", \"cancelled\": " + (r.cancelled ? "true" : "false") +
         ",\n \"failed\": [";
  for (size_t i = 0; i < r.failed.size(); ++i)
    out += (i ? ", " : "") + std::string("{\"date\": ") + JsonString(LabelDate(r.failed[i].first)) +
           ", \"reason\": " + JsonString(r.failed[i].second) + "}";
  out += "],\n \"state\": " + JsonString(StateKey(r)) + ",\n " + TallyJson(r.total, " ") + ",\n " +
         FiguresJson(FiguresOf(r), " ");
  if (by != BacktestBy::None) {
    out += ",\n \"by\": {";
    bool first = true;
    for (const auto* parts : Breakdown(r, by))
      for (const auto& [key, tally] : *parts) {
        out += (first ? "\n  " : ",\n  ") + JsonString(key) + ": {" + TallyJson(tally, "   ") +
               ",\n   " +
               FiguresJson(
                   FiguresOf(r, parts == &r.byMonth ? BacktestSlice::Month : BacktestSlice::Venue,
                             key),
                   "   ") +
               "}";
        first = false;
      }
    out += "}";
  }
  return out + "}\n";
}

namespace {

const std::vector<std::string> kCsvColumns = {"scope",
                                              "section",
                                              "key",
                                              "value",
                                              "runners",
                                              "wins",
                                              "top2",
                                              "top3",
                                              "winReturn",
                                              "placeReturn",
                                              "winReturnRate",
                                              "placeReturnRate",
                                              "tickets",
                                              "hits",
                                              "stake",
                                              "return",
                                              "maxReturn",
                                              "refunded",
                                              "returnRate",
                                              "placeBets",
                                              "maxWin",
                                              "maxPlace",
                                              "winRate",
                                              "winRateLow",
                                              "winRateHigh",
                                              "top2Rate",
                                              "top2RateLow",
                                              "top2RateHigh",
                                              "top3Rate",
                                              "top3RateLow",
                                              "top3RateHigh",
                                              "winReturnLow",
                                              "winReturnHigh",
                                              "placeReturnLow",
                                              "placeReturnHigh",
                                              "winReturnLessMax",
                                              "placeReturnLessMax",
                                              "hitRate",
                                              "hitRateLow",
                                              "hitRateHigh",
                                              "returnLow",
                                              "returnHigh",
                                              "returnLessMax",
                                              "standout",
                                              "few"};

// One CSV line, its cells by column name.
class CsvRow {
 public:
  CsvRow() : cells_(kCsvColumns.size()) {}
  CsvRow& Set(const std::string& column, const std::string& value) {
    for (size_t c = 0; c < kCsvColumns.size(); ++c)
      if (kCsvColumns[c] == column) cells_[c] = value;
    return *this;
  }
  CsvRow& Rate(const std::string& column, const RateFigure& f, bool withValue = true) {
    if (withValue) Set(column, P1(f.value));
    Set(column + "Low", P1(f.interval.low));
    Set(column + "High", P1(f.interval.high));
    if (f.standout != Standout::None)
      standout_ +=
          (standout_.empty() ? "" : " ") + column + (f.standout == Standout::Above ? "+" : "-");
    return *this;
  }
  void AppendTo(std::string& out) {
    Set("standout", standout_);
    out += CsvLine(cells_);
  }
  static std::string P1(double fraction) { return Format("%.1f", 100 * fraction); }

 private:
  std::vector<std::string> cells_;
  std::string standout_;
};

void CsvGroup(std::string& out, const std::string& scope, const std::string& section,
              const std::string& key, const GroupFigures& f) {
  const BacktestGroup& g = f.counts;
  CsvRow line;
  line.Set("scope", scope).Set("section", section).Set("key", key);
  line.Set("runners", I(g.runners)).Set("wins", I(g.wins)).Set("top2", I(g.top2));
  line.Set("top3", I(g.top3)).Set("winReturn", I(g.winReturn));
  line.Set("placeReturn", I(g.placeReturn)).Set("placeBets", I(g.placeBets));
  line.Set("maxWin", I(g.maxWin)).Set("maxPlace", I(g.maxPlace));
  line.Set("winReturnRate", CsvRow::P1(f.winReturn.value))
      .Set("placeReturnRate", CsvRow::P1(f.placeReturn.value));
  line.Rate("winRate", f.winRate).Rate("top2Rate", f.top2Rate).Rate("top3Rate", f.top3Rate);
  line.Rate("winReturn", f.winReturn, false).Rate("placeReturn", f.placeReturn, false);
  line.Set("winReturnLessMax", CsvRow::P1(f.winReturnLessMax))
      .Set("placeReturnLessMax", CsvRow::P1(f.placeReturnLessMax));
  line.Set("few", f.few ? "1" : "0");
  line.AppendTo(out);
}

void CsvTicket(std::string& out, const std::string& scope, const std::string& section,
               const std::string& key, const TicketFigures& f) {
  const TicketLine& l = f.counts;
  CsvRow line;
  line.Set("scope", scope).Set("section", section).Set("key", key);
  line.Set("tickets", I(l.tickets)).Set("hits", I(l.hits)).Set("stake", I(l.stake));
  line.Set("return", I(l.returned)).Set("maxReturn", I(l.maxReturn));
  line.Set("refunded", I(l.refunded)).Set("returnRate", CsvRow::P1(f.returnRate.value));
  line.Rate("hitRate", f.hitRate).Rate("return", f.returnRate, false);
  line.Set("returnLessMax", CsvRow::P1(f.returnLessMax)).Set("few", f.few ? "1" : "0");
  line.AppendTo(out);
}

void CsvTally(std::string& out, const std::string& scope, const BacktestFigures& f) {
  CsvGroup(out, scope, "all", "all", f.all);
  for (int s = 0; s < kSignCount; ++s) CsvGroup(out, scope, "sign", kSignInfo[s].key, f.signs[s]);
  for (int i = 0; i < kBacktestFamilies; ++i)
    CsvGroup(out, scope, "family", kBacktestFamilyKeys[i], f.families[i]);
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      CsvGroup(out, scope, kBacktestRankKeys[r], kRankBandKeys[b], f.ranks[r][b]);
  CsvGroup(out, scope, "mark", "axis", f.axis);
  CsvGroup(out, scope, "mark", "partner", f.partner);
  for (int b = 0; b < kBetTypes; ++b) CsvTicket(out, scope, "pool", kBetTypeKeys[b], f.pools[b]);
  for (int b = 0; b < kBetTypes; ++b)
    CsvTicket(out, scope, "ticket", kBetTypeKeys[b], f.tickets[b]);
}

}  // namespace

const char* StateKey(const BacktestResult& r) {
  if (r.cancelled) return "cancelled";
  return r.failed.empty() ? "complete" : "partly-failed";
}

std::string StateText(const BacktestResult& r) {
  if (r.cancelled)
    return "中止しました。途中までの " + std::to_string(r.dates) + " 開催日の結果です";
  if (!r.failed.empty())
    return "一部の開催日を読み込めませんでした（" + std::to_string(r.failed.size()) +
           " 日）。読み込めた " + std::to_string(r.dates) + " 開催日の結果です";
  return "完了（" + std::to_string(r.dates) + " 開催日）";
}

std::string BacktestCsv(const BacktestResult& r, BacktestBy by) {
  // A byte-order mark, as every CSV of the program has.
  std::string out = "\xEF\xBB\xBF";
  out += CsvLine(kCsvColumns);
  auto input = [&](const std::string& key, const std::string& value) {
    CsvRow()
        .Set("scope", "input")
        .Set("section", "input")
        .Set("key", key)
        .Set("value", value)
        .AppendTo(out);
  };
  input("state", StateKey(r));
  input("stateText", StateText(r));
  for (const auto& [label, reason] : r.failed)
    input("failed", (label.empty() ? std::string() : LabelDate(label) + ": ") + reason);
  input("from", LabelDate(r.from));
  input("to", LabelDate(r.to));
  input("source", SourceKey(r.source));
  input("estimate", EstimateKey(r.source));
  input("countsNotRebuilt", I(r.countsNotRebuilt));
  if (r.source == EstimateSource::PredictedOdds) {
    input("oddsDates", I(r.oddsDates));
    input("oddsRaces", I(r.oddsRaces));
    input("oddsRunners", I(r.oddsRunners));
  }
  for (int s = 0; s < kSignCount; ++s) input(kSignInfo[s].key, I(r.points.value[s]));
  input("dates", I(r.dates));
  input("races", I(r.races));
  input("skipped", I(r.skipped));
  input("intervals", "的中率: Wilson 95%, 回収率: 開催日単位のブートストラップ 95% (" +
                         std::to_string(kBootstrapResamples) + " 回, seed " +
                         std::to_string(kBootstrapSeed) + ")");
  CsvTally(out, "全体", FiguresOf(r));
  for (const auto* parts : Breakdown(r, by))
    for (const auto& [key, tally] : *parts)
      CsvTally(
          out, key,
          FiguresOf(r, parts == &r.byMonth ? BacktestSlice::Month : BacktestSlice::Venue, key));
  return out;
}

}  // namespace sorvix
