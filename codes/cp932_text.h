// CP932 text as a type of its own, so that a UTF-8 string handed where
// CP932 is expected (or the other way) does not compile.  Neither type
// converts from or to std::string implicitly: bytes come in through
// FromBytes() (a record's field, a store file's line) or through Cp932()
// from UTF-8, and go out through Utf8() or bytes().
#pragma once

#include <compare>
#include <string>
#include <string_view>
#include <utility>

namespace sorvix {

class Cp932Text;

// A non-owning view of CP932 bytes.
class Cp932View {
 public:
  constexpr Cp932View() = default;
  static constexpr Cp932View FromBytes(std::string_view bytes) { return Cp932View(bytes); }

  constexpr std::string_view bytes() const { return bytes_; }
  constexpr bool empty() const { return bytes_.empty(); }
  constexpr size_t size() const { return bytes_.size(); }

  friend constexpr bool operator==(Cp932View a, Cp932View b) { return a.bytes_ == b.bytes_; }
  friend constexpr std::strong_ordering operator<=>(Cp932View a, Cp932View b) {
    return a.bytes_ <=> b.bytes_;
  }

 private:
  constexpr explicit Cp932View(std::string_view bytes) : bytes_(bytes) {}
  std::string_view bytes_;
};

// CP932 bytes owned.
class Cp932Text {
 public:
  Cp932Text() = default;
  static Cp932Text FromBytes(std::string bytes) { return Cp932Text(std::move(bytes)); }
  explicit Cp932Text(Cp932View view) : bytes_(view.bytes()) {}

  operator Cp932View() const { return Cp932View::FromBytes(bytes_); }
  Cp932View view() const { return *this; }
  const std::string& bytes() const { return bytes_; }
  bool empty() const { return bytes_.empty(); }
  size_t size() const { return bytes_.size(); }

  Cp932Text& operator+=(Cp932View more) {
    bytes_.append(more.bytes());
    return *this;
  }
  friend Cp932Text operator+(Cp932Text a, Cp932View b) { return std::move(a += b); }

  friend bool operator==(const Cp932Text& a, const Cp932Text& b) { return a.bytes_ == b.bytes_; }
  friend std::strong_ordering operator<=>(const Cp932Text& a, const Cp932Text& b) {
    return a.bytes_ <=> b.bytes_;
  }

 private:
  explicit Cp932Text(std::string bytes) : bytes_(std::move(bytes)) {}
  std::string bytes_;
};

}  // namespace sorvix
