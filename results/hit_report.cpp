#include "results/hit_report.h"

#include <cerrno>
#include <system_error>
#include <vector>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/shared_file_lock.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/betting_combinations.h"
#include "results/payout_table.h"
#include "store/race_day.h"

namespace sorvix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFragmentFolder = "\\HPupload";
constexpr const char* kHitLogPath = "\\HPupload\\Manbaken.txt";

struct BetType {
  const std::vector<KaimeRow> KaimeTables::*grid;
  size_t width;  // characters of the grid text compared
  const PayoutCombination* results;
  int resultCount;
  std::string label;  // CP932
  int colourLimit;
  int threshold;
};

void AddHits(const RaceDay& day, int race, const KaimeTables& tables, const BetType& bet,
             HitReport& report) {
  const RaImage& ra = day.RaRec[race];
  for (const KaimeRow& row : tables.*bet.grid) {
    std::string combination = row.combination.substr(0, bet.width);
    for (int c = 0; c < bet.resultCount; ++c) {
      const PayoutCombination& result = bet.results[c];
      if (!HasResult(result.Combination) || combination != result.Combination.View()) continue;
      int payout = result.Payout;
      bool big = payout >= bet.colourLimit;
      if (payout <= bet.threshold) continue;
      std::string paid = "/配当 "_sj + Format("%7d", payout) + "円"_sj;
      report.lines.push_back(Cp932Text::FromBytes(
          std::string(big ? "<img src=\"./image/lis1.gif\">" : "<img src=\"./image/lis2.gif\">") +
          (big ? "<font color=\"red\">" : "<font color=\"blue\">") +
          VenueName(ra.Field(ra::kVenueCode)).bytes() + PadNumber(ra.Field(ra::kRaceNumber)) +
          bet.label + combination + paid + "　"_sj + std::string(ra.Field(ra::kShortRaceName6)) +
          "</font>"));
      report.log.push_back(std::string(ra.Field(ra::kDate)) +
                           std::string(ra.Field(ra::kVenueCode)) +
                           std::string(ra.Field(ra::kRaceNumber)) + bet.label + combination + paid);
      ++report.hits;
    }
  }
}

std::vector<std::string> ReadHitLog() {
  if (auto log = ReadFileIfExists(HomePath(kHitLogPath))) return SplitLines(*log);
  return {" Sorvix for JRA-VAN Data Lab."};
}

}  // namespace

HitReport BuildHitReport(const RaceDay& day, bool bigOnly) {
  HitReport report;
  report.lines.push_back(
      Cp932("<br /><img src=\"./image/balist.gif\"><font color=\"black\">【Sorvix for JRA-VAN Data "
            "Lab.】</font>"));
  report.log = ReadHitLog();

  for (int race = 0; race < day.RaceListRows && race < kRaceSlots; ++race) {
    KaimeTables tables = KaimeTablesOf(day, race);
    const PayoutTable& payouts = day.Payouts[race];
    const BetType bets[] = {
        {&KaimeTables::trio, 8, payouts.Trio, 3, "R[３連複]:"_sj, 10000, bigOnly ? 5000 : 0},
        {&KaimeTables::quinella, 5, payouts.Quinella, 3, "R[馬連　]：　"_sj, 10000,
         bigOnly ? 5000 : 0},
        {&KaimeTables::quinella, 5, payouts.QuinellaPlace, 7, "R[ワイド]：　"_sj, 5000,
         bigOnly ? 3000 : 0},
        {&KaimeTables::exacta, 5, payouts.Exacta, 6, "R[馬単　]：　"_sj, 10000, bigOnly ? 5000 : 0},
    };
    for (const BetType& bet : bets) AddHits(day, race, tables, bet, report);
  }
  return report;
}

HitReport WriteHitReport(const RaceDay& day, bool bigOnly) {
  HitReport report = BuildHitReport(day, bigOnly);
  if (report.hits == 0) return report;

  fs::path folder = HomePath(kFragmentFolder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    errno = ec.value();
    ThrowIoError("フォルダを作成できません", folder);
  }
  const RaImage& first = day.RaRec[0];
  report.fragmentPath =
      HomePath(std::string("\\HPupload\\TK") + std::string(first.Field(ra::kDate)) + ".txt");
  std::vector<std::string> fragment;
  for (const Cp932Text& line : report.lines) fragment.push_back(line.bytes());
  WriteFileAtomic(report.fragmentPath, JoinLines(fragment));
  {
    // The log as it is now, not as it was when the report began: another
    // report may have added its hits since.  Each hit added one log line.
    SharedFileLock lock;
    std::vector<std::string> added(report.log.end() - report.hits, report.log.end());
    report.log = ReadHitLog();
    report.log.insert(report.log.end(), added.begin(), added.end());
    WriteFileAtomic(HomePath(kHitLogPath), JoinLines(report.log));
  }
  report.written = true;
  return report;
}

}  // namespace sorvix
