// The race views as CSV: the race card, the sign table, the results and
// the betting combinations of one race or of every race of the loaded day,
// one table each, with the race in the first column.  The GUI's CSV保存
// and `sorvix-cli analyze DATE --csv` write the same text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/sign_points.h"

namespace sorvix {

class RaceDay;

enum class CsvTable {
  RaceCard,      // 出馬表
  SignTable,     // サイン表
  Results,       // 結果表
  Combinations,  // 買い目表
};

// The table's Japanese name (UTF-8), used in menus and file names.
std::string CsvTableName(CsvTable table);
// Parses a table name ("出馬表", …); false for an unknown name.
bool ParseCsvTable(std::string_view name, CsvTable& table);

// The rows (UTF-8 cells) of `table` for the race-list rows `slots` of
// `day`: a heading row, then the rows of each race.  The sign table shows
// each present mark as its weight from `points`, as the window does.
std::vector<std::vector<std::string>> CsvRows(const RaceDay& day, CsvTable table,
                                              const std::vector<int>& slots,
                                              const SignPoints& points);

// RFC 4180 text of `rows`: UTF-8 with a byte-order mark (so spreadsheet
// programs read the Japanese texts), CR LF line ends, each cell as CsvCell
// writes it (texts a spreadsheet would misread, such as the combination
// "1-15", as ="1-15").
std::string CsvText(const std::vector<std::vector<std::string>>& rows);

}  // namespace sorvix
