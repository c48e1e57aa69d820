// A fresh ProgramFolder for one test, removed afterwards.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/file_io.h"
#include "app/program_folder.h"

namespace sorvix::test {

class TempHome {
 public:
  TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvix-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : pattern;
    previous_ = ProgramFolder::Get();
    ProgramFolder::Set(path_);
  }
  ~TempHome() {
    ProgramFolder::Set(previous_);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Writes a file below the home (UTF-8 relative name), creating folders.
  void Write(const std::filesystem::path& relative, std::string_view bytes) const {
    std::filesystem::create_directories((path_ / relative).parent_path());
    WriteFileAtomic(path_ / relative, bytes);
  }
  std::string Read(const std::filesystem::path& relative) const { return ReadWholeFile(path_ / relative); }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

}  // namespace sorvix::test
