#include "results/tune_report.h"

#include <cinttypes>

#include "codes/cp932.h"
#include "codes/csv_cell.h"
#include "codes/text.h"
#include "results/backtest_report.h"

namespace sorvix {

const char* const kTuneBaseLabel = "全馬";

const char* TuneSetLabel(int set) {
  static const char* kLabels[] = {"最適化", "現在", "初期値"};
  return kLabels[set];
}

std::string PercentText(double percent) {
  return Format("%.1f%%", percent);
}

namespace {

const char* kSetKeys[] = {"tuned", "current", "defaults"};

std::string Num(double v) {
  return Format("%.4f", v);
}

std::string I(int64_t v) {
  return Format("%" PRId64, v);
}

std::string Date(const Cp932Text& label) {
  return label.size() >= 14 ? IsoDateOfLabel(label) : Utf8(label);
}

std::string PointsJson(const SignPoints& p) {
  std::string out = "{";
  for (int s = 0; s < kSignCount; ++s)
    out += std::string(s ? ", " : "") + JsonString(kSignInfo[s].key) + ": " + I(p.value[s]);
  return out + "}";
}

std::string FractionJson(const Fraction& f) {
  return "{\"value\": " + Num(f.Percent()) + ", \"part\": " + I(f.part) +
         ", \"whole\": " + I(f.whole) + "}";
}

std::string RowJson(const TuneFigureRow& row) {
  std::string out = "    {\"key\": " + JsonString(row.key) +
                    ", \"label\": " + JsonString(row.label) +
                    ", \"return\": " + (row.isReturn ? "true" : "false") +
                    ", \"base\": " + FractionJson(row.base);
  for (int set = 0; set < kTuneSets; ++set)
    out += ", " + JsonString(kSetKeys[set]) + ": {\"figure\": " + FractionJson(row.figure[set]) +
           ", \"low\": " + Num(row.interval[set].low) +
           ", \"high\": " + Num(row.interval[set].high) +
           ", \"clearsBase\": " + (row.clears[set] ? "true" : "false") + "}";
  return out + "}";
}

std::string FoldJson(const TuneFoldResult& f) {
  std::string out = "    {\"trainFrom\": " + JsonString(Date(f.trainFrom)) +
                    ", \"trainTo\": " + JsonString(Date(f.trainTo)) +
                    ", \"testFrom\": " + JsonString(Date(f.testFrom)) +
                    ", \"testTo\": " + JsonString(Date(f.testTo)) +
                    ", \"trainRaces\": " + I(f.trainRaces) + ", \"testRaces\": " + I(f.testRaces) +
                    ", \"candidates\": " + I(f.candidates);
  for (int set = 0; set < kTuneSets; ++set)
    out += ", " + JsonString(std::string("train_") + kSetKeys[set]) + ": " +
           FractionJson(f.train[set]) + ", " + JsonString(std::string("test_") + kSetKeys[set]) +
           ": " + FractionJson(f.test[set]);
  out +=
      ", \"testBase\": " + FractionJson(f.testBase) + ", \"testLow\": " + Num(f.testInterval.low) +
      ", \"testHigh\": " + Num(f.testInterval.high) + ", \"points\": " + PointsJson(f.tuned) + "}";
  return out;
}

}  // namespace

std::string TuneJson(const TuneResult& r) {
  const TuneObjectiveInfo& info = InfoOf(r.objective);
  std::string out = "{\n  \"objective\": " + JsonString(info.key) +
                    ",\n  \"objectiveLabel\": " + JsonString(info.label) +
                    ",\n  \"source\": " + JsonString(SourceKey(r.source)) +
                    ",\n  \"estimate\": " + JsonString(EstimateKey(r.source)) +
                    ",\n  \"countsNotRebuilt\": " + I(r.countsNotRebuilt) +
                    ",\n  \"seed\": " + Format("%" PRIu64, r.seed) +
                    ",\n  \"candidates\": " + I(r.candidates) +
                    ",\n  \"cancelled\": " + (r.cancelled ? "true" : "false") +
                    ",\n  \"edge\": " + (r.edge ? "true" : "false") +
                    ",\n  \"gainHeld\": " + (r.gainHeld ? "true" : "false") +
                    ",\n  \"points\": {\"tuned\": " + PointsJson(r.tuned) +
                    ", \"current\": " + PointsJson(r.current) +
                    ", \"defaults\": " + PointsJson(r.defaults) + "},\n  \"train\": {";
  for (int set = 0; set < kTuneSets; ++set)
    out += std::string(set ? ", " : "") + JsonString(kSetKeys[set]) + ": " +
           FractionJson(r.train[set]);
  out += "},\n  \"test\": {\"dates\": " + I(r.testDates) + ", \"races\": " + I(r.testRaces) +
         ", \"rows\": [\n";
  for (size_t i = 0; i < r.rows.size(); ++i)
    out += RowJson(r.rows[i]) + (i + 1 < r.rows.size() ? ",\n" : "\n");
  out += "  ]},\n  \"folds\": [\n";
  for (size_t i = 0; i < r.folds.size(); ++i)
    out += FoldJson(r.folds[i]) + (i + 1 < r.folds.size() ? ",\n" : "\n");
  out += "  ],\n  \"verdict\": [";
  for (size_t i = 0; i < r.verdict.size(); ++i)
    out += std::string(i ? ", " : "") + JsonString(r.verdict[i]);
  return out + "]\n}\n";
}

std::string TuneCsv(const TuneResult& r) {
  // A byte-order mark and the shared cells, as every CSV of the program.
  std::string out = "\xEF\xBB\xBF";
  out += CsvLine({"section", "key", "label", "base", "tuned", "tunedLow", "tunedHigh",
                  "tunedClearsBase", "current", "currentLow", "currentHigh", "currentClearsBase",
                  "defaults", "defaultsLow", "defaultsHigh", "defaultsClearsBase"});
  const TuneObjectiveInfo& info = InfoOf(r.objective);
  out += CsvLine({"input", "objective", info.label, info.key});
  out += CsvLine({"input", "source", "", SourceKey(r.source)});
  out += CsvLine({"input", "estimate", "", EstimateKey(r.source)});
  out += CsvLine({"input", "countsNotRebuilt", "", I(r.countsNotRebuilt)});
  out += CsvLine({"input", "seed", "", Format("%" PRIu64, r.seed)});
  out += CsvLine({"input", "candidates", "", I(r.candidates)});
  for (const std::string& line : r.verdict) out += CsvLine({"verdict", "", "", line});
  for (const TuneFigureRow& row : r.rows) {
    std::vector<std::string> cells = {"test", row.key, row.label, Num(row.base.Percent())};
    for (int set = 0; set < kTuneSets; ++set) {
      cells.push_back(Num(row.figure[set].Percent()));
      cells.push_back(Num(row.interval[set].low));
      cells.push_back(Num(row.interval[set].high));
      cells.push_back(row.clears[set] ? "1" : "0");
    }
    out += CsvLine(cells);
  }
  for (size_t i = 0; i < r.folds.size(); ++i) {
    const TuneFoldResult& f = r.folds[i];
    std::vector<std::string> cells = {"fold", I(static_cast<int64_t>(i + 1)),
                                      Date(f.trainFrom) + ".." + Date(f.trainTo) + " → " +
                                          Date(f.testFrom) + ".." + Date(f.testTo),
                                      Num(f.testBase.Percent())};
    for (int set = 0; set < kTuneSets; ++set) {
      cells.push_back(Num(f.test[set].Percent()));
      cells.push_back(set == 0 ? Num(f.testInterval.low) : "");
      cells.push_back(set == 0 ? Num(f.testInterval.high) : "");
      cells.push_back(Num(f.train[set].Percent()));
    }
    out += CsvLine(cells);
  }
  for (int s = 0; s < kSignCount; ++s)
    out += CsvLine({"points", kSignInfo[s].key, SignLabel(s), "", I(r.tuned.value[s]), "", "", "",
                    I(r.current.value[s]), "", "", "", I(r.defaults.value[s])});
  return out;
}

}  // namespace sorvix
