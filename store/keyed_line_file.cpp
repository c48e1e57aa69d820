#include "store/keyed_line_file.h"

#include <algorithm>

#include "codes/text.h"

namespace sorvix {
namespace {

unsigned char Fold(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

int CompareLinesIgnoringCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  bool trail = false;  // the byte at i is the second byte of a character
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (trail) {
      // Both texts agree up to here, so both are inside the same character.
      if (x != y) return x < y ? -1 : 1;
      trail = false;
      continue;
    }
    unsigned char fx = Fold(x), fy = Fold(y);
    if (fx != fy) return fx < fy ? -1 : 1;
    trail = IsLeadByte(x);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

KeyedLines::KeyedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {
  for (const auto& line : lines_) bytes_ += line.size() + 2;
  sorted_ = std::is_sorted(lines_.begin(), lines_.end(), LineLess);
}

bool KeyedLines::Upsert(std::string line, LineKey key) {
  std::string_view newKey = Field(line, key.pos, key.width);
  size_t found = lines_.size();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (Field(lines_[i], key.pos, key.width) == newKey) {
      found = i;
      break;
    }
  }
  // The same line again leaves a sorted list as it is.
  if (sorted_ && found < lines_.size() && lines_[found] == line) return false;
  bytes_ += line.size() + 2;
  if (found < lines_.size()) bytes_ -= lines_[found].size() + 2;

  if (!sorted_) {
    if (found < lines_.size()) {
      lines_[found] = std::move(line);
    } else {
      lines_.push_back(std::move(line));
    }
    std::stable_sort(lines_.begin(), lines_.end(), LineLess);
    sorted_ = true;
    return true;
  }

  // The list is sorted: a stable sort would put the new line after the lines
  // equal to it that stood before the replaced slot and before those that
  // stood after it; an appended line goes after all lines equal to it.
  size_t slot = lines_.size();
  if (found < lines_.size()) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(found));
    slot = found;
  }
  auto lo = std::lower_bound(lines_.begin(), lines_.end(), line, LineLess);
  auto hi = std::upper_bound(lo, lines_.end(), line, LineLess);
  size_t at = std::clamp(slot, static_cast<size_t>(lo - lines_.begin()),
                         static_cast<size_t>(hi - lines_.begin()));
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

bool KeyedLines::DropBlankFirstLine() {
  if (lines_.empty() || !IsBlank(lines_.front())) return false;
  bytes_ -= lines_.front().size() + 2;
  lines_.erase(lines_.begin());
  return true;
}

}  // namespace sorvix
