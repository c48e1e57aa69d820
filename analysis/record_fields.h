// The record fields the race sheet and the sign calculation read, each as a
// (1-based position, width) pair of its stored record line, so that no rule
// carries bare numbers.
#pragma once

#include <string_view>

#include "store/record_image.h"

namespace sorvix {

struct RecordField {
  int pos;
  int width;
};

// The field's text in a record image.
template <int N>
std::string_view Get(const RecordImage<N>& rec, RecordField f) {
  return rec.Field(f.pos, f.width);
}
// The field read as a number (0 when it is not one).
template <int N>
int GetInt(const RecordImage<N>& rec, RecordField f) {
  return rec.Int(f.pos, f.width);
}

namespace ra {
inline constexpr RecordField kYear{12, 4};
inline constexpr RecordField kMonthDay{16, 4};
inline constexpr RecordField kVenueCode{20, 2};
inline constexpr RecordField kMeetingNo{22, 2};
inline constexpr RecordField kDayNo{24, 2};
inline constexpr RecordField kRaceNo{26, 2};
inline constexpr RecordField kRaceName{33, 60};
inline constexpr RecordField kGradeCode{615, 1};
inline constexpr RecordField kRaceTypeCode{617, 2};
inline constexpr RecordField kRaceSymbolCode{619, 3};
inline constexpr RecordField kWeightRuleCode{622, 1};
inline constexpr RecordField kClassCode{635, 3};  // condition of the youngest age group
inline constexpr RecordField kDistance{698, 4};
inline constexpr RecordField kTrackCode{706, 2};
inline constexpr int kPrizeCount = 7;
inline constexpr int kAddedPrizeCount = 5;
// Main prize i (0..6) and added prize i (0..4): 8 characters in units of
// 100 yen; the first 7 are read, giving thousands of yen.
inline constexpr RecordField Prize(int i) {
  return {714 + 8 * i, 7};
}
inline constexpr RecordField AddedPrize(int i) {
  return {810 + 8 * i, 7};
}
inline constexpr RecordField kStartTime{874, 4};  // hhmm
inline constexpr RecordField kStartMinute{876, 2};
inline constexpr RecordField kRunners{882, 2};
}  // namespace ra

namespace se {
inline constexpr RecordField kBracketNo{28, 1};
inline constexpr RecordField kHorseNo{29, 2};
inline constexpr RecordField kPedigreeNo{31, 10};
inline constexpr RecordField kHorseName{41, 36};
inline constexpr RecordField kHorseSymbol{77, 2};
inline constexpr RecordField kSex{79, 1};
inline constexpr RecordField kCoatCode{81, 2};
inline constexpr RecordField kAge{83, 2};
inline constexpr RecordField kAffiliationCode{85, 1};
inline constexpr RecordField kTrainerCode{86, 5};
inline constexpr RecordField kTrainerName{91, 8};
inline constexpr RecordField kOwnerName{105, 64};
inline constexpr RecordField kBurden{289, 3};  // 0.1 kg
inline constexpr RecordField kJockeyCode{297, 5};
inline constexpr RecordField kJockeyName{307, 8};
inline constexpr RecordField kApprenticeCode{323, 1};
inline constexpr RecordField kFinishPos{335, 2};
inline constexpr RecordField kPopularity{364, 2};
}  // namespace se

namespace um {
inline constexpr RecordField kBirthDate{39, 8};
inline constexpr RecordField kSireName{215, 36};      // pedigree entry 1
inline constexpr RecordField kDamName{261, 36};       // pedigree entry 2
inline constexpr RecordField kSireSireName{307, 36};  // pedigree entry 3
inline constexpr RecordField kInviteRegion{863, 20};
inline constexpr RecordField kBreederName{891, 72};
inline constexpr RecordField kBirthPlace{963, 20};
}  // namespace um

namespace ks {
inline constexpr RecordField kJockeyKana{110, 30};
inline constexpr RecordField kJockeySex{228, 1};
}  // namespace ks

namespace ch {
inline constexpr RecordField kTrainerKana{76, 30};
}  // namespace ch

}  // namespace sorvix
