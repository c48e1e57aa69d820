// The sign points (配点): the weight of each of the 28 signs, kept in the
// settings file under section "SignPoint".  A missing key reads as the
// sign's default weight.
#pragma once

#include <array>
#include <cstddef>

#include "analysis/sign_kinds.h"

namespace sorvix {

class SettingsFile;

inline constexpr const char kSignPointSection[] = "SignPoint";

struct SignPoints {
  std::array<int, kSignCount> value{};

  int operator[](Sign s) const { return value[static_cast<size_t>(s)]; }
  int& operator[](Sign s) { return value[static_cast<size_t>(s)]; }

  // Every sign at its default weight.
  static SignPoints Defaults();
  // The 28 weights as the settings file holds them now.
  static SignPoints Load(const SettingsFile& settings);
  // Writes all 28 weights.
  void Save(SettingsFile& settings) const;
};

}  // namespace sorvix
