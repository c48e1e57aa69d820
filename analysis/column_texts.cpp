#include "analysis/column_texts.h"

namespace sorvix {

const char* FamilyName(SignFamily family) {
  static const char* kNames[] = {"特", "赤", "緑", "橙", "青", "黄", "時"};
  return kNames[static_cast<int>(family)];
}

SignHeading SignHeadingOf(Sign sign) {
  const SignInfo& info = InfoOf(sign);
  SignHeading heading{FamilyName(info.family), ""};
  bool numbered = info.family == SignFamily::Red || info.family == SignFamily::Green ||
                  info.family == SignFamily::Orange;
  std::string key = info.key;
  size_t digit = key.find_first_of("0123456789");
  if (numbered && digit != std::string::npos) heading.number = key.substr(digit);
  return heading;
}

const char* AxisMarkText(int mark) {
  static const char* kMarks[] = {"◎", "●", "▲"};
  return mark >= 1 && mark <= 3 ? kMarks[mark - 1] : "";
}

const char* PartnerMarkText(int mark) {
  return mark == 1 ? "○" : "";
}

}  // namespace sorvix
