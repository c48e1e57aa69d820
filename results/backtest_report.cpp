#include "results/backtest_report.h"

#include <cinttypes>

#include "codes/cp932.h"
#include "codes/csv_cell.h"
#include "codes/text.h"

namespace sorvix {

double Percent(int64_t part, int64_t whole) {
  return whole > 0 ? static_cast<double>(part) * 100.0 / static_cast<double>(whole) : 0.0;
}

const char* SourceKey(EstimateSource source) {
  return source == EstimateSource::PredictedOdds ? "odds" : "racehorse";
}

std::string SignLabel(int sign) {
  static const char* kFamily[] = {"特", "赤", "緑", "橙", "青", "黄", "時"};
  const SignInfo& info = kSignInfo[static_cast<size_t>(sign)];
  std::string key = info.key;
  size_t digit = key.find_first_of("0123456789");
  bool single = info.family == SignFamily::Special || info.family == SignFamily::Blue ||
                info.family == SignFamily::Yellow || info.family == SignFamily::Time;
  std::string label = kFamily[static_cast<int>(info.family)];
  if (!single && digit != std::string::npos) label += key.substr(digit);
  return label;
}

std::string FamilyLabel(int family) {
  static const char* kLabels[] = {"赤", "緑", "橙", "青", "黄"};
  return kLabels[family];
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
         ", \"placeReturn\": " + I(g.placeReturn) + "}";
}

std::string TicketJson(const TicketLine& t) {
  return "{\"tickets\": " + I(t.tickets) + ", \"hits\": " + I(t.hits) +
         ", \"stake\": " + I(t.stake) + ", \"return\": " + I(t.returned) +
         ", \"maxReturn\": " + I(t.maxReturn) + ", \"refunded\": " + I(t.refunded) + "}";
}

std::string TallyJson(const BacktestTally& t, const std::string& indent) {
  std::string in = indent + "  ";
  std::string out = "\"signs\": {";
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
                    ", \"source\": " + JsonString(SourceKey(r.source)) + ",\n \"settings\": {";
  for (int s = 0; s < kSignCount; ++s)
    out += (s ? ", " : "") + JsonString(kSignInfo[s].key) + ": " + I(r.points.value[s]);
  out += "},\n \"dates\": " + I(r.dates) + ", \"races\": " + I(r.races) +
         ", \"skipped\": " + I(r.skipped) + ", \"cancelled\": " + (r.cancelled ? "true" : "false") +
         ",\n \"failed\": [";
  for (size_t i = 0; i < r.failed.size(); ++i)
    out += (i ? ", " : "") + std::string("{\"date\": ") + JsonString(LabelDate(r.failed[i].first)) +
           ", \"reason\": " + JsonString(r.failed[i].second) + "}";
  out += "],\n " + TallyJson(r.total, " ");
  if (by != BacktestBy::None) {
    out += ",\n \"by\": {";
    bool first = true;
    for (const auto* parts : Breakdown(r, by))
      for (const auto& [key, tally] : *parts) {
        out += (first ? "\n  " : ",\n  ") + JsonString(key) + ": {" + TallyJson(tally, "   ") + "}";
        first = false;
      }
    out += "}";
  }
  return out + "}\n";
}

namespace {

void CsvGroup(std::string& out, const std::string& scope, const std::string& section,
              const std::string& key, const BacktestGroup& g) {
  out += CsvCell(scope) + "," + section + "," + CsvCell(key) + ",," + I(g.runners) + "," +
         I(g.wins) + "," + I(g.top2) + "," + I(g.top3) + "," + I(g.winReturn) + "," +
         I(g.placeReturn) + "," + Format("%.1f", Percent(g.winReturn, g.runners * 100)) + "," +
         Format("%.1f", Percent(g.placeReturn, g.runners * 100)) + ",,,,,,,\n";
}

void CsvTally(std::string& out, const std::string& scope, const BacktestTally& t) {
  for (int s = 0; s < kSignCount; ++s) CsvGroup(out, scope, "sign", kSignInfo[s].key, t.signs[s]);
  for (int f = 0; f < kBacktestFamilies; ++f)
    CsvGroup(out, scope, "family", kBacktestFamilyKeys[f], t.families[f]);
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      CsvGroup(out, scope, kBacktestRankKeys[r], kRankBandKeys[b], t.ranks[r][b]);
  CsvGroup(out, scope, "mark", "axis", t.axis);
  CsvGroup(out, scope, "mark", "partner", t.partner);
  for (int b = 0; b < kBetTypes; ++b) {
    const TicketLine& l = t.tickets[b];
    out += CsvCell(scope) + ",ticket," + kBetTypeKeys[b] + ",,,,,,,,,," + I(l.tickets) + "," +
           I(l.hits) + "," + I(l.stake) + "," + I(l.returned) + "," + I(l.maxReturn) + "," +
           I(l.refunded) + "," + Format("%.1f", Percent(l.returned, l.stake)) + "\n";
  }
}

}  // namespace

std::string BacktestCsv(const BacktestResult& r, BacktestBy by) {
  std::string out =
      "scope,section,key,value,runners,wins,top2,top3,winReturn,placeReturn,winReturnRate,"
      "placeReturnRate,tickets,hits,stake,return,maxReturn,refunded,returnRate\n";
  auto input = [&](const std::string& key, const std::string& value) {
    out += "input,input," + CsvCell(key) + "," + CsvCell(value) + ",,,,,,,,,,,,,,,\n";
  };
  input("from", LabelDate(r.from));
  input("to", LabelDate(r.to));
  input("source", SourceKey(r.source));
  for (int s = 0; s < kSignCount; ++s) input(kSignInfo[s].key, I(r.points.value[s]));
  input("dates", I(r.dates));
  input("races", I(r.races));
  input("skipped", I(r.skipped));
  CsvTally(out, "全体", r.total);
  for (const auto* parts : Breakdown(r, by))
    for (const auto& [key, tally] : *parts) CsvTally(out, key, tally);
  return out;
}

}  // namespace sorvix
