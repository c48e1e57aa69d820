#include "acquisition/acquisition_time.h"

#include <cctype>

#include "codes/cp932.h"
#include "codes/text.h"
#include "store/record_date.h"

namespace sorvix {
namespace {

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

std::tm LocalTime(std::time_t t) {
  std::tm out{};
  localtime_r(&t, &out);
  return out;
}

}  // namespace

std::string FormatLastTime(const std::tm& t) {
  return Format("%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
}

std::optional<std::tm> ParseLastTime(std::string_view text) {
  // yyyy/mm/dd hh:nn:ss
  if (text.size() != 19 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':')
    return std::nullopt;
  for (size_t pos : {0, 5, 8, 11, 14, 17})
    if (!AllDigits(text.substr(pos, pos == 0 ? 4 : 2))) return std::nullopt;
  std::tm t{};
  t.tm_year = ReadInt(text.substr(0, 4)) - 1900;
  t.tm_mon = ReadInt(text.substr(5, 2)) - 1;
  t.tm_mday = ReadInt(text.substr(8, 2));
  t.tm_hour = ReadInt(text.substr(11, 2));
  t.tm_min = ReadInt(text.substr(14, 2));
  t.tm_sec = ReadInt(text.substr(17, 2));
  // A day the calendar does not have (2024/02/30) is no time either.
  if (!CalendarDay(text.substr(0, 4), text.substr(5, 2), text.substr(8, 2)) || t.tm_hour > 23 ||
      t.tm_min > 59 || t.tm_sec > 59)
    return std::nullopt;
  t.tm_isdst = -1;
  return t;
}

std::string FromTimeText(const std::tm& t) {
  return Format("%04d%02d%02d%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                t.tm_min, t.tm_sec);
}

std::string LastTimeFromTimestamp(std::string_view s) {
  if (s.size() != 14 || !AllDigits(s) || s == "00000000000000") return {};
  std::string text = std::string(s.substr(0, 4)) + "/" + std::string(s.substr(4, 2)) + "/" +
                     std::string(s.substr(6, 2)) + " " + std::string(s.substr(8, 2)) + ":" +
                     std::string(s.substr(10, 2)) + ":" + std::string(s.substr(12, 2));
  // Only a real date and time of day: "99999999999999" would stop every
  // later acquisition.
  if (!ParseLastTime(text) || !CalendarDay(s.substr(0, 4), s.substr(4, 2), s.substr(6, 2)))
    return {};
  return text;
}

Cp932Text StartNotice(const std::tm& t) {
  return Cp932(Format("%04d", t.tm_year + 1900) + "年" + Format("%02d", t.tm_mon + 1) + "月" +
               Format("%02d", t.tm_mday) + "日" + Format("%02d", t.tm_hour) + "時" +
               Format("%02d", t.tm_min) + "分" + Format("%02d", t.tm_sec) + "秒" +
               "以降のデータ取込を開始します。データ作成が終了するまで本ソフトを操作したり他のアプ"
               "リケーションを操作することは極力避けてください。");
}

AcquisitionDefaults ReadAcquisitionDefaults(const SettingsFile& settings, std::time_t now) {
  AcquisitionDefaults out;
  out.setupData = settings.ReadString(kLastTimeSection, kLastTimeKey, "").empty();
  std::string yearBack = FormatLastTime(LocalTime(now - 365 * 24 * 60 * 60));
  std::string text = settings.ReadString(kLastTimeSection, kLastTimeKey, yearBack);
  std::optional<std::tm> from = ParseLastTime(text);
  if (!from) from = ParseLastTime(yearBack);
  out.from = *from;
  return out;
}

}  // namespace sorvix
