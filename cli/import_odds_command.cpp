// sorvix-cli import-odds ARCHIVE: imports a KOL or JRDB predicted-odds
// archive as the 予想オッズ button does, and prints its message.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/command_registry.h"
#include "codes/cp932.h"
#include "results/odds_import.h"
#include "store/store_paths.h"

namespace sorvix::cli {
namespace {

int ImportOdds(const Args& args) {
  Args positional = Positional(args, {});
  if (positional.size() != 1) {
    std::fprintf(stderr, "使い方: sorvix-cli import-odds ARCHIVE\n");
    return 2;
  }
  // A relative name is taken from the folder the command was started in.
  std::filesystem::path archive = StartedPath(positional[0]);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(archive, ec)) {
    std::fprintf(stderr, "sorvix-cli: ファイルがありません: %s\n", archive.string().c_str());
    return 1;
  }

  OddsImportResult result;
  try {
    // No date is loaded here: each race's own date decides the quinella rule.
    result = ImportPredictedOdds(archive, std::nullopt);
  } catch (const std::exception& e) {
    PrintError(e);
    return 1;
  }
  switch (result.kind) {
    case OddsImportResult::Kind::NotExtracted:
      std::fprintf(stderr, "sorvix-cli: %s（%s）\n", Utf8(result.message).c_str(),
                   result.detail.c_str());
      return 1;
    case OddsImportResult::Kind::NoSource:
    case OddsImportResult::Kind::BadDate:
      std::fprintf(stderr, "sorvix-cli: %s\n", result.detail.c_str());
      return 1;
    case OddsImportResult::Kind::Jrdb:
    case OddsImportResult::Kind::Kol:
      break;
  }
  if (!result.detail.empty()) std::fprintf(stderr, "sorvix-cli: 警告: %s\n", result.detail.c_str());
  std::printf("%s\n%s: %d レース\n", Utf8(result.message).c_str(),
              Utf8(Cp932View::FromBytes(OddsFilePath(result.dateLabel))).c_str(), result.races);
  return 0;
}

const CommandRegistration kImportOdds{
    "import-odds", "import-odds ARCHIVE  予想オッズ（KOL・JRDB の LZH）を取り込み .yoz に保存",
    &ImportOdds};

}  // namespace
}  // namespace sorvix::cli
