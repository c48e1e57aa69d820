// The race selection's arithmetic and texts: neighbour rows, the race header
// labels, and the completeness check.  All texts are CP932.
#pragma once

#include <string>
#include <string_view>

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
  std::string grade;        // Label3D115
  std::string venue;        // Label3D1
  std::string raceNumber;   // Label3D2
  std::string dateMeeting;  // Label3D3
  std::string raceName;     // Label3D4
  std::string weightRule;   // Label3D5
  std::string raceClass;    // Label3D6
  std::string track;        // Label3D7
  std::string distance;     // Label3D8
  std::string postTime;     // Label3D9
  std::string runners;      // Label3D110
};
RaceHeaderText HeaderTextOf(const RaceSheet& sheet);

// The header's own grade and class tables.
std::string HeaderGradeText(std::string_view gradeCode);
std::string HeaderClassText(std::string_view classCode);
std::string HeaderTrackText(std::string_view trackCode);
std::string HeaderWeightRuleText(std::string_view code);

// True when every runner 1..n of the slot has a horse number of at least 1.
bool IsRaceComplete(const RaceDay& day, int slot);
// "東京11Rはデータ作成が未完了です。"
std::string IncompleteRaceMessage(const RaceDay& day, int slot);

// "57.0kg" from a three-byte burden field ("570"); empty when blank.
std::string BurdenText(std::string_view burden);
// HorseSexText(sex) + PadNumber(age): "牡 3".
std::string SexAgeText(std::string_view sex, std::string_view age);

}  // namespace sorvix
