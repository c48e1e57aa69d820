// A table of UTF-8 cells printed in aligned columns: the first column to the
// left, the others to the right, two spaces apart.
#pragma once

#include <string>
#include <vector>

namespace sorvix::cli {

// Columns of a cell on a terminal: a character above U+07FF (kana, kanji;
// not the half-width katakana) counts two.
size_t Columns(const std::string& utf8);

void PrintRows(const std::vector<std::vector<std::string>>& rows);

}  // namespace sorvix::cli
