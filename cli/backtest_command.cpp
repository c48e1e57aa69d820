// sorvix-cli backtest [--from DATE] [--to DATE] [--ini FILE] [--source
// racehorse|odds] [--by month|venue] [--format table|csv|json] [--workers N]:
// サイン検証 over the stored meeting dates of a range, with a progress line on
// stderr.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "cli/text_table.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "results/backtest.h"
#include "results/backtest_figures.h"
#include "results/backtest_report.h"
#include "store/estimate.h"
#include "store/store_paths.h"

namespace sorvix::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "使い方: sorvix-cli backtest [--from DATE] [--to DATE] [--ini FILE] "
               "[--source racehorse|odds] [--by month|venue] [--format table|csv|json] "
               "[--workers N]\n");
  return 2;
}

std::string N(int64_t v) {
  return Format("%" PRId64, v);
}

// A rate with its 95 % interval, "*" after it when it stands out from the
// base rate (above: "+", below: "-").
std::string R(const RateFigure& f) {
  const char* mark = f.standout == Standout::Above ? "+" : f.standout == Standout::Below ? "-" : "";
  return Format("%.1f%% [%.1f–%.1f]%s", 100 * f.value, 100 * f.interval.low, 100 * f.interval.high,
                mark);
}
std::string P(double fraction) {
  return Format("%.1f%%", 100 * fraction);
}

std::vector<std::string> GroupRow(const std::string& label, const GroupFigures& f) {
  const BacktestGroup& g = f.counts;
  if (f.empty) return {label, "0", "—", "—", "—", "—", "—", "—", "—", "—", "—", "—"};
  return {label + (f.few ? " (少)" : ""),
          N(g.runners),
          N(g.wins),
          N(g.top2),
          N(g.top3),
          R(f.winRate),
          R(f.top2Rate),
          R(f.top3Rate),
          R(f.winReturn),
          P(f.winReturnLessMax),
          R(f.placeReturn),
          P(f.placeReturnLessMax)};
}

const std::vector<std::string> kGroupHeader = {
    "区分",   "頭数",   "1着",    "2着内",          "3着内",  "勝率",
    "連対率", "複勝率", "単回収", "単回収(最高除)", "複回収", "複回収(最高除)"};

std::vector<std::string> TicketRow(const std::string& label, const TicketFigures& f) {
  const TicketLine& l = f.counts;
  if (f.empty) return {label, "0", "—", "—", "—", "—", "—", "—", "—", N(l.refunded)};
  return {label + (f.few ? " (少)" : ""),
          N(l.tickets),
          N(l.hits),
          R(f.hitRate),
          N(l.stake),
          N(l.returned),
          R(f.returnRate),
          P(f.returnLessMax),
          N(l.maxReturn),
          N(l.refunded)};
}

void PrintTally(const BacktestFigures& t) {
  std::vector<std::vector<std::string>> rows = {kGroupHeader, GroupRow("全馬", t.all)};
  for (int s = 0; s < kSignCount; ++s) rows.push_back(GroupRow(SignLabel(s), t.signs[s]));
  for (int f = 0; f < kBacktestFamilies; ++f)
    rows.push_back(GroupRow(FamilyLabel(f) + "系", t.families[f]));
  std::printf("サイン別\n");
  PrintRows(rows);

  rows = {kGroupHeader, GroupRow("全馬", t.all)};
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      rows.push_back(GroupRow(RankLabel(r) + " " + kRankBandKeys[b], t.ranks[r][b]));
  rows.push_back(GroupRow("軸（◎●▲）", t.axis));
  rows.push_back(GroupRow("相手（○）", t.partner));
  std::printf("\n順位・印別\n");
  PrintRows(rows);

  rows = {{"券種", "点数", "的中", "的中率", "購入額", "払戻額", "回収率", "回収率(最高除)",
           "最高払戻", "返還"}};
  for (int b = 0; b < kBetTypes; ++b) {
    rows.push_back(TicketRow(BetTypeLabel(b) + " 全通り", t.pools[b]));
    rows.push_back(TicketRow(BetTypeLabel(b), t.tickets[b]));
  }
  std::printf("\n買い目（1点100円。全通り: その券種の全組み合わせ）\n");
  PrintRows(rows);
}

void PrintTable(const BacktestResult& r, BacktestBy by) {
  std::printf("サイン検証  %s 〜 %s  %s\n", IsoDateOfLabel(r.from).c_str(),
              IsoDateOfLabel(r.to).c_str(), StateText(r).c_str());
  std::printf("%s\n", EstimateNote(r).c_str());
  std::string points = "配点:";
  for (int s = 0; s < kSignCount; ++s) points += " " + SignLabel(s) + "=" + N(r.points.value[s]);
  std::printf("%s\n", points.c_str());
  std::printf("開催日 %d  レース %d  結果なし %d\n", r.dates, r.races, r.skipped);
  std::printf(
      "［］は 95%% 区間（的中率: Wilson、回収率: 開催日単位のブートストラップ）。+/- "
      "は全馬（買い目は"
      "全通り）を区間が上回る/下回るもの（サインは 28 サインで Benjamini–Hochberg 補正）。(少) "
      "は的中 "
      "%d 未満\n\n",
      static_cast<int>(kFewHits));
  PrintTally(FiguresOf(r));
  std::vector<std::string> keys;
  if (by == BacktestBy::Month)
    for (const auto& [month, tally] : r.byMonth) keys.push_back(month);
  if (by == BacktestBy::Venue) keys = VenuesInJraOrder(r);
  if (by != BacktestBy::None)
    for (const std::string& key : keys) {
      std::printf("\n==== %s ====\n", key.c_str());
      PrintTally(
          FiguresOf(r, by == BacktestBy::Month ? BacktestSlice::Month : BacktestSlice::Venue, key));
    }
}

