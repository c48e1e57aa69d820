#include "fuzz/fuzz_home.h"

#include <fstream>

#include "app/program_folder.h"
#include "tests/support/temp_home.h"

namespace sorvix::fuzz {

namespace fs = std::filesystem;

namespace {

// The home lives as long as the process; libFuzzer ends with exit(), which
// removes it.
test::TempHome& Home() {
  static test::TempHome home;
  return home;
}

}  // namespace

const fs::path& FuzzHome() {
  return Home().path();
}

void ResetFuzzHome() {
  const fs::path& home = FuzzHome();
  std::error_code ec;
  for (fs::directory_iterator it(home, ec), end; !ec && it != end; it.increment(ec))
    fs::remove_all(it->path(), ec);
  ProgramFolder::Set(home);
  CreateStoreFolders();
}

void WriteFuzzFile(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace sorvix::fuzz
