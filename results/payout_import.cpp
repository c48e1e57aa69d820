#include "results/payout_import.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "results/payout_table.h"
#include "store/block_file.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/record_checks.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

// The venue code and race number of a race, "0611".
std::string VenueAndRace(const RaImage& ra) {
  return std::string(ra.Field(ra::kVenueCode)) + std::string(ra.Field(ra::kRaceNumber));
}

// Step 2: RaRec and SeRec of every race again from the RaceFile and the
// RunnerFiles, so that refreshed results (final positions, odds) show.
void RereadRaces(RaceDay& day, Cp932View dateLabel) {
  auto raceFile = BlockFile::OpenIfExists(HomePath(RaceFilePath(dateLabel)));
  if (!raceFile) return;
  int64_t blocks = raceFile->BlockCount(kRaLength);
  // Each venue's RunnerFile is opened once for all its races.
  std::map<std::string, std::optional<BlockFile>, std::less<>> runnerFiles;
  std::string lines;
  int r = 0;
  for (int64_t b = 0; b < blocks && r < kRaceSlots; ++b) {
    RaImage& ra = day.RaRec[r];
    raceFile->ReadBlock(b, kRaLength, ra.data());
    // No race, or a damaged race line the loader went past: the next record
    // takes this slot, as in the load.
    if (ra.IsBlank(ra::kYear) || RaceKeyProblem(ra.Text())) {
      ra.Clear();
      continue;
    }
    int race = ra.Int(ra::kRaceNumber);
    int runners = day.Runners(r);
    std::string_view venue = ra.Field(ra::kVenueCode);
    auto file = runnerFiles.find(venue);
    if (file == runnerFiles.end())
      file = runnerFiles
                 .emplace(std::string(venue),
                          BlockFile::OpenIfExists(HomePath(RunnerFilePath(dateLabel, venue))))
                 .first;
    std::optional<BlockFile>& runnerFile = file->second;
    if (runnerFile && runners > 0) {
      runnerFile->BlockCount(kSeLength);
      const int64_t first = static_cast<int64_t>(race - 1) * kHorseSlots;
      if (first >= 0 && (first + runners) * kSeLength <= runnerFile->Size()) {
        // The race's runners lie side by side: one read for all of them.
        lines.resize(static_cast<size_t>(runners) * kSeLength);
        runnerFile->ReadAt(first * kSeLength, runners * kSeLength, lines.data());
        for (int h = 0; h < runners; ++h)
          std::copy_n(lines.data() + static_cast<size_t>(h) * kSeLength, kSeLength,
                      day.SeRec[r][h].data());
      } else {
        for (int h = 0; h < runners; ++h)
          runnerFile->ReadBlock(first + h, kSeLength, day.SeRec[r][h].data());
      }
    }
    ++r;
  }
}

}  // namespace

PayoutImportOutcome ImportPayouts(RaceDay& day, Cp932View dateLabel, RaceLines races,
                                  int selectedSlot) {
  PayoutImportOutcome outcome;
  std::string selected;
  if (selectedSlot >= 0 && selectedSlot < kRaceSlots)
    selected = VenueAndRace(day.RaRec[selectedSlot]);

  if (races == RaceLines::Reread) RereadRaces(day, dateLabel);

  auto payoutFile = BlockFile::OpenIfExists(HomePath(PayoutFilePath(dateLabel)));
  if (!payoutFile) return outcome;
  int64_t records = std::min<int64_t>(payoutFile->BlockCount(kHrLength), kRaceSlots);
  for (int r = 0; r < kRaceSlots; ++r) day.HrRec[r].Clear();
  HrImage hr;
  for (int64_t i = 0; i < records; ++i) {
    payoutFile->ReadBlock(i, kHrLength, hr.data());
    std::string_view key = hr.Field(hr::kRaceKey);
    if (IsBlank(key)) continue;  // a blank line names no race
    for (int r = 0; r < kRaceSlots; ++r) {
      if (day.RaRec[r].Field(ra::kRaceKey) != key) continue;
      day.HrRec[r] = hr;
      if (!day.PayoutLoaded[r] && VenueAndRace(day.RaRec[r]) == selected)
        outcome.selectedRaceReceived = true;
      day.PayoutLoaded[r] = true;
      break;
    }
  }

  for (int r = 0; r < kRaceSlots; ++r) {
    PayoutTable& table = day.Payouts[r];
    table = ParsePayoutTable(day.HrRec[r].Text());
    // The final positions of the placed runners, dead heats sharing theirs
    // (not the place entry numbers, which would make the second of two
    // winners second).
    std::array<int, 19> positions = FinalPositions(table);
    for (int horse = 1; horse <= kHorseSlots; ++horse)
      if (positions[static_cast<size_t>(horse)] > 0)
        day.SeRec[r][horse - 1].Put(se::kFinalPosition,
                                    Format("%02d", positions[static_cast<size_t>(horse)]));
  }
  return outcome;
}

}  // namespace sorvix
