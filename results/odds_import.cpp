#include "results/odds_import.h"

#include <cctype>
#include <functional>
#include <optional>
#include <system_error>

#include "app/file_io.h"
#include "app/home_lock.h"
#include "app/program_folder.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/lzh_extract.h"
#include "store/record_date.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

constexpr int kHorses = 18;
constexpr int kQuinellaPairs = 153;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The file `name` in `folder`, its letters in any case (archives come from
// a case-blind file system); nullopt when absent.
std::optional<fs::path> FindFile(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  if (fs::is_regular_file(folder / name, ec)) return folder / name;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) && SameNameIgnoringCase(it->path().filename().string(), name))
      return it->path();
  return std::nullopt;
}

void RemoveFile(const fs::path& folder, std::string_view name) {
  while (auto found = FindFile(folder, name)) {
    std::error_code ec;
    if (!fs::remove(*found, ec)) break;
  }
}

std::string Trimmed(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return std::string(TrimRight(text.substr(start)));
}

// A KOL odds field in tenths: "*" gives `capped`, "-" blanks of `width`.
std::string KolOdds(std::string_view field, int width, const char* capped) {
  std::string value = Trimmed(field);
  if (value == "*") return capped;
  if (value == "-") return std::string(static_cast<size_t>(width), ' ');
  std::string odds =
      Format(width == 6 ? "%6.1f" : "%8.1f", static_cast<double>(ReadNumber(field)) / 10.0);
  // A number too wide for its field is damage, not odds: it would shift
  // every later field of the line.
  if (odds.size() > static_cast<size_t>(width)) return std::string(static_cast<size_t>(width), ' ');
  return odds;
}

// Writes the date's OddsFile whole, replacing an older one, every line at
// its full width (a short source line gives blanks, never a short line).
void WriteOddsFile(Cp932View dateLabel, std::vector<std::string> lines) {
  for (std::string& line : lines) line.resize(kOddsLength - 2, ' ');
  fs::path path = HomePath(OddsFilePath(dateLabel));
  HomeLock lock = HomeLock::Acquire(HomeLock::kShortWait);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  WriteFileAtomic(path, JoinLines(lines));
}

