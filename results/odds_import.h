// The predicted-odds import (予想オッズ): extracts a KOL or JRDB archive into
// its own folder, converts the extracted source file into one OddsFile
// line per race and writes the date's ".yoz" file in the data folder.  The
// loaded model is not touched; the message asks the user to reload.
//
// The caller picks the archive (file dialog in the predicted-odds folder)
// and shows `message` in an information box, preceded by a beep when
// `beep` is set.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codes/cp932_text.h"

namespace sorvix {

struct OddsImportResult {
  enum class Kind {
    NotExtracted,  // the archive could not be extracted: nothing written
    NoSource,      // extracted, but neither source file: nothing shown
    BadDate,       // the source's date is not a calendar date: nothing written
    Jrdb,          // the JRDB base odds were saved
    Kol            // the KOL predicted odds were saved
  };
  Kind kind = Kind::NoSource;
  bool beep = false;
  // The information box text; empty when nothing is shown.
  Cp932Text message;
  // The DateLabel of the written OddsFile and its line count.
  Cp932Text dateLabel;
  int races = 0;
  // Why nothing was imported, and the members refused for their names
  // (UTF-8 Japanese; empty when there is nothing to add to `message`).
  // Whatever the import extracted is removed again when it fails.
  std::string detail;
};

// Imports `archive` (a UTF-8 path).  `loadedFrom2005` is whether the loaded
// meeting date is in 2005 or later; nullopt when no date is loaded, and
// then each KOL race's own date decides.  A .yoz file that cannot be
// written throws Error.
OddsImportResult ImportPredictedOdds(const std::filesystem::path& archive,
                                     std::optional<bool> loadedFrom2005);

// The conversions, one source line to one OddsFile line.  `ymd6` is the
// JRDB archive's "yymmdd".
std::string JrdbOddsLine(std::string_view line, std::string_view ymd6);
std::string KolOddsLine(std::string_view line, bool from2005);

}  // namespace sorvix
