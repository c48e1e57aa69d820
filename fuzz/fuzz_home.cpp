#include "fuzz/fuzz_home.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/program_folder.h"

namespace sorvix::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path MakeHome() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/sorvix-fuzz-XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  fs::path home = pattern;
  ProgramFolder::Set(home);
  CreateStoreFolders();
  std::atexit([] {
    std::error_code ec;
    fs::remove_all(FuzzHome(), ec);
  });
  return home;
}

}  // namespace

const fs::path& FuzzHome() {
  static const fs::path home = MakeHome();
  return home;
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
