#include "analysis/sign_points.h"

#include "app/settings_file.h"

namespace sorvix {

SignPoints SignPoints::Defaults() {
  SignPoints points;
  for (int i = 0; i < kSignCount; ++i) points.value[i] = kSignInfo[i].defaultPoint;
  return points;
}

SignPoints SignPoints::Load(const SettingsFile& settings) {
  SignPoints points;
  for (int i = 0; i < kSignCount; ++i) {
    points.value[i] =
        settings.ReadInteger(kSignPointSection, kSignInfo[i].key, kSignInfo[i].defaultPoint);
  }
  return points;
}

void SignPoints::Save(SettingsFile& settings) const {
  SettingsFile::Entries entries;
  for (int i = 0; i < kSignCount; ++i)
    entries.emplace_back(kSignInfo[i].key, std::to_string(value[i]));
  settings.WriteSection(kSignPointSection, entries);
}

}  // namespace sorvix
