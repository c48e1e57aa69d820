#include "views/text/race_selection.h"

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/race_sheet.h"
#include "common/record_fields.h"
#include "store/race_day.h"

namespace sorvix {

RaceNeighbours NeighboursOf(int sel, int rows) {
  RaceNeighbours n;
  n.sel = sel;
  if (rows <= 0) return n;
  n.prev = sel - 1 < 0 ? rows - 1 : sel - 1;
  n.next = sel + 1 > rows - 1 ? sel + 1 - rows : sel + 1;
  n.next2 = sel + 2 > rows - 1 ? sel + 2 - rows : sel + 2;
  // A list of one or two rows: "minus the length" may still be past the end.
  if (n.next2 > rows - 1) n.next2 %= rows;
  if (n.next > rows - 1) n.next %= rows;
  return n;
}

std::string HeaderGradeText(std::string_view code) {
  static const struct {
    char code;
    const char* text;
  } kGrades[] = {{'A', "G1   "},     {'B', "G2   "}, {'C', "G3   "}, {'D', "重賞 "},
                 {'E', "特別競走 "}, {'F', "JG1  "}, {'G', "JG2  "}, {'H', "JG3  "}};
  if (code.size() == 1)
    for (const auto& g : kGrades)
      if (g.code == code[0]) return Cp932(g.text);
  return "一般競走"_sj;
}

std::string HeaderClassText(std::string_view code) {
  if (code == "701") return "新馬　　　"_sj;
  if (code == "702") return "未出走　　"_sj;
  if (code == "703") return "未勝利　　"_sj;
  if (code == "999") return "ｵｰﾌﾟﾝ　　 "_sj;
  if (code == "   " || code == "000") return "　　　　　"_sj;
  if (code == "100") return "1億円下   "_sj;
  return Format("%4lld", static_cast<long long>(ReadNumber(code) * 100)) + "万円下"_sj;
}

std::string HeaderTrackText(std::string_view trackCode) {
  int t = ReadInt(trackCode);
  if (t == 10) return "芝直"_sj;
  if (t >= 11 && t <= 16) return "芝左"_sj;
  if (t >= 17 && t <= 22) return "芝右"_sj;
  if (t == 23) return "ﾀﾞ左"_sj;
  if (t == 24) return "ﾀﾞ右"_sj;
  if (t == 29) return "ﾀﾞ直"_sj;
  if (t >= 51 && t <= 59) return "障害"_sj;
  return {};
}

std::string HeaderWeightRuleText(std::string_view code) {
  if (code == "1") return "ハンデ"_sj;
  if (code == "2") return "別定　"_sj;
  if (code == "3") return "馬齢　"_sj;
  if (code == "4") return "定量　"_sj;
  return {};
}

RaceHeaderText HeaderTextOf(const RaceSheet& sheet) {
  std::string_view key = sheet.RaceKey.View();
  RaceHeaderText t;
  t.grade = HeaderGradeText(sheet.GradeCode.View());
  t.venue = VenueShortName(Field(key, race_key::kVenueCode));
  t.raceNumber = std::to_string(FieldInt(key, race_key::kRaceNumber));
  t.dateMeeting = std::string(Field(key, race_key::kYear)) + "年"_sj +
                  Format("%2d", FieldInt(key, race_key::kMonth)) + "月"_sj +
                  Format("%2d", FieldInt(key, race_key::kDay)) + "日"_sj + t.venue.substr(0, 4) +
                  " " + std::to_string(FieldInt(key, race_key::kMeetingNumber)) + "回 "_sj +
                  std::to_string(FieldInt(key, race_key::kMeetingDay)) + "日"_sj;
  t.raceName = std::string(sheet.RaceName.View());
  t.weightRule = HeaderWeightRuleText(sheet.WeightRuleCode.View());
  t.raceClass = HeaderClassText(sheet.ClassCode.View());
  t.track = HeaderTrackText(sheet.TrackCode.View());
  t.distance = Format("%4dm", ReadInt(sheet.Distance.View()));
  std::string_view time = sheet.StartTime.View();
  t.postTime = std::string(Field(time, hhmm::kHour)) + "時"_sj +
               std::string(Field(time, hhmm::kMinute)) + "分発走"_sj;
  t.runners = Format("%2d", ReadInt(sheet.RunnerCount.View())) + "頭"_sj;
  return t;
}

bool IsRaceComplete(const RaceDay& day, int slot) {
  int n = ReadInt(day.Sheet[slot].RunnerCount.View());
  for (int h = 0; h < n && h < kHorseSlots; ++h)
    if (day.SeRec[slot][h].Int(se::kHorseNumber) < 1) return false;
  return true;
}

std::string IncompleteRaceMessage(const RaceDay& day, int slot) {
  const RaImage& ra = day.RaRec[slot];
  return VenueName(ra.Field(ra::kVenueCode)) + PadNumber(ra.Field(ra::kRaceNumber)) +
         "Rはデータ作成が未完了です。"_sj;
}

std::string BurdenText(std::string_view burden) {
  if (IsBlank(burden) || burden.size() < 3) return {};
  return std::string(burden.substr(0, 2)) + "." + std::string(burden.substr(2, 1)) + "kg";
}

std::string SexAgeText(std::string_view sex, std::string_view age) {
  return HorseSexText(sex) + PadNumber(age);
}

}  // namespace sorvix
