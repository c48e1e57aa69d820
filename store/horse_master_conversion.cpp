#include "store/horse_master_conversion.h"

#include <mutex>
#include <vector>

#include "app/file_io.h"
#include "codes/text.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

constexpr int kNewLineWidth = kUmLength - 2;
constexpr int kPedigreeEntries = 14;

// Appends the field at `pos` with `width` bytes, blank-filled when the
// record ends early.
void Copy(std::string& out, std::string_view record, int pos, int width) {
  std::string_view piece = Field(record, pos, width);
  out.append(piece);
  out.append(static_cast<size_t>(width) - piece.size(), ' ');
}

// The same behind two blanks: the field grows by two bytes.
void Widen(std::string& out, std::string_view record, int pos, int width) {
  out.append(2, ' ');
  Copy(out, record, pos, width);
}

}  // namespace

std::string ConvertHorseMasterRecord(std::string_view oldRecord) {
  std::string line;
  line.reserve(kNewLineWidth);
  Copy(line, oldRecord, 1, 204);
  for (int i = 0; i < kPedigreeEntries; ++i) {
    Widen(line, oldRecord, 205 + 44 * i, 8);  // breeding-horse number
    Copy(line, oldRecord, 213 + 44 * i, 36);  // name
  }
  Copy(line, oldRecord, 821, 34);    // east/west, trainer code and name, region
  Widen(line, oldRecord, 855, 6);    // breeder code
  Widen(line, oldRecord, 861, 70);   // breeder name
  Copy(line, oldRecord, 931, 90);    // birthplace, owner code and name
  Copy(line, oldRecord, 1021, 54);   // prize totals
  Copy(line, oldRecord, 1075, 501);  // finishing-count tables
  return line;
}

bool ConvertHorseMasterFile(const std::filesystem::path& source,
                            const std::filesystem::path& target) {
  // Loads that run side by side (the backtest's workers) can meet the same
  // horse; one conversion at a time keeps their temporary files apart.
  static std::mutex converting;
  std::lock_guard lock(converting);
  auto bytes = ReadFileIfExists(source);
  if (!bytes) return false;
  size_t records = bytes->size() / kOldUmLength;
  if (records == 0) return false;
  std::vector<std::string> lines;
  lines.reserve(records);
  std::string_view all(*bytes);
  for (size_t i = 0; i < records; ++i)
    lines.push_back(ConvertHorseMasterRecord(all.substr(i * kOldUmLength, kOldUmLength)));
  WriteFileAtomic(target, JoinLines(lines));
  return true;
}

}  // namespace sorvix
