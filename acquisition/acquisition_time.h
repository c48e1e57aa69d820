// The times of the accumulating acquisition: the stored LastTime
// ("yyyy/mm/dd hh:nn:ss"), the from-time passed to JVOpen
// ("yyyymmddhhnnss") and the defaults the window opens with.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_file.h"
#include "codes/cp932_text.h"

namespace sorvix {

// "yyyy/mm/dd hh:nn:ss".
std::string FormatLastTime(const std::tm& time);
// The time of a LastTime text; nullopt when the text is not of that form.
std::optional<std::tm> ParseLastTime(std::string_view text);
// "yyyymmddhhnnss".
std::string FromTimeText(const std::tm& time);
// A JV-Link time stamp "yyyymmddhhnnss" as "yyyy/mm/dd hh:nn:ss"; empty
// when it is blank, all zeros or not 14 digits.
std::string LastTimeFromTimestamp(std::string_view timestamp);

// The information shown before a run starts:
// yyyy年mm月dd日hh時nn分ss秒以降のデータ取込を開始します。…
Cp932Text StartNotice(const std::tm& from);

struct AcquisitionDefaults {
  bool setupData = false;  // セットアップデータ marked
  std::tm from{};          // the date picker's value
};

// What the window opens with: setup data when JvDataGet/LastTime is empty,
// the picker at LastTime, or one year (365 days) before `now` when there is
// none or it does not read as a time.
AcquisitionDefaults ReadAcquisitionDefaults(const SettingsFile& settings, std::time_t now);

// JvDataGet/LastTime, where a completed run leaves its last file time.
inline constexpr std::string_view kLastTimeSection = "JvDataGet";
inline constexpr std::string_view kLastTimeKey = "LastTime";

}  // namespace sorvix