// --format (table, csv or json; table when not given), --by and --workers
// (0 when not given: the backtest chooses); false, after the message, for a
// value it does not know.
bool ReadOutputOptions(const Args& args, std::string& format, BacktestBy& by, int& workers) {
  format = OptionValue(args, "--format", "table");
  if (format != "table" && format != "csv" && format != "json") {
    std::fprintf(stderr, "sorvix-cli: --format は table, csv, json のどれかです: %s\n",
                 format.c_str());
    return false;
  }
  std::string byText = OptionValue(args, "--by");
  by = BacktestBy::None;
  if (byText == "month") {
    by = BacktestBy::Month;
  } else if (byText == "venue") {
    by = BacktestBy::Venue;
  } else if (!byText.empty()) {
    std::fprintf(stderr, "sorvix-cli: --by は month か venue です: %s\n", byText.c_str());
    return false;
  }
  std::string workersText = OptionValue(args, "--workers");
  workers = 0;
  if (!workersText.empty()) {
    if (workersText.find_first_not_of("0123456789") != std::string::npos ||
        workersText.size() > 3 || ReadInt(workersText) < 1) {
      std::fprintf(stderr, "sorvix-cli: --workers は 1 以上の数です: %s\n", workersText.c_str());
      return false;
    }
    workers = ReadInt(workersText);
  }
  return true;
}

// The dates that failed to load on stderr, then the result on stdout in
// `format`.
void WriteResult(const BacktestResult& result, const std::string& format, BacktestBy by) {
  for (const auto& [label, reason] : result.failed)
    std::fprintf(stderr, "sorvix-cli: %s を読み込めませんでした: %s\n",
                 label.empty() ? "" : IsoDateOfLabel(label).c_str(), reason.c_str());

  if (format == "json")
    std::fputs(BacktestJson(result, by).c_str(), stdout);
  else if (format == "csv")
    std::fputs(BacktestCsv(result, by).c_str(), stdout);
  else
    PrintTable(result, by);
}

// Predicted odds drive the estimate only where they were imported: without
// any, every rank is empty and the tables hold nothing, which is said.
void WarnWithoutOdds(const std::vector<Cp932Text>& dates) {
  int withOdds = 0;
  for (const Cp932Text& label : dates) {
    std::error_code ec;
    if (std::filesystem::exists(HomePath(OddsFilePath(label)), ec)) ++withOdds;
  }
  if (withOdds == 0)
    std::fprintf(stderr,
                 "sorvix-cli: 警告: 予想オッズを取り込んだ開催日がありません（import-odds で取り込"
                 "めます）。予想オッズによる推定能力はすべて空になります\n");
  else if (withOdds < static_cast<int>(dates.size()))
    std::fprintf(stderr, "sorvix-cli: 警告: 予想オッズがあるのは %d / %zu 開催日だけです\n",
                 withOdds, dates.size());
}

int Backtest(const Args& args) {
  Args positional =
      Positional(args, {"--from", "--to", "--ini", "--source", "--by", "--format", "--workers"});
  if (!positional.empty()) return Usage();
  Cp932Text from, to;
  std::string format;
  BacktestBy by = BacktestBy::None;
  int workers = 0;
  if (!ReadDateRange(args, from, to) || !ReadOutputOptions(args, format, by, workers)) return 2;

  auto settings = SettingsArgument(OptionValue(args, "--ini"));
  if (!settings) return 1;
  BacktestOptions options;
  options.points = SignPoints::Load(*settings);
  options.source = ReadEstimateSource(*settings);
  if (!ReadSource(args, options.source)) return 2;
  options.workers = workers;
  options.dates = StoredDatesBetween(from, to);
  if (options.dates.empty()) {
    std::fprintf(stderr, "sorvix-cli: 指定の期間に開催日のデータがありません\n");
    return 1;
  }
  options.from = from.empty() ? options.dates.front() : from;
  options.to = to.empty() ? options.dates.back() : to;
  if (options.source == EstimateSource::PredictedOdds) WarnWithoutOdds(options.dates);
  if (workers > BacktestWorkers(0))
    std::fprintf(stderr, "sorvix-cli: --workers %d はコア数 %d を超えるため %d にしました\n",
                 workers, BacktestWorkers(0), BacktestWorkers(0));
  options.progress = [](int done, int total, Cp932View label) {
    std::fprintf(stderr, "\r検証中 %d/%d %s", done, total, IsoDateOfLabel(label).c_str());
    if (done == total) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  };

  BacktestResult result = RunBacktest(options);
  if (result.countsNotRebuilt > 0) std::fprintf(stderr, "%s\n", EstimateNote(result).c_str());
  WriteResult(result, format, by);
  return result.failed.empty() ? 0 : 1;
}

const CommandRegistration kBacktest{
    "backtest",
    "backtest [--from DATE] [--to DATE] [--ini FILE] [--source racehorse|odds] [--by month|venue] "
    "[--format table|csv|json] [--workers N]  サイン検証（保存されている開催日のサイン・順位・"
    "買い目の成績と回収率）",
    &Backtest};

}  // namespace
}  // namespace sorvix::cli
