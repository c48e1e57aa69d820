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

Cp932Text HeaderGradeText(std::string_view code) {
  static const struct {
    char code;
    const char* text;
  } kGrades[] = {{'A', "G1   "},     {'B', "G2   "}, {'C', "G3   "}, {'D', "重賞 "},
                 {'E', "特別競走 "}, {'F', "JG1  "}, {'G', "JG2  "}, {'H', "JG3  "}};
  if (code.size() == 1)
    for (const auto& g : kGrades)
      if (g.code == code[0]) return Cp932(g.text);
  return Cp932("一般競走");
}

Cp932Text HeaderClassText(std::string_view code) {
  if (code == "701") return Cp932("新馬　　　");
  if (code == "702") return Cp932("未出走　　");
  if (code == "703") return Cp932("未勝利　　");
  if (code == "999") return Cp932("ｵｰﾌﾟﾝ　　 ");
  if (code == "   " || code == "000") return Cp932("　　　　　");
  if (code == "100") return Cp932("1億円下   ");
  return Cp932(Format("%4lld", static_cast<long long>(ReadNumber(code) * 100)) + "万円下");
}

Cp932Text HeaderTrackText(std::string_view trackCode) {
  int t = ReadInt(trackCode);
  if (t == 10) return Cp932("芝直");
  if (t >= 11 && t <= 16) return Cp932("芝左");
  if (t >= 17 && t <= 22) return Cp932("芝右");
  if (t == 23) return Cp932("ﾀﾞ左");
  if (t == 24) return Cp932("ﾀﾞ右");
  if (t == 29) return Cp932("ﾀﾞ直");
  if (t >= 51 && t <= 59) return Cp932("障害");
  return {};
}

Cp932Text HeaderWeightRuleText(std::string_view code) {
  if (code == "1") return Cp932("ハンデ");
  if (code == "2") return Cp932("別定　");
  if (code == "3") return Cp932("馬齢　");
  if (code == "4") return Cp932("定量　");
  return {};
}

RaceHeaderText HeaderTextOf(const RaceSheet& sheet) {
  std::string_view key = sheet.RaceKey.View();
  RaceHeaderText t;
  t.grade = HeaderGradeText(sheet.GradeCode.View());
  t.venue = VenueShortName(Field(key, race_key::kVenueCode));
  const std::string& venue = t.venue.bytes();
  t.raceNumber = Cp932Text::FromBytes(std::to_string(FieldInt(key, race_key::kRaceNumber)));
  t.dateMeeting = Cp932Text::FromBytes(
      std::string(Field(key, race_key::kYear)) + "年"_sj +
      Format("%2d", FieldInt(key, race_key::kMonth)) + "月"_sj +
      Format("%2d", FieldInt(key, race_key::kDay)) + "日"_sj + venue.substr(0, 4) + " " +
      std::to_string(FieldInt(key, race_key::kMeetingNumber)) + "回 "_sj +
      std::to_string(FieldInt(key, race_key::kMeetingDay)) + "日"_sj);
  t.raceName = Cp932Text::FromBytes(std::string(sheet.RaceName.View()));
  t.weightRule = HeaderWeightRuleText(sheet.WeightRuleCode.View());
  t.raceClass = HeaderClassText(sheet.ClassCode.View());
  t.track = HeaderTrackText(sheet.TrackCode.View());
  t.distance = Cp932Text::FromBytes(Format("%4dm", ReadInt(sheet.Distance.View())));
  std::string_view time = sheet.StartTime.View();
  t.postTime = Cp932Text::FromBytes(std::string(Field(time, hhmm::kHour)) + "時"_sj +
                                    std::string(Field(time, hhmm::kMinute)) + "分発走"_sj);
  t.runners = Cp932Text::FromBytes(Format("%2d", ReadInt(sheet.RunnerCount.View())) + "頭"_sj);
  return t;
}

bool IsRaceComplete(const RaceDay& day, int slot) {
  int n = ReadInt(day.Sheet[slot].RunnerCount.View());
  for (int h = 0; h < n && h < kHorseSlots; ++h)
    if (day.SeRec[slot][h].Int(se::kHorseNumber) < 1) return false;
  return true;
}

Cp932Text IncompleteRaceMessage(const RaceDay& day, int slot) {
  const RaImage& ra = day.RaRec[slot];
  return VenueName(ra.Field(ra::kVenueCode)) +
         Cp932View::FromBytes(PadNumber(ra.Field(ra::kRaceNumber))) +
         Cp932("Rはデータ作成が未完了です。");
}

Cp932Text BurdenText(std::string_view burden) {
  if (IsBlank(burden) || burden.size() < 3) return {};
  return Cp932Text::FromBytes(std::string(burden.substr(0, 2)) + "." +
                              std::string(burden.substr(2, 1)) + "kg");
}

Cp932Text SexAgeText(std::string_view sex, std::string_view age) {
  return HorseSexText(sex) + Cp932View::FromBytes(PadNumber(age));
}

}  // namespace sorvix
