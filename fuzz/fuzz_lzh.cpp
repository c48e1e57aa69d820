// LZH extraction: any bytes as an archive.  A failed extraction writes
// nothing; a good one writes only inside the target folder and only the
// files it reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "fuzz/fuzz_home.h"
#include "results/lzh_extract.h"

using namespace sorvix;
namespace fs = std::filesystem;

namespace {

size_t CountEntries(const fs::path& folder) {
  size_t n = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetFuzzHome();
  const fs::path& home = fuzz::FuzzHome();
  fs::path archive = home / "in.lzh";
  fs::path target = home / "ylzh" / "out";
  fuzz::WriteFuzzFile(archive, std::string_view(reinterpret_cast<const char*>(data), size));
  fs::create_directories(target);
  size_t homeBefore = CountEntries(home);

  LzhExtraction result = ExtractLzh(archive, target);

  // Nothing appears beside the target folder, ever.
  size_t homeAfter = CountEntries(home);
  size_t targetAfter = CountEntries(target);
  if (homeAfter - targetAfter != homeBefore) std::abort();
  if (!result.error.empty() && targetAfter != 0) std::abort();
  for (const auto& name : result.files)
    if (!fs::is_regular_file(target / name)) std::abort();
  return 0;
}
