// The 28 signs in the order of the sign table's columns: the special mark
// first, then the red, green, orange, blue and yellow families and the
// post-time sign.  Each has its settings key, default weight, mark width and
// family.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace sorvix {

// clang-format off
enum class Sign : uint8_t {
  Special1,
  Red1, Red2, Red3, Red4, Red5, Red6, Red7, Red8, Red9, Red10, Red11,
  Green1, Green2, Green3, Green4, Green5, Green6,
  Orange1, Orange2, Orange3, Orange4, Orange5, Orange6, Orange7,
  Blue1,
  Yellow1,
  HStimeS1,
};
// clang-format on
inline constexpr int kSignCount = 28;

enum class SignFamily : uint8_t { Special, Red, Green, Orange, Blue, Yellow, Time };

struct SignInfo {
  const char* key;   // settings key in section "SignPoint"
  int defaultPoint;  // weight when the key is missing
  int width;         // mark width in bytes
  SignFamily family;
};

inline constexpr std::array<SignInfo, kSignCount> kSignInfo = {{
    {"Special1", 10, 2, SignFamily::Special}, {"Red1", 10, 2, SignFamily::Red},
    {"Red2", 10, 1, SignFamily::Red},         {"Red3", 10, 2, SignFamily::Red},
    {"Red4", 10, 2, SignFamily::Red},         {"Red5", 10, 3, SignFamily::Red},
    {"Red6", 10, 2, SignFamily::Red},         {"Red7", 10, 2, SignFamily::Red},
    {"Red8", 10, 2, SignFamily::Red},         {"Red9", 15, 3, SignFamily::Red},
    {"Red10", 10, 2, SignFamily::Red},        {"Red11", 5, 3, SignFamily::Red},
    {"Green1", 5, 4, SignFamily::Green},      {"Green2", 5, 4, SignFamily::Green},
    {"Green3", 5, 6, SignFamily::Green},      {"Green4", 5, 2, SignFamily::Green},
    {"Green5", 5, 2, SignFamily::Green},      {"Green6", 5, 8, SignFamily::Green},
    {"Orange1", 15, 2, SignFamily::Orange},   {"Orange2", 3, 2, SignFamily::Orange},
    {"Orange3", 3, 2, SignFamily::Orange},    {"Orange4", 3, 1, SignFamily::Orange},
    {"Orange5", 3, 1, SignFamily::Orange},    {"Orange6", 3, 1, SignFamily::Orange},
    {"Orange7", 3, 8, SignFamily::Orange},    {"Blue1", 2, 4, SignFamily::Blue},
    {"Yellow1", 1, 4, SignFamily::Yellow},    {"HStimeS1", 15, 2, SignFamily::Time},
}};

constexpr int SignIndex(Sign s) {
  return static_cast<int>(s);
}
constexpr const SignInfo& InfoOf(Sign s) {
  return kSignInfo[static_cast<size_t>(s)];
}
constexpr Sign SignAt(int index) {
  return static_cast<Sign>(index);
}

}  // namespace sorvix
