// One small generated feed shared by the feed generator's tests: the three
// days 2024-06-15 (three venues), 2024-06-16 (three venues) and 2024-06-22
// (two venues), with eight weekends of results before them, the old
// weekends about 80 weeks earlier and old-layout horse files.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "codes/text.h"
#include "tools/feedgen/generator.h"

namespace sorvix::feedgen::test {

namespace fs = std::filesystem;

inline fs::path MakeTempFolder(const char* stem) {
  std::string pattern = (fs::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
  char* made = mkdtemp(pattern.data());
  return made ? fs::path(made) : fs::path(pattern);
}

// The records of a file, each with its CR LF.
inline std::vector<std::string> Records(const std::string& bytes) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size() - 2;
    out.push_back(bytes.substr(start, end + 2 - start));
    start = end + 2;
  }
  return out;
}

struct FeedFile {
  std::string name;  // relative to the feed folder, "/" separated
  std::vector<std::string> records;
};

struct SharedFeed {
  fs::path root;
  fs::path home;  // where the old-layout horse files went
  FeedSummary summary;
  std::vector<FeedFile> files;  // accumulating files in time-stamp order, then rt files by name

  // Every record of type `type` and data kind `kind` of the accumulating files.
  std::vector<std::string> Find(std::string_view type, char kind) const {
    std::vector<std::string> out;
    for (const FeedFile& f : files) {
      if (f.name.rfind("rt/", 0) == 0) continue;
      for (const std::string& r : f.records)
        if (r.compare(0, 2, type) == 0 && r[2] == kind) out.push_back(r);
    }
    return out;
  }
};

inline FeedFile ReadFeedFile(const fs::path& root, const fs::path& path) {
  return FeedFile{fs::relative(path, root).generic_string(), Records(ReadWholeFile(path))};
}

// The feed is generated once per build of the test program and kept in the
// build folder: ctest runs every test in a process of its own, and they all
// read the same files.  A lock serialises processes that start together; a
// stamp holding the program's modification time tells a feed of this build
// from an older one.
inline const SharedFeed& Feed() {
  static SharedFeed* feed = [] {
    auto* f = new SharedFeed;
    fs::path base = fs::path(SORVIX_BINARY_DIR) / "feedgen-test-feed";
    fs::create_directories(base);
    f->root = base / "feed";
    f->home = base / "home";
    int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::string build =
        std::to_string(fs::last_write_time("/proc/self/exe").time_since_epoch().count());
    fs::path stamp = base / "stamp";
    std::optional<std::string> made = ReadFileIfExists(stamp);
    if (made && made->rfind(build + "\n", 0) == 0) {
      f->summary.legacyHorseFiles = std::stoi(made->substr(build.size() + 1));
      f->summary.feedDays =
          f->summary.showcaseDays = {Date{2024, 6, 15}, Date{2024, 6, 16}, Date{2024, 6, 22}};
    } else {
      fs::remove(stamp);
      fs::remove_all(f->root);
      fs::remove_all(f->home);
      FeedOptions o;
      o.out = f->root;
      o.from = Date{2024, 6, 15};
      o.days = 3;
      o.seed = 424242;
      o.historyWeeks = 8;
      o.legacyUmaHome = f->home;
      o.replace = true;
      f->summary = GenerateFeed(o);
      WriteFileAtomic(stamp, build + "\n" + std::to_string(f->summary.legacyHorseFiles));
    }
    if (lock >= 0) close(lock);
    std::vector<fs::path> data, realTime;
    for (const auto& e : fs::directory_iterator(f->root))
      if (e.path().extension() == ".jvd") data.push_back(e.path());
    std::sort(data.begin(), data.end(), [](const fs::path& a, const fs::path& b) {
      std::string x = a.stem().string(), y = b.stem().string();
      return x.substr(x.size() - 14) < y.substr(y.size() - 14);
    });
    for (const auto& e : fs::recursive_directory_iterator(f->root / "rt"))
      if (e.path().extension() == ".jvd") realTime.push_back(e.path());
    std::sort(realTime.begin(), realTime.end());
    for (const fs::path& p : data) f->files.push_back(ReadFeedFile(f->root, p));
    for (const fs::path& p : realTime) f->files.push_back(ReadFeedFile(f->root, p));
    return f;
  }();
  return *feed;
}

// Field helpers on whole records (1-based positions).
inline std::string F(std::string_view r, int pos, int width) {
  return std::string(Field(r, pos, width));
}
inline int N(std::string_view r, int pos, int width) {
  return FieldInt(r, pos, width);
}

}  // namespace sorvix::feedgen::test
