// FixedText<N>: a text of at most N bytes stored in place, for the per-race
// records of the RaceDay.  A copy into it keeps the first N bytes of the
// source; it never allocates, so a record of such fields can be reset and
// refilled on every load without touching the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorvix {

template <size_t N>
class FixedText {
  static_assert(N > 0 && N < 256, "FixedText holds at most 255 bytes");

 public:
  static constexpr size_t kCapacity = N;

  FixedText() = default;
  FixedText(std::string_view text) { Assign(text); }  // NOLINT: texts convert implicitly

  FixedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  // Keeps the first N bytes of `text`.
  void Assign(std::string_view text) {
    size_ = static_cast<uint8_t>(std::min(text.size(), N));
    std::copy_n(text.data(), size_, bytes_);
  }
  void Clear() { size_ = 0; }

  std::string_view View() const { return {bytes_, size_}; }
  operator std::string_view() const { return View(); }  // NOLINT
  std::string Str() const { return std::string(View()); }
  const char* data() const { return bytes_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.View() == b.View(); }
  friend bool operator==(const FixedText& a, std::string_view b) { return a.View() == b; }

 private:
  char bytes_[N] = {};
  uint8_t size_ = 0;
};

}  // namespace sorvix
