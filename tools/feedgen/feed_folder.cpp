#include "tools/feedgen/feed_folder.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "app/io_error.h"
#include "codes/text.h"

namespace sorvix::feedgen {

namespace fs = std::filesystem;

void WriteBinaryFile(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (ec) {
    errno = ec.value();
    ThrowIoError("フォルダを作成できません", path.parent_path());
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) ThrowIoError("ファイルに書き込めません", path);
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
  int closed = std::fclose(f);
  if (written != bytes.size() || closed != 0) ThrowIoError("ファイルに書き込めません", path);
}

FeedFolder::FeedFolder(const fs::path& root, bool replace) : root_(root) {
  std::error_code ec;
  fs::create_directories(root_, ec);
  if (ec) {
    errno = ec.value();
    ThrowIoError("フィードフォルダを作成できません", root_);
  }
  std::vector<fs::path> ours;
  for (const auto& entry : fs::directory_iterator(root_, ec)) {
    std::string name = entry.path().filename().string();
    bool feedFile =
        entry.is_regular_file() && name.size() > 4 && name.substr(name.size() - 4) == ".jvd";
    bool feedFolder = entry.is_directory() && (name == "rt" || name == "odds");
    if (feedFile || feedFolder) ours.push_back(entry.path());
  }
  if (!ours.empty() && !replace)
    throw std::runtime_error("フォルダ " + root_.string() +
                             " には既にフィードがあります（置き換えるには --force）");
  for (const fs::path& p : ours) fs::remove_all(p, ec);
}

void FeedFolder::Write(const fs::path& path, std::string_view bytes) {
  WriteBinaryFile(path, bytes);
  ++files_;
  bytes_ += static_cast<int64_t>(bytes.size());
}

void FeedFolder::WriteData(std::string_view spec, const Date& date, int hhnnss,
                           std::string_view bytes) {
  Write(root_ / (std::string(spec) + date.Ymd() + Format("%06d", hhnnss) + ".jvd"), bytes);
}

void FeedFolder::WriteRealTime(const Date& date, const std::string& name, std::string_view bytes) {
  Write(root_ / "rt" / date.Ymd() / name, bytes);
}

void FeedFolder::WriteOdds(const std::string& name, std::string_view bytes) {
  Write(root_ / "odds" / name, bytes);
}

}  // namespace sorvix::feedgen
