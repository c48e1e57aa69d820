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
std::string P(int64_t part, int64_t whole) {
  return Format("%.1f%%", Percent(part, whole));
}

std::vector<std::string> GroupRow(const std::string& label, const BacktestGroup& g) {
  return {label,
          N(g.runners),
          N(g.wins),
          N(g.top2),
          N(g.top3),
          P(g.wins, g.runners),
          P(g.top2, g.runners),
          P(g.top3, g.runners),
          P(g.winReturn, g.runners * 100),
          P(g.placeReturn, g.runners * 100)};
}

const std::vector<std::string> kGroupHeader = {"区分", "頭数",   "1着",    "2着内",  "3着内",
                                               "勝率", "連対率", "複勝率", "単回収", "複回収"};

void PrintTally(const BacktestTally& t) {
  std::vector<std::vector<std::string>> rows = {kGroupHeader};
  for (int s = 0; s < kSignCount; ++s) rows.push_back(GroupRow(SignLabel(s), t.signs[s]));
  for (int f = 0; f < kBacktestFamilies; ++f)
    rows.push_back(GroupRow(FamilyLabel(f) + "系", t.families[f]));
  std::printf("サイン別\n");
  PrintRows(rows);

  rows = {kGroupHeader};
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      rows.push_back(GroupRow(RankLabel(r) + " " + kRankBandKeys[b], t.ranks[r][b]));
  rows.push_back(GroupRow("軸（◎●▲）", t.axis));
  rows.push_back(GroupRow("相手（○）", t.partner));
  std::printf("\n順位・印別\n");
  PrintRows(rows);

  rows = {{"券種", "点数", "的中", "的中率", "購入額", "払戻額", "回収率", "最高払戻", "返還"}};
  for (int b = 0; b < kBetTypes; ++b) {
    const TicketLine& l = t.tickets[b];
    rows.push_back({BetTypeLabel(b), N(l.tickets), N(l.hits), P(l.hits, l.tickets), N(l.stake),
                    N(l.returned), P(l.returned, l.stake), N(l.maxReturn), N(l.refunded)});
  }
  std::printf("\n買い目（1点100円）\n");
  PrintRows(rows);
}

void PrintTable(const BacktestResult& r, BacktestBy by) {
  std::printf("サイン検証  %s 〜 %s  推定能力: %s\n", IsoDateOfLabel(r.from).c_str(),
              IsoDateOfLabel(r.to).c_str(),
              r.source == EstimateSource::PredictedOdds ? "予想オッズデータ" : "競走馬データ");
  if (r.source == EstimateSource::RacehorseData)
    std::printf("%s（--source odds）\n", kRacehorseSourceNote);
  std::string points = "配点:";
  for (int s = 0; s < kSignCount; ++s) points += " " + SignLabel(s) + "=" + N(r.points.value[s]);
  std::printf("%s\n", points.c_str());
  std::printf("開催日 %d  レース %d  結果なし %d\n\n", r.dates, r.races, r.skipped);
  PrintTally(r.total);
  const auto& parts = by == BacktestBy::Month ? r.byMonth : r.byVenue;
  if (by != BacktestBy::None)
    for (const auto& [key, tally] : parts) {
      std::printf("\n==== %s ====\n", key.c_str());
      PrintTally(tally);
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
  if (options.source == EstimateSource::RacehorseData)
    std::fprintf(stderr, "%s（--source odds）\n", kRacehorseSourceNote);
  else
    WarnWithoutOdds(options.dates);
  options.progress = [](int done, int total, Cp932View label) {
    std::fprintf(stderr, "\r検証中 %d/%d %s", done, total, IsoDateOfLabel(label).c_str());
    if (done == total) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  };

  BacktestResult result = RunBacktest(options);
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
