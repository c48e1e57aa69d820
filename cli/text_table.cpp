#include "cli/text_table.h"

#include <algorithm>
#include <cstdio>

namespace sorvix::cli {

size_t Columns(const std::string& utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    unsigned code = 0;
    if (len == 3 && i + 2 < utf8.size())
      code = ((c & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
    columns += len >= 3 && !(code >= 0xFF61 && code <= 0xFF9F) ? 2 : 1;
    i += len;
  }
  return columns;
}

void PrintRows(const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> width;
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) {
      if (width.size() <= c) width.push_back(0);
      width[c] = std::max(width[c], Columns(row[c]));
    }
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      std::string pad(width[c] - Columns(row[c]), ' ');
      if (c) line += "  ";
      line += c == 0 ? row[c] + pad : pad + row[c];
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace sorvix::cli