std::vector<std::string> SourceLines(const fs::path& path) {
  std::vector<std::string> lines;
  for (std::string& line : SplitLines(ReadWholeFile(path)))
    if (!IsBlank(line)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace

std::string JrdbOddsLine(std::string_view line, std::string_view ymd6) {
  std::string out = "20" + std::string(ymd6) + std::string(Field(line, jrdb::kVenueCode)) + "0" +
                    std::string(Field(line, jrdb::kMeetingNumber)) + "0" +
                    std::string(Field(line, jrdb::kMeetingDay)) +
                    std::string(Field(line, jrdb::kRaceNumber)) + "J" +
                    std::string(Field(line, jrdb::kRunners));
  for (int h = 0; h < kHorses; ++h) out += " " + std::string(Field(line, jrdb::kWinOdds[h]));
  for (int h = 0; h < kHorses; ++h) out += " " + std::string(Field(line, jrdb::kPlaceOdds[h]));
  for (int k = 0; k < kQuinellaPairs; ++k)
    out += "   " + std::string(Field(line, jrdb::kQuinellaOdds[k]));
  return out;
}

std::string KolOddsLine(std::string_view line, bool from2005) {
  std::string out =
      std::string(Field(line, kol::kDate)) + std::string(Field(line, kol::kVenueCode)) +
      std::string(Field(line, kol::kMeetingDayRace)) +
      (Field(line, kol::kFlag) == "1" ? "M" : "K") + std::string(Field(line, kol::kRunners));
  for (int h = 0; h < kHorses; ++h) out += KolOdds(Field(line, kol::kWinOdds[h]), 6, "  50.0");
  out += std::string(6 * kHorses, ' ');
  int runners = FieldInt(line, kol::kRunners);
  if (runners > 8 || from2005) {
    for (int k = 0; k < kQuinellaPairs; ++k)
      out += KolOdds(Field(line, kol::kQuinellaOdds[k]), 8, "  1000.0");
  } else {
    for (int k = 1; k <= kQuinellaPairs; ++k) {
      int j = BracketComboIndex(QuinellaComboLabel(k));
      out += j == 0 ? std::string(8, ' ')
                    : KolOdds(Field(line, kol::kBracketQuinellaOdds[j - 1]), 8, "   100.0");
    }
  }
  return out;
}

namespace {

using WithRefused = std::function<std::string(std::string)>;

// Stores the JRDB file `jrdb` of the archive's date `code` (yymmdd) as the
// OddsFile of that date and removes it.  False, with `result` saying why,
// when the code is not a date.
bool ImportJrdb(const fs::path& jrdb, const std::string& code, const fs::path& archive,
                OddsImportResult& result, const WithRefused& withRefused) {
  if (code.size() != 6 ||
      !CalendarDay("20" + code.substr(0, 2), code.substr(2, 2), code.substr(4, 2))) {
    result.kind = OddsImportResult::Kind::BadDate;
    result.detail =
        withRefused("書庫の名前の 3～8 文字目が日付（yymmdd）ではないため取り込めません: " +
                    archive.filename().string());
    return false;
  }
  std::string yy = code.substr(0, 2), mm = code.substr(2, 2), dd = code.substr(4, 2);
  std::vector<std::string> lines;
  for (const std::string& line : SourceLines(jrdb)) lines.push_back(JrdbOddsLine(line, code));
  result.dateLabel = DateLabelFromYmd("20" + code);
  WriteOddsFile(result.dateLabel, lines);
  std::error_code ec;
  fs::remove(jrdb, ec);
  result.kind = OddsImportResult::Kind::Jrdb;
  result.races = static_cast<int>(lines.size());
  // yy, mm and dd are digits of the source file's record.
  result.message =
      Cp932Text::FromBytes("JRDB基準オッズデータを解凍し、20"_sj + yy + "年"_sj + mm + "月"_sj +
                           dd + "日のデータを保存しました。データを再読込すると反映されます。"_sj);
  return true;
}

// Stores the KOL file `kol` as the OddsFile of the date its first line
// names and removes both KOL files from `folder`.  False, with `result`
// saying why, when that is not a date.
bool ImportKol(const fs::path& folder, const fs::path& kol, std::optional<bool> loadedFrom2005,
               OddsImportResult& result, const WithRefused& withRefused) {
  std::vector<std::string> source = SourceLines(kol);
  std::string ymd = source.empty() ? std::string() : std::string(Field(source[0], kol::kDate));
  if (ymd.size() != 8 || !CalendarDay(ymd.substr(0, 4), ymd.substr(4, 2), ymd.substr(6, 2))) {
    result.kind = OddsImportResult::Kind::BadDate;
    result.detail =
        withRefused("KOL のファイル " + kol.filename().string() +
                    " の 1 行目の 13～20 文字目が日付（yyyymmdd）ではないため取り込めません");
    return false;
  }
  std::vector<std::string> lines;
  for (const std::string& line : source) {
    bool from2005 = loadedFrom2005 ? *loadedFrom2005 : ReadNumber(Field(line, kol::kYear)) >= 2005;
    lines.push_back(KolOddsLine(line, from2005));
  }
  result.dateLabel = DateLabelFromYmd(ymd);
  WriteOddsFile(result.dateLabel, lines);
  RemoveFile(folder, "kol_ods.kd2");
  RemoveFile(folder, "kol_ods.kd3");
  result.kind = OddsImportResult::Kind::Kol;
  result.races = static_cast<int>(lines.size());
  // ymd is digits of the source file's record.
  result.message = Cp932Text::FromBytes(
      "KOL予想オッズデータを解凍し、"_sj + ymd.substr(0, 4) + "年"_sj + ymd.substr(4, 2) + "月"_sj +
      ymd.substr(6, 2) + "日のデータを保存しました。データを再読込すると反映されます。"_sj);
  return true;
}

}  // namespace

OddsImportResult ImportPredictedOdds(const fs::path& archive, std::optional<bool> loadedFrom2005) {
  OddsImportResult result;
  fs::path folder = archive.parent_path();
  if (folder.empty()) folder = ".";
  std::string name = archive.filename().string();
  std::string code = name.size() > 2 ? name.substr(2, 6) : std::string();
  std::string jrdbName = "Oz" + code + ".txt";

  RemoveFile(folder, jrdbName);
  RemoveFile(folder, "kol_ods.kd2");
  RemoveFile(folder, "kol_ods.kd3");
  RemoveFile(folder, "yosoodds.dat");

  LzhExtraction extraction = ExtractLzh(archive, folder);
  std::string refused;
  for (const std::string& member : extraction.refused)
    refused += (refused.empty() ? "" : "、") + member;
  if (!refused.empty())
    refused =
        "書庫の中の次のファイルは、名前がフォルダの外を指すため取り込みませんでした: " + refused;
  auto withRefused = [&](std::string text) {
    if (refused.empty()) return text;
    return text.empty() ? refused : text + "。" + refused;
  };
  if (!extraction.ok()) {
    result.kind = OddsImportResult::Kind::NotExtracted;
    result.beep = true;
    result.message = Cp932Text::FromBytes("データが解凍できませんでした。"_sj);
    result.detail =
        withRefused(extraction.error.empty() ? "書庫にファイルがありません" : extraction.error);
    return result;
  }
  // On every failure below, what this import extracted goes again.
  bool done = false;
  struct Cleanup {
    const fs::path& folder;
    const std::vector<std::string>& files;
    const bool& done;
    ~Cleanup() {
      if (done) return;
      for (const std::string& file : files) {
        std::error_code ec;
        fs::remove(folder / file, ec);
      }
    }
  } cleanup{folder, extraction.files, done};
  result.detail = refused;

  if (auto jrdb = FindFile(folder, jrdbName)) {
    done = ImportJrdb(*jrdb, code, archive, result, withRefused);
    return result;
  }

  auto kol = FindFile(folder, "kol_ods.kd2");
  if (!kol) kol = FindFile(folder, "kol_ods.kd3");
  if (!kol) {  // NoSource
    result.detail = withRefused("書庫に予想オッズのファイル（" + jrdbName +
                                "、kol_ods.kd2、kol_ods.kd3）がありません");
    return result;
  }

  done = ImportKol(folder, *kol, loadedFrom2005, result, withRefused);
  return result;
}

}  // namespace sorvix
