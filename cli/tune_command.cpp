// sorvix-cli tune: 配点最適化.  The sign points are tuned on the training
// dates and judged on the test dates after them (or on rolling yearly
// folds); the report shows the test dates only.  It never writes the
// home's settings file: --out writes the tuned points into a settings file
// of the user's choosing.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "cli/text_table.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/error.h"
#include "results/backtest.h"
#include "results/backtest_report.h"
#include "results/tune_report.h"
#include "results/tune_run.h"
#include "store/estimate.h"

namespace sorvix::cli {
namespace {

struct TuneArgs {
  Cp932Text trainFrom, trainTo, testFrom, testTo;  // empty: open
  bool yearly = false;
  TuneObjective objective = TuneObjective::AxisPlaceReturn;
  std::string fromIni, out, format = "table";
  uint64_t seed = 1;
  int candidates = 1000, restarts = 2, workers = 0;
  std::string source;  // racehorse, odds or empty (the settings' source)
};

bool Fail(const std::string& message) {
  std::fprintf(stderr, "sorvix-cli: %s\n", message.c_str());
  return false;
}

// "FROM..TO" (either side may be empty: open) into two DateLabels.
bool ReadRange(const std::string& option, const std::string& text, Cp932Text& from, Cp932Text& to) {
  size_t dots = text.find("..");
  if (dots == std::string::npos)
    return Fail(option + " は 開始日..終了日 の形で指定します: " + text);
  for (auto [part, label] :
       {std::pair{text.substr(0, dots), &from}, std::pair{text.substr(dots + 2), &to}}) {
    if (part.empty()) continue;
    auto parsed = DateLabelArgument(part);
    if (!parsed) return false;
    *label = *parsed;
  }
  if (!from.empty() && !to.empty() && from > to)
    return Fail(option + " の開始日が終了日より後です: " + text);
  return true;
}

// The whole number of option `name` within [low, high] into `value`.
bool ReadNumber(const Args& args, const std::string& name, int64_t low, int64_t high,
                int64_t& value) {
  std::string text = OptionValue(args, name);
  if (text.empty()) return true;
  if (text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoll(text) < low || std::stoll(text) > high)
    return Fail(name + Format(" は %" PRId64 "〜%" PRId64 " の整数です: ", low, high) + text);
  value = std::stoll(text);
  return true;
}

bool ReadNumbers(const Args& args, TuneArgs& t) {
  int64_t seed = 1, candidates = t.candidates, restarts = t.restarts, workers = 0;
  if (!ReadNumber(args, "--seed", 0, 999999999999999999, seed) ||
      !ReadNumber(args, "--candidates", 1, 1000000, candidates) ||
      !ReadNumber(args, "--restarts", 0, 100, restarts) ||
      !ReadNumber(args, "--workers", 1, 64, workers))
    return false;
  t.seed = static_cast<uint64_t>(seed);
  t.candidates = static_cast<int>(candidates);
  t.restarts = static_cast<int>(restarts);
  t.workers = static_cast<int>(workers);
  return true;
}

bool ReadPeriods(const Args& args, TuneArgs& t) {
  std::string folds = OptionValue(args, "--folds");
  if (!folds.empty() && folds != "yearly") return Fail("--folds は yearly です: " + folds);
  t.yearly = folds == "yearly";
  std::string train = OptionValue(args, "--train"), test = OptionValue(args, "--test");
  if (!t.yearly && (train.empty() || test.empty()))
    return Fail("--train と --test の両方か、--folds yearly を指定してください");
  if (!train.empty() && !ReadRange("--train", train, t.trainFrom, t.trainTo)) return false;
  if (!test.empty() && !ReadRange("--test", test, t.testFrom, t.testTo)) return false;
  if (!t.yearly && (t.trainTo.empty() || t.testFrom.empty() || t.testFrom <= t.trainTo))
    return Fail("検証期間（--test）は訓練期間（--train）の終了日より後に始まる必要があります");
  return true;
}

bool ReadTuneArgs(const Args& args, TuneArgs& t) {
  if (!ReadPeriods(args, t) || !ReadNumbers(args, t)) return false;
  std::string objective = OptionValue(args, "--objective", "axis-place");
  auto o = TuneObjectiveOfKey(objective);
  if (!o) return Fail("--objective が不明です（--help で一覧）: " + objective);
  t.objective = *o;
  t.format = OptionValue(args, "--format", "table");
  if (t.format != "table" && t.format != "csv" && t.format != "json")
    return Fail("--format は table, csv, json のどれかです: " + t.format);
  t.source = OptionValue(args, "--source");
  if (!t.source.empty() && t.source != "racehorse" && t.source != "odds")
    return Fail("--source は racehorse か odds です: " + t.source);
  t.fromIni = OptionValue(args, "--from-ini");
  t.out = OptionValue(args, "--out");
  return true;
}

// The stored dates the run needs: every date from the first training date
// to the last test date (yearly), or the dates of the two periods.
std::vector<Cp932Text> DatesOf(const TuneArgs& t) {
  if (t.yearly) return StoredDatesBetween(t.trainFrom, t.testTo);
  std::vector<Cp932Text> dates = StoredDatesBetween(t.trainFrom, t.trainTo);
  for (Cp932Text& d : StoredDatesBetween(t.testFrom, t.testTo)) dates.push_back(std::move(d));
  return dates;
}

std::string Interval(const RateInterval& i) {  // in percent
  return PercentText(i.low) + "〜" + PercentText(i.high);
}

// A figure with a mark when its interval clears the base rate.
std::string Marked(const TuneFigureRow& row, int set) {
  return PercentText(row.figure[set].Percent()) + (row.clears[set] ? " *" : "");
}

void PrintFigures(const TuneResult& r) {
  std::vector<std::vector<std::string>> rows = {
      {"項目", "最適化", "95%区間", "現在", "95%区間", "初期値", "95%区間", "全馬", "件数"}};
  for (const TuneFigureRow& row : r.rows) {
    std::vector<std::string> line = {row.label};
    for (int set = 0; set < kTuneSets; ++set) {
      line.push_back(Marked(row, set));
      line.push_back(Interval(row.interval[set]));
    }
    line.push_back(PercentText(row.base.Percent()));
    line.push_back(Format("%" PRId64, row.figure[0].whole / (row.isReturn ? 100 : 1)));
    rows.push_back(line);
  }
  std::printf(
      "\n検証期間の成績（* は95%%区間が全馬を上回り、多重比較の補正後も残るもの。"
      "件数は最適化した配点の頭数・点数）\n");
  PrintRows(rows);
}

void PrintFolds(const TuneResult& r) {
  std::vector<std::vector<std::string>> rows = {{"分割", "訓練期間", "検証期間", "訓練:最適化",
                                                 "訓練:現在", "検証:最適化", "95%区間", "検証:現在",
                                                 "検証:初期値", "全馬", "候補数"}};
  for (size_t i = 0; i < r.folds.size(); ++i) {
    const TuneFoldResult& f = r.folds[i];
    rows.push_back({Format("%zu", i + 1),
                    IsoDateOfLabel(f.trainFrom) + "〜" + IsoDateOfLabel(f.trainTo),
                    IsoDateOfLabel(f.testFrom) + "〜" + IsoDateOfLabel(f.testTo),
                    PercentText(f.train[0].Percent()), PercentText(f.train[1].Percent()),
                    PercentText(f.test[0].Percent()), Interval(f.testInterval),
                    PercentText(f.test[1].Percent()), PercentText(f.test[2].Percent()),
                    PercentText(f.testBase.Percent()), Format("%d", f.candidates)});
  }
  std::printf("\n分割ごとの%s（訓練期間と検証期間）\n", InfoOf(r.objective).label);
  PrintRows(rows);
}

void PrintPoints(const TuneResult& r) {
  std::vector<std::vector<std::string>> rows = {{"配点"}, {"最適化"}, {"現在"}, {"初期値"}};
  for (int s = 0; s < kSignCount; ++s) {
    rows[0].push_back(SignLabel(s));
    rows[1].push_back(Format("%d", r.tuned.value[s]));
    rows[2].push_back(Format("%d", r.current.value[s]));
    rows[3].push_back(Format("%d", r.defaults.value[s]));
  }
  std::printf("\n配点（最適化は%s）\n",
              r.folds.size() > 1 ? "最後の分割で訓練したもの" : "訓練期間で最適化したもの");
  PrintRows(rows);
}

void PrintTable(const TuneResult& r) {
  std::printf("配点最適化  目的: %s  推定能力: %s  乱数の種: %" PRIu64 "  候補数: %d\n",
              InfoOf(r.objective).label,
              r.source == EstimateSource::PredictedOdds ? "予想オッズデータ" : "競走馬データ",
              r.seed, r.candidates);
  if (r.cancelled) std::printf("中止されました。終わった分割だけを示します。\n");
  for (const std::string& line : r.verdict) std::printf("%s\n", line.c_str());
  PrintFigures(r);
  PrintFolds(r);
  PrintPoints(r);
}

// False, after the message, when --out names the home's own settings file,
// which tuning never writes.
bool CheckOut(const std::string& out) {
  namespace fs = std::filesystem;
  if (out.empty()) return true;
  fs::path path = StartedPath(out);
  std::error_code ec;
  if (fs::weakly_canonical(path, ec) == fs::weakly_canonical(SettingsFile().path(), ec))
    return Fail("--out にこのホームの設定ファイルは指定できません: " + path.string());
  return true;
}

// Writes the tuned points into the settings file `out` (other lines kept).
bool WriteOut(const std::string& out, const SignPoints& points) {
  std::filesystem::path path = StartedPath(out);
  SettingsFile file(path);
  points.Save(file);
  std::fprintf(stderr, "最適化した配点を保存しました: %s\n", path.string().c_str());
  return true;
}

// The kept races of the dates, with the load's progress on stderr.
TuneData LoadForTuning(const TuneArgs& t, const std::vector<Cp932Text>& dates,
                       EstimateSource source) {
  BacktestOptions load;
  load.dates = dates;
  load.source = source;
  load.workers = t.workers;
  load.progress = [](int done, int total, Cp932View label) {
    std::fprintf(stderr, "\r読込中 %d/%d %s", done, total, IsoDateOfLabel(label).c_str());
    if (done == total) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  };
  TuneData data = KeepTuneData(load);
  for (const auto& [label, reason] : data.failed)
    std::fprintf(stderr, "sorvix-cli: %s を読み込めませんでした: %s\n",
                 label.empty() ? "" : IsoDateOfLabel(label).c_str(), reason.c_str());
  return data;
}

std::vector<TuneFold> FoldsOf(const TuneArgs& t, const TuneData& data) {
  if (t.yearly) return YearlyFolds(data);
  auto fold = FoldOfRange(data, t.trainFrom, t.trainTo, t.testFrom, t.testTo);
  return fold ? std::vector<TuneFold>{*fold} : std::vector<TuneFold>{};
}

TuneResult Tune(const TuneArgs& t, const TuneData& data, const std::vector<TuneFold>& folds,
                const SignPoints& current) {
  TuneRunOptions run;
  run.objective = t.objective;
  run.current = current;
  run.seed = t.seed;
  run.restarts = t.restarts;
  run.candidates = t.candidates;
  run.workers = t.workers;
  run.progress = [](int fold, int total, int scored, int most) {
    std::fprintf(stderr, "\r最適化中 分割 %d/%d 候補 %d/%d", fold + 1, total, scored, most);
    std::fflush(stderr);
  };
  TuneResult result = RunTuning(data, folds, run);
  std::fprintf(stderr, "\n");
  return result;
}

int TuneCommand(const Args& args) {
  TuneArgs t;
  if (!ReadTuneArgs(args, t)) return 2;
  auto settings = SettingsArgument(t.fromIni);
  if (!settings) return 1;
  SignPoints current = SignPoints::Load(*settings);
  EstimateSource source = ReadEstimateSource(SettingsFile());
  if (!t.source.empty())
    source = t.source == "odds" ? EstimateSource::PredictedOdds : EstimateSource::RacehorseData;
  if (!CheckOut(t.out)) return 1;
  std::vector<Cp932Text> dates = DatesOf(t);
  if (dates.empty()) return Fail("指定の期間に開催日のデータがありません"), 1;

  TuneData data = LoadForTuning(t, dates, source);
  std::vector<TuneFold> folds = FoldsOf(t, data);
  if (folds.empty())
    return Fail(t.yearly ? "--folds yearly には2年以上の開催日が必要です"
                         : "訓練期間か検証期間に開催日がありません"),
           1;
  TuneResult result = Tune(t, data, folds, current);
  if (t.format == "json")
    std::fputs(TuneJson(result).c_str(), stdout);
  else if (t.format == "csv")
    std::fputs(TuneCsv(result).c_str(), stdout);
  else
    PrintTable(result);
  if (!t.out.empty() && !result.folds.empty() && !WriteOut(t.out, result.tuned)) return 1;
  return data.failed.empty() ? 0 : 1;
}

const CommandRegistration kTune{
    "tune",
    "tune [--train FROM..TO] [--test FROM..TO] [--folds yearly] "
    "[--objective NAME] [--from-ini FILE] [--out FILE] [--seed N] [--candidates N] "
    "[--restarts N] [--source racehorse|odds] [--format table|csv|json] [--workers N]  "
    "配点最適化（訓練期間で配点を探し、その後の検証期間だけで成績を示す。目的 NAME: "
    "axis-place ◎複勝回収率（既定）、axis-win ◎単勝回収率、axis-top3 ◎複勝率、"
    "away1-top3 ｱｳｪｲ順位1の複勝率、trio 3連複回収率、quinella 馬連回収率、wide ワイド回収率、"
    "exacta 馬単回収率。--train と --test か、毎年の分割 --folds yearly を指定。"
    "候補数は分割ごとに試す配点の数の上限（既定 1000）。sorvix.ini には書かず、"
    "--out のファイルに保存）",
    &TuneCommand};

}  // namespace
}  // namespace sorvix::cli
