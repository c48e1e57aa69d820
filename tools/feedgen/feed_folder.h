// FeedFolder: the files of a feed folder.  Accumulating data files are
// named <SPEC><yyyymmddhhnnss>.jvd, real-time files go to rt/<yyyymmdd>/,
// predicted-odds archives to odds/.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

class FeedFolder {
 public:
  // Creates the folder.  A folder that already holds feed files is refused
  // (std::runtime_error) unless `replace` is set; then those files (*.jvd,
  // rt/, odds/) are removed first and nothing else is touched.
  FeedFolder(const std::filesystem::path& root, bool replace);

  // <spec><date><hhnnss>.jvd
  void WriteData(std::string_view spec, const Date& date, int hhnnss, std::string_view bytes);
  // rt/<date>/<name>
  void WriteRealTime(const Date& date, const std::string& name, std::string_view bytes);
  // odds/<name>
  void WriteOdds(const std::string& name, std::string_view bytes);

  const std::filesystem::path& root() const { return root_; }
  int files() const { return files_; }
  int64_t bytes() const { return bytes_; }

 private:
  void Write(const std::filesystem::path& path, std::string_view bytes);
  std::filesystem::path root_;
  int files_ = 0;
  int64_t bytes_ = 0;
};

// Writes a whole file, creating its folder; throws Error on failure.
void WriteBinaryFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace sorvix::feedgen
