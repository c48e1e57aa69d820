// sorvix-cli analyze DATE [--ini FILE] [--race N] [--table]: loads a meeting
// date with its whole analysis and prints it as UTF-8 JSON (every race's
// ring rows with their marks, sums and flags, every runner's sign index,
// estimate and betting marks), or with --table one race as the sign table
// and race card a person reads in a terminal.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/ring_layout.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_analysis_steps.h"
#include "analysis/sign_index.h"
#include "analysis/sign_marks.h"
#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"
#include "cli/day_argument.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/betting_combinations.h"
#include "results/payout_import.h"
#include "store/estimate.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/run_ledger.h"
#include "views/text/csv_tables.h"

namespace sorvix::cli {
namespace {

// ---- text -----------------------------------------------------------------

// A mark or name as a JSON string: decoded, trailing blanks removed.
std::string JsonText(std::string_view field) {
  return JsonString(Utf8(Cp932View::FromBytes(TrimRight(field))));
}

// ---- JSON -----------------------------------------------------------------

constexpr const char* kFlagNames[] = {"red", "green", "orange", "blue", "yellow"};

void PrintRingRow(const RaceCalc& calc, int runners, int row) {
  std::printf("{\"row\": %d, \"horse\": %d, \"marks\": {", row, RingHorse(runners, row));
  for (int i = 0; i < kSignCount; ++i)
    std::printf("%s%s: %s", i ? ", " : "", JsonString(kSignInfo[i].key).c_str(),
                JsonText(MarkText(calc, SignAt(i), row)).c_str());
  const uint8_t* flags[] = {calc.RedFlag, calc.GreenFlag, calc.OrangeFlag, calc.BlueFlag,
                            calc.YellowFlag};
  std::printf("}, \"sum\": %d, \"flags\": {", calc.SignSum[row]);
  for (int f = 0; f < 5; ++f)
    std::printf("%s\"%s\": %d", f ? ", " : "", kFlagNames[f], flags[f][row]);
  std::printf("}}");
}

void PrintHorse(const RaceCalc& calc, int h) {
  double suitei = std::isfinite(calc.Suitei[h]) ? calc.Suitei[h] : 0.0;
  std::printf(
      "{\"no\": %d, \"away\": %d, \"home\": %d, \"bracketAverage\": %d, \"bracketRank\": %d, "
      "\"awayRank\": %d, \"homeRank\": %d, \"suitei\": %.5f, \"suiteiRank\": %d, \"axis\": %d, "
      "\"partner\": %d}",
      h + 1, calc.AwayIndex[h], calc.HomeIndex[h], calc.BracketAverage[h], calc.BracketRank[h],
      calc.AwayRank[h], calc.HomeRank[h], suitei, calc.SuiteiRank[h], calc.AxisMark[h],
      calc.PartnerMark[h]);
}

void PrintRace(const RaceDay& day, int slot) {
  const RaImage& ra = day.RaRec[slot];
  const RaceCalc& calc = day.Calc[slot];
  int runners = day.Runners(slot);
  std::printf(
      "{\"slot\": %d, \"key\": %s, \"venue\": %s, \"race\": %d, \"runners\": %d,\n  \"ring\": [",
      slot, JsonText(ra.Field(ra::kRaceKey)).c_str(), JsonText(ra.Field(ra::kVenueCode)).c_str(),
      ra.Int(ra::kRaceNumber), runners);
  for (int k = 0; runners > 0 && k < kRingRows; ++k) {
    std::printf("%s\n    ", k ? "," : "");
    PrintRingRow(calc, runners, k);
  }
  std::printf("],\n  \"horses\": [");
  for (int h = 0; h < runners; ++h) {
    std::printf("%s\n    ", h ? "," : "");
    PrintHorse(calc, h);
  }
  std::printf("]}");
}

void PrintJson(const RaceDay& day, Cp932View label, const std::vector<int>& slots) {
  std::printf("{\"date\": %s, \"races\": [", JsonString(Utf8(label)).c_str());
  for (size_t i = 0; i < slots.size(); ++i) {
    std::printf("%s\n ", i ? "," : "");
    PrintRace(day, slots[i]);
  }
  std::printf("]}\n");
}

// ---- terminal table ---------------------------------------------------------

// Cells are CP932, so a cell's byte count is its width on a terminal (a
// double-byte character takes two columns, a half-width one one).
struct Column {
  std::string title;  // CP932
  bool right = false;
};

void PrintTable(const std::vector<Column>& columns,
                const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> width(columns.size());
  for (size_t c = 0; c < columns.size(); ++c) width[c] = columns[c].title.size();
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size() && c < width.size(); ++c)
      width[c] = std::max(width[c], row[c].size());
  auto print = [&](const std::vector<std::string>& cells) {
    std::string line;
    for (size_t c = 0; c < columns.size(); ++c) {
      std::string cell = c < cells.size() ? cells[c] : "";
      std::string pad(width[c] - std::min(width[c], cell.size()), ' ');
      if (c) line += ' ';
      line += columns[c].right ? pad + cell : cell + pad;
    }
    std::printf("%s\n", Utf8(Cp932View::FromBytes(TrimRight(line))).c_str());
  };
  std::vector<std::string> titles;
  for (const Column& c : columns) titles.push_back(c.title);
  print(titles);
  for (const auto& row : rows) print(row);
}

// Table `table` of race `slot` as CSV保存 and the CSV output have it (one
// source for the three), without the race column and, for the race card,
// the past runs.  Texts go left, numbers right.
void PrintCsvTable(const RaceDay& day, int slot, CsvTable table, const SignPoints& points) {
  std::vector<std::vector<std::string>> csv = CsvRows(day, table, {slot}, points);
  const size_t last =
      csv.front().size() - (table == CsvTable::RaceCard ? static_cast<size_t>(kKakoRuns) : 0);
  static const std::set<std::string> kLeft = {"馬名", "性齢", "騎手", "調教師", "軸", "相手"};
  std::vector<Column> columns;
  for (size_t c = 1; c < last; ++c)
    columns.push_back({Cp932(csv.front()[c]).bytes(), !kLeft.count(csv.front()[c])});
  std::vector<std::vector<std::string>> rows;
  for (size_t r = 1; r < csv.size(); ++r) {
    std::vector<std::string> row;
    for (size_t c = 1; c < last; ++c) row.push_back(Cp932(csv[r][c]).bytes());
    rows.push_back(std::move(row));
  }
  PrintTable(columns, rows);
}

void PrintCombinations(const char* title, const std::vector<KaimeRow>& rows) {
  std::printf("%s:", title);
  if (rows.empty()) std::printf(" なし");
  for (const KaimeRow& row : rows) {
    std::printf(" [%s]", row.combination.c_str());
    if (row.paid)
      std::printf("%s%d円", row.colour == KaimeColour::Magenta ? "ﾜ " : "的中 ", row.payout);
  }
  std::printf("\n");
}

void PrintRaceTables(const RaceDay& day, int slot, const SignPoints& points) {
  const RaImage& ra = day.RaRec[slot];
  std::printf("%s  %s  %d頭\n\n", Utf8(day.RaceListRow(slot)).c_str(),
              Utf8(Cp932View::FromBytes(TrimBlanksRight(ra.Field(ra::kRaceName)))).c_str(),
              day.Runners(slot));
  std::printf("サイン表\n");
  PrintCsvTable(day, slot, CsvTable::SignTable, points);
  std::printf("\n出馬表\n");
  PrintCsvTable(day, slot, CsvTable::RaceCard, points);
  KaimeTables kaime = KaimeTablesOf(day, slot);
  std::printf("\n買い目\n");
  if (!kaime.hasAxis) {
    std::printf("軸馬（◎）がいません\n");
    return;
  }
  PrintCombinations("3連複", kaime.trio);
  PrintCombinations("馬連・ワ", kaime.quinella);
  PrintCombinations("馬単", kaime.exacta);
}

// ---- command ----------------------------------------------------------------

int Usage() {
  std::fprintf(stderr,
               "使い方: sorvix-cli analyze DATE [--ini FILE] [--race N] [--table] [--csv] "
               "[--csv-table 表] [--before-meeting]\n");
  return 2;
}

int Analyze(const Args& args) {
  Args positional = Positional(args, {"--ini", "--race", "--csv-table"});
  if (positional.size() != 1) return Usage();
  auto label = DateLabelArgument(positional[0]);
  if (!label) return 2;
  bool table = HasFlag(args, "--table");
  std::string raceArg = OptionValue(args, "--race");
  int race = -1;
  if (!raceArg.empty()) {
    if (raceArg.find_first_not_of("0123456789") != std::string::npos || raceArg.size() > 2) {
      std::fprintf(stderr, "sorvix-cli: --race はレース一覧の行（slot、0 から）です: %s\n",
                   raceArg.c_str());
      return 2;
    }
    race = ReadInt(raceArg);
  }
  if (table && race < 0) {
    std::fprintf(stderr, "sorvix-cli: --table には --race N が要ります\n");
    return 2;
  }

  auto settings = SettingsArgument(OptionValue(args, "--ini"));
  if (!settings) return 1;
  // --before-meeting: the estimate from the counts as they stood before the
  // date's meeting, as サイン検証 computes it.
  std::optional<RunLedger> ledger;
  if (HasFlag(args, "--before-meeting")) ledger = RunLedger::Read(ListMeetingDates(), *label);
  auto day = LoadAnalysedDay(*label, *settings, nullptr, ledger ? &*ledger : nullptr);
  if (!day) return 1;
  if (race >= day->RaceListRows) {
    std::fprintf(stderr, "sorvix-cli: %s のレースは 0〜%d です: %d\n", Utf8(*label).c_str(),
                 day->RaceListRows - 1, race);
    return 2;
  }

  if (table) {
    PrintRaceTables(*day, race, SignPoints::Load(*settings));
    return 0;
  }
  // --csv [--csv-table 出馬表|サイン表|結果表|買い目表]: the window's CSV保存
  // text (the race card when no table is named).
  if (HasFlag(args, "--csv")) {
    CsvTable csvTable = CsvTable::RaceCard;
    std::string name = OptionValue(args, "--csv-table");
    if (!name.empty() && !ParseCsvTable(name, csvTable)) {
      std::fprintf(
          stderr,
          "sorvix-cli: --csv-table は 出馬表・サイン表・結果表・買い目表 のどれかです: %s\n",
          name.c_str());
      return 2;
    }
    std::vector<int> rows;
    for (int r = 0; r < day->RaceListRows; ++r)
      if (race < 0 || r == race) rows.push_back(r);
    std::string text = CsvText(CsvRows(*day, csvTable, rows, SignPoints::Load(*settings)));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  std::vector<int> slots;
  for (int r = 0; r < day->RaceListRows; ++r)
    if (race < 0 || r == race) slots.push_back(r);
  PrintJson(*day, *label, slots);
  return 0;
}

const CommandRegistration kAnalyze{
    "analyze",
    "analyze DATE [--ini FILE] [--race N] [--table] [--csv] [--csv-table 表] [--before-meeting]  "
    "開催日を分析して "
    "JSON で表示（N: "
    "レース一覧の行 = slot、0 から。--table: そのレースのサイン表・出馬表・買い目。--csv: "
    "出馬表（--csv-table で"
    "サイン表・結果表・買い目表）を CSV で）",
    &Analyze};

}  // namespace
}  // namespace sorvix::cli
