// The predicted-odds import: the input is the source file of one provider
// (first byte: 0 the JRDB base odds "Ozyymmdd.txt", 1 KOL "kol_ods.kd2",
// 2 KOL "kol_ods.kd3"), delivered in a well-formed archive, converted line
// by line and written as the date's OddsFile.  The import reports its
// outcome and never ends otherwise than with Error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "fuzz/fuzz_home.h"
#include "results/odds_import.h"
#include "store/store_paths.h"
#include "tools/feedgen/lzh_writer.h"

using namespace sorvix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  fuzz::ResetFuzzHome();
  static const char* const kNames[] = {"Oz240505.txt", "kol_ods.kd2", "kol_ods.kd3"};
  int kind = data[0] % 3;
  std::optional<bool> loadedFrom2005;
  if (data[1] % 3 != 2) loadedFrom2005 = data[1] % 3 == 1;

  feedgen::LzhMember member;
  member.name = kNames[kind];
  member.data.assign(reinterpret_cast<const char*>(data + 2), size - 2);
  member.date = feedgen::Date{2024, 5, 5};
  std::filesystem::path archive =
      fuzz::FuzzHome() / "ylzh" / (kind == 0 ? "OZ240505.lzh" : "KL240505.lzh");
  fuzz::WriteFuzzFile(archive, feedgen::LzhArchive({member}));

  try {
    OddsImportResult result = ImportPredictedOdds(archive, loadedFrom2005);
    // The archive is whole, so it always extracts; only a written OddsFile
    // is announced.
    if (result.kind == OddsImportResult::Kind::NotExtracted) std::abort();
    bool written =
        result.kind == OddsImportResult::Kind::Jrdb || result.kind == OddsImportResult::Kind::Kol;
    if (written != !result.message.empty()) std::abort();
    // Every line written is at its full width, so the loader reads each
    // race's odds where they are.
    if (written) {
      std::string bytes = ReadWholeFile(HomePath(OddsFilePath(result.dateLabel)));
      for (const std::string& line : SplitLines(bytes))
        if (line.size() != static_cast<size_t>(kOddsLength - 2)) std::abort();
    }
  } catch (const Error&) {
  }
  return 0;
}
