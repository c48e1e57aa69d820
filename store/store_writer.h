// StoreWriter: the LocalStore writers with a write-back cache.
//
// Each operation applies a file's rule (keyed upsert, runner line, whole
// file) to the file's contents in memory; the first touch of a file loads it
// from disk.  Flush() writes every changed file once: all of them go to
// temporary files in their own folders first, then to disk, and only then
// replace the old files by renaming, so a failure (a full disk, a folder
// that cannot be made) leaves every store file whole, either old or new.
// The bytes written are exactly those that rewriting the file after every
// single operation would leave; a file whose bytes would stay the same is
// not rewritten.
//
// A keyed or runner file that is not whole lines of its record type (a
// damaged file) is never rewritten: the operation throws Error naming it
// and the file stays as it is.
//
// Paths are the CP932 store paths of store_paths.h ("\Data\...").  Failures
// throw Error.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/keyed_line_file.h"

namespace sorvix {

class StoreWriter {
 public:
  // Pending changes above `byteBudget` bytes are flushed on the spot.
  static constexpr size_t kDefaultBudget = size_t{256} << 20;
  explicit StoreWriter(size_t byteBudget = kDefaultBudget) : budget_(byteBudget) {}
  // Pending changes that were not flushed are dropped.
  ~StoreWriter() = default;
  StoreWriter(const StoreWriter&) = delete;
  StoreWriter& operator=(const StoreWriter&) = delete;

  struct UpsertOptions {
    // Leave a file that does not exist yet alone (returns false).
    bool onlyWhenExists = false;
    // After sorting, drop the first line when it is empty or blank.
    bool dropBlankFirstLine = false;
  };

  // Keyed upsert of `line` into the file.  Returns whether it was stored.
  bool UpsertLine(std::string_view relative, std::string line, LineKey key, UpsertOptions options);
  bool UpsertLine(std::string_view relative, std::string line, LineKey key) {
    return UpsertLine(relative, std::move(line), key, UpsertOptions{});
  }

  // Replaces line `index` (0–215) of a RunnerFile; a missing file starts as
  // 216 blank lines unless `onlyWhenExists`.  Returns whether it was stored.
  bool ReplaceRunnerLine(std::string_view relative, int index, std::string line,
                         bool onlyWhenExists = false);

  // The file becomes the one line `line`.
  void ReplaceWholeFile(std::string_view relative, std::string line);

  // Makes sure the folder exists after the next flush.
  void EnsureFolder(std::string_view relative);

  // Writes every pending file and folder (see above) and forgets them.
  // Throws Error; the pending changes are dropped either way.
  void Flush();
  // Drops every pending change.
  void Discard();

  bool HasPending() const { return !files_.empty() || !folders_.empty(); }

 private:
  enum class Kind { Keyed, Runner, Whole };
  struct File {
    Kind kind = Kind::Whole;
    KeyedLines keyed;
    std::vector<std::string> lines;       // runner lines or the whole file's line
    std::optional<std::string> original;  // a whole file's bytes on disk
    size_t bytes = 0;
    // The contents differ from the file on disk (a file whose bytes would
    // not change is not rewritten).
    bool changed = false;
  };

  // The cached file, loaded on first touch; nullptr when it does not exist
  // and `create` is false.
  // A keyed or runner file on disk must be whole lines of the length and
  // record type of `line`, the line about to be stored; else Error.
  File* Open(const std::filesystem::path& path, Kind kind, bool create, std::string_view line);
  void Account(File& file);
  void CheckBudget();

  size_t budget_;
  size_t bytes_ = 0;
  std::map<std::filesystem::path, File> files_;
  std::set<std::filesystem::path> folders_;
};

}  // namespace sorvix
