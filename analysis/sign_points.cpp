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
  for (int i = 0; i < kSignCount; ++i)
    settings.WriteInteger(kSignPointSection, kSignInfo[i].key, value[i]);
}

}  // namespace sorvix
