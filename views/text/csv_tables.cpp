#include "views/text/csv_tables.h"

#include "analysis/column_texts.h"
#include "analysis/sign_kinds.h"
#include "analysis/sign_marks.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/csv_cell.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/betting_combinations.h"
#include "results/payout_table.h"
#include "store/race_day.h"
#include "views/text/race_card_rows.h"
#include "views/text/race_selection.h"

namespace sorvix {
namespace {

using Row = std::vector<std::string>;

// A CP932 text without its leading blanks and its trailing half- and
// full-width blanks.
std::string_view TrimBlanks(std::string_view cp932) {
  while (!cp932.empty() && cp932.front() == ' ') cp932.remove_prefix(1);
  return TrimBlanksRight(cp932);
}

// A record's field as a CSV cell.
std::string Cell(std::string_view field) {
  return Utf8(Cp932View::FromBytes(TrimBlanks(field)));
}
std::string Number(int value) {
  return std::to_string(value);
}

// The race as the race list shows it ("09:50 新潟 1R").
std::string RaceCell(const RaceDay& day, int slot) {
  return Cell(day.RaceList[slot].View());
}

void RaceCardRows(const RaceDay& day, int slot, std::vector<Row>& rows) {
  for (int h = 0; h < day.Runners(slot) && h < kHorseSlots; ++h) {
    RaceCardRow t = RaceCardRowOf(day, slot, h);
    Row row = {RaceCell(day, slot),
               t.bracket.text,
               t.horseNumber,
               t.name,
               t.sexAge,
               t.burden,
               t.jockey,
               t.trainer,
               t.awayIndex,
               t.awayRank.text,
               t.homeIndex,
               t.homeRank.text,
               t.indexSum,
               t.bracketAverage,
               t.bracketRank.text,
               t.estimateRank.text,
               t.axisMark,
               t.partnerMark,
               t.place.text};
    for (int k = 0; k < kKakoRuns; ++k) row.push_back(PastRunOf(day, slot, h, k).Joined());
    rows.push_back(std::move(row));
  }
}

void SignTableRows(const RaceDay& day, int slot, const SignPoints& points, std::vector<Row>& rows) {
  const RaceSheet& sheet = day.Sheet[slot];
  const RaceCalc& calc = day.Calc[slot];
  if (day.Runners(slot) <= 0) return;
  for (int k = 0; k < kRingRows; ++k) {
    Row row = {RaceCell(day, slot),
               Number(ReadInt(sheet.BracketNo[k].View())),
               Number(ReadInt(sheet.HorseNo[k].View())),
               Cell(sheet.HorseName[k].View()),
               Utf8(SexAgeText(sheet.Sex[k].View(), sheet.Age[k].View())),
               Utf8(BurdenText(TrimRight(sheet.Burden[k].View()))),
               Cell(sheet.JockeyName[k].View()),
               Cell(sheet.TrainerName[k].View())};
    for (int i = 0; i < kSignCount; ++i) {
      Sign sign = SignAt(i);
      row.push_back(IsBlank(MarkText(calc, sign, k)) ? "" : Number(points[sign]));
    }
    row.push_back(Number(calc.SignSum[k]));
    rows.push_back(std::move(row));
  }
}

void ResultRows(const RaceDay& day, int slot, std::vector<Row>& rows) {
  const PayoutTable& table = day.Payouts[slot];
  auto horses = [&](const char* kind, const PayoutHorse* entries, int count) {
    for (int i = 0; i < count; ++i)
      if (entries[i].HorseNo != 0)
        rows.push_back({RaceCell(day, slot), kind, Number(entries[i].HorseNo),
                        Number(entries[i].Popularity), Number(entries[i].Payout)});
  };
  auto combinations = [&](const char* kind, const PayoutCombination* entries, int count) {
    for (int i = 0; i < count; ++i)
      if (HasResult(entries[i].Combination.View()))
        rows.push_back({RaceCell(day, slot), kind, Cell(entries[i].Combination.View()),
                        Number(entries[i].Popularity), Number(entries[i].Payout)});
  };
  horses("単勝", table.Win, 3);
  horses("複勝", table.Place, 5);
  combinations("枠連", table.BracketQuinella, 3);
  combinations("馬連", table.Quinella, 3);
  combinations("ワイド", table.QuinellaPlace, 7);
  combinations("馬単", table.Exacta, 6);
  combinations("三連複", table.Trio, 3);
  combinations("三連単", table.Trifecta, 6);
}

void CombinationRows(const RaceDay& day, int slot, std::vector<Row>& rows) {
  KaimeTables tables = KaimeTablesOf(day, slot);
  auto list = [&](const char* kind, const std::vector<KaimeRow>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
      const KaimeRow& row = entries[i];
      const char* hit = row.colour == KaimeColour::Red       ? "的中"
                        : row.colour == KaimeColour::Magenta ? "ワイド的中"
                                                             : "";
      rows.push_back(Row{RaceCell(day, slot), kind, Number(static_cast<int>(i) + 1),
                         std::string(TrimBlanks(row.combination)),
                         row.paid ? Number(row.payout) : std::string(), hit});
    }
  };
  list("3連複", tables.trio);
  list("馬連・ワ", tables.quinella);
  list("馬単", tables.exacta);
}

}  // namespace

