// The race selection's arithmetic and texts: neighbour rows, the race header
// labels, and the completeness check.
#pragma once

#include <string_view>

#include "codes/cp932_text.h"

namespace sorvix {

class RaceDay;
struct RaceSheet;

// The rows around `sel` in a list of `rows` entries; the list wraps.
struct RaceNeighbours {
  int prev = 0;
  int sel = 0;
  int next = 0;
  int next2 = 0;
};
RaceNeighbours NeighboursOf(int sel, int rows);

// The race header labels of one race.
struct RaceHeaderText {
  Cp932Text grade;        // Label3D115
  Cp932Text venue;        // Label3D1
  Cp932Text raceNumber;   // Label3D2
  Cp932Text dateMeeting;  // Label3D3
  Cp932Text raceName;     // Label3D4
  Cp932Text weightRule;   // Label3D5
  Cp932Text raceClass;    // Label3D6
  Cp932Text track;        // Label3D7
  Cp932Text distance;     // Label3D8
  Cp932Text postTime;     // Label3D9
  Cp932Text runners;      // Label3D110
};
RaceHeaderText HeaderTextOf(const RaceSheet& sheet);

// The header's own grade and class tables.
Cp932Text HeaderGradeText(std::string_view gradeCode);
Cp932Text HeaderClassText(std::string_view classCode);
Cp932Text HeaderTrackText(std::string_view trackCode);
Cp932Text HeaderWeightRuleText(std::string_view code);

// True when every runner 1..n of the slot has a horse number of at least 1.
bool IsRaceComplete(const RaceDay& day, int slot);
// "東京11Rはデータ作成が未完了です。"
Cp932Text IncompleteRaceMessage(const RaceDay& day, int slot);

// "57.0kg" from a three-byte burden field ("570"); empty when blank.
Cp932Text BurdenText(std::string_view burden);
// HorseSexText(sex) + PadNumber(age): "牡 3".
Cp932Text SexAgeText(std::string_view sex, std::string_view age);

}  // namespace sorvix
