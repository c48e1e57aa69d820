// The cells of every CSV file the program writes (UTF-8), made so that a
// spreadsheet opens each one as it was written.  A number stays a number.
// A text that LibreOffice Calc or Excel would take for something else (a
// betting combination "1-15" or "1-11-15" read as a date, "01" losing its
// zero, "09:50" as a time, "2024-06" as a month) is written as the formula
// ="1-15": both programs open a CSV cell that begins with "=" as a formula,
// and a formula that is one quoted text gives exactly that text, as text.
// So is a text that begins with =, +, - or @, which would otherwise be
// taken for a formula of its own.  Any other text is written as it is,
// quoted when it holds a comma, a quote or a line break.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvix {

// A plain decimal number ("15", "-3", "57.5", "0.25"; not "01", "1e5",
// " 3"): what a spreadsheet reads as that same number.
bool IsPlainCsvNumber(std::string_view text);

// Whether a spreadsheet could take `text` for a number, date, time or
// formula instead of text (for a text that is not a plain number).
bool CsvNeedsTextForm(std::string_view text);

// One cell as written to the file.
std::string CsvCell(std::string_view text);

// One line: the cells, comma-separated, with CR LF.
std::string CsvLine(const std::vector<std::string>& cells);

}  // namespace sorvix