std::string CsvTableName(CsvTable table) {
  switch (table) {
    case CsvTable::RaceCard:
      return "出馬表";
    case CsvTable::SignTable:
      return "サイン表";
    case CsvTable::Results:
      return "結果表";
    case CsvTable::Combinations:
      return "買い目表";
  }
  return {};
}

bool ParseCsvTable(std::string_view name, CsvTable& table) {
  for (CsvTable t :
       {CsvTable::RaceCard, CsvTable::SignTable, CsvTable::Results, CsvTable::Combinations})
    if (name == CsvTableName(t)) {
      table = t;
      return true;
    }
  return false;
}

std::vector<std::vector<std::string>> CsvRows(const RaceDay& day, CsvTable table,
                                              const std::vector<int>& slots,
                                              const SignPoints& points) {
  std::vector<Row> rows;
  switch (table) {
    case CsvTable::RaceCard: {
      Row heading = {"レース", "枠",       "馬",     "馬名", "性齢",  "斤量",  "騎手",
                     "調教師", "ｱｳｪｲ",     "ｱｳｪｲ順", "ﾎｰﾑ",  "ﾎｰﾑ順", "ｻ指計", "枠平均",
                     "枠順",   "推定能力", "軸",     "相手", "着順"};
      for (int k = 1; k <= kKakoRuns; ++k) heading.push_back("前走" + Number(k));
      rows.push_back(heading);
      break;
    }
    case CsvTable::SignTable: {
      Row heading = {"レース", "枠", "馬", "馬名", "性齢", "斤量", "騎手", "調教師"};
      for (int i = 0; i < kSignCount; ++i) heading.push_back(SignHeadingOf(SignAt(i)).Joined());
      heading.push_back("ｻｲﾝ点");
      rows.push_back(heading);
      break;
    }
    case CsvTable::Results:
      rows.push_back({"レース", "券種", "組番", "人気", "払戻金"});
      break;
    case CsvTable::Combinations:
      rows.push_back({"レース", "券種", "No.", "買い目", "配当", "的中"});
      break;
  }
  for (int slot : slots) {
    if (slot < 0 || slot >= day.RaceListRows || slot >= kRaceSlots) continue;
    switch (table) {
      case CsvTable::RaceCard:
        RaceCardRows(day, slot, rows);
        break;
      case CsvTable::SignTable:
        SignTableRows(day, slot, points, rows);
        break;
      case CsvTable::Results:
        ResultRows(day, slot, rows);
        break;
      case CsvTable::Combinations:
        CombinationRows(day, slot, rows);
        break;
    }
  }
  return rows;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows) {
  std::string out = "\xEF\xBB\xBF";
  for (const Row& row : rows) out += CsvLine(row);
  return out;
}

}  // namespace sorvix
