// The fields the program reads and writes in the fixed-width lines it keeps:
// the JV-Data records (positions as in the public JV-Data layouts), the
// OddsFile line, the race key, and the lines of the two predicted-odds
// providers.  Each field is a FieldAt of its line's kind (common/field_at.h),
// named after what it holds, with the layout's item name beside it.  Only
// the fields the code uses are here; add one where its line's kind is.
//
// RecordImage reads them from the RaceDay's images (`se.Int(se::kHorseNumber)`),
// Field/FieldInt (codes/text.h) from any text (`Field(line, odds::kSource)`).
#pragma once

#include "common/field_at.h"
#include "common/record_lengths.h"

namespace sorvix {

// The kinds of line.  kLength: the bytes of the stored line, CR LF included.
struct RaRecord {
  static constexpr int kLength = kRaLength;
  static constexpr const char* kType = "RA";  // レコード種別ID
};
struct SeRecord {
  static constexpr int kLength = kSeLength;
  static constexpr const char* kType = "SE";  // レコード種別ID
};
struct HrRecord {
  static constexpr int kLength = kHrLength;
  static constexpr const char* kType = "HR";  // レコード種別ID
};
struct UmRecord {
  static constexpr int kLength = kUmLength;
  static constexpr const char* kType = "UM";  // レコード種別ID
};
struct KsRecord {
  static constexpr int kLength = kKsLength;
  static constexpr const char* kType = "KS";  // レコード種別ID
};
struct ChRecord {
  static constexpr int kLength = kChLength;
  static constexpr const char* kType = "CH";  // レコード種別ID
};
// A line of the OddsFile (.yoz), written by the predicted-odds import.
struct OddsLine {
  static constexpr int kLength = kOddsLength;
};
// Any JV-Data record, before its type is known: the positions every record
// shares.
struct JvRecord {};
// An RA, SE or HR record: the race key they share.
struct RaceRecord {};
// The 16-byte race key (年月日場回日R) as a text of its own: positions 12–27
// of RA, SE and HR, positions 1–16 of an OddsFile line, RaceSheet::RaceKey.
struct RaceKeyText {
  static constexpr int kLength = 16;
};
// A date "yyyymmdd" as a text of its own: a DateLabel, the first 8 bytes of
// a race key, of a JV-Link timestamp "yyyymmddhhmmss".
struct YmdText {};
// A DateLabel "yyyy年mm月dd日" (CP932), the name of a meeting date's files.
struct DateLabelText {};
// A time of day "hhmm" (発走時刻) as a text of its own, RaceSheet::StartTime.
struct HhmmText {
  static constexpr int kLength = 4;
};
// A line of a JRDB base-odds file and of a KOL odds file (kol_ods.kd2/kd3).
struct JrdbSourceLine {};
struct KolSourceLine {};

namespace jv {
inline constexpr FieldAt<JvRecord> kRecordType{1, 2};  // レコード種別ID
inline constexpr FieldAt<JvRecord> kDataKind{3, 1};    // データ区分
// データ区分 and データ作成年月日: blanked to zeros in the lines of the
// keyed files of the accumulating download.
inline constexpr FieldAt<JvRecord> kDataKindAndMadeDate{3, 9};
}  // namespace jv

namespace race_record {
inline constexpr FieldAt<RaceRecord> kRaceKey{12, 16};    // 開催年〜レース番号
inline constexpr FieldAt<RaceRecord> kDate{12, 8};        // 開催年 + 開催月日
inline constexpr FieldAt<RaceRecord> kYear{12, 4};        // 開催年
inline constexpr FieldAt<RaceRecord> kMonthDay{16, 4};    // 開催月日
inline constexpr FieldAt<RaceRecord> kMonth{16, 2};       // 開催月日の月
inline constexpr FieldAt<RaceRecord> kDay{18, 2};         // 開催月日の日
inline constexpr FieldAt<RaceRecord> kVenueCode{20, 2};   // 競馬場コード
inline constexpr FieldAt<RaceRecord> kRaceNumber{26, 2};  // レース番号
}  // namespace race_record

namespace race_key {
inline constexpr FieldAt<RaceKeyText> kYear{1, 4};            // 開催年
inline constexpr FieldAt<RaceKeyText> kMonth{5, 2};           // 開催月日の月
inline constexpr FieldAt<RaceKeyText> kDay{7, 2};             // 開催月日の日
inline constexpr FieldAt<RaceKeyText> kVenueCode{9, 2};       // 競馬場コード
inline constexpr FieldAt<RaceKeyText> kMeetingNumber{11, 2};  // 開催回[第N回]
inline constexpr FieldAt<RaceKeyText> kMeetingDay{13, 2};     // 開催日目[N日目]
inline constexpr FieldAt<RaceKeyText> kRaceNumber{15, 2};     // レース番号
}  // namespace race_key

namespace ymd {
inline constexpr FieldAt<YmdText> kDate{1, 8};
inline constexpr FieldAt<YmdText> kYear{1, 4};
inline constexpr FieldAt<YmdText> kMonth{5, 2};
inline constexpr FieldAt<YmdText> kDay{7, 2};
}  // namespace ymd

namespace date_label {
inline constexpr FieldAt<DateLabelText> kWhole{1, 14};
inline constexpr FieldAt<DateLabelText> kYear{1, 4};
inline constexpr FieldAt<DateLabelText> kMonth{7, 2};  // after the two bytes of 年
inline constexpr FieldAt<DateLabelText> kDay{11, 2};
}  // namespace date_label

namespace hhmm {
inline constexpr FieldAt<HhmmText> kHour{1, 2};
inline constexpr FieldAt<HhmmText> kMinute{3, 2};
}  // namespace hhmm

// RA: レース詳細.
namespace ra {
inline constexpr FieldAt<RaRecord> kRaceKey{12, 16};   // 開催年〜レース番号
inline constexpr FieldAt<RaRecord> kDate{12, 8};       // 開催年 + 開催月日
inline constexpr FieldAt<RaRecord> kYear{12, 4};       // 開催年
inline constexpr FieldAt<RaRecord> kMonthDay{16, 4};   // 開催月日
inline constexpr FieldAt<RaRecord> kMonth{16, 2};      // 開催月日の月
inline constexpr FieldAt<RaRecord> kDay{18, 2};        // 開催月日の日
inline constexpr FieldAt<RaRecord> kVenueCode{20, 2};  // 競馬場コード
// 競馬場コード〜レース番号: the race within its date.
inline constexpr FieldAt<RaRecord> kVenueMeetingDayRace{20, 8};
inline constexpr FieldAt<RaRecord> kRaceNumber{26, 2};        // レース番号
inline constexpr FieldAt<RaRecord> kRaceName{33, 60};         // 競走名本題
inline constexpr FieldAt<RaRecord> kShortRaceName6{593, 12};  // 競走名略称6文字
inline constexpr FieldAt<RaRecord> kGradeCode{615, 1};        // グレードコード
inline constexpr FieldAt<RaRecord> kRaceTypeCode{617, 2};     // 競走種別コード
inline constexpr FieldAt<RaRecord> kRaceSymbolCode{619, 3};   // 競走記号コード
inline constexpr FieldAt<RaRecord> kWeightRuleCode{622, 1};   // 重量種別コード
inline constexpr FieldAt<RaRecord> kClassCode{635, 3};  // 競走条件コード 最若年条件
inline constexpr FieldAt<RaRecord> kDistance{698, 4};   // 距離
inline constexpr FieldAt<RaRecord> kTrackCode{706, 2};  // トラックコード
// 本賞金 (7 items) and 付加賞金 (5 items), 8 bytes each in hundreds of yen:
// only the first 7 bytes are read, giving thousands of yen.
inline constexpr RepeatedField<RaRecord> kMainPrizes{714, 7, 7, 8};
inline constexpr RepeatedField<RaRecord> kAddedPrizes{810, 7, 5, 8};
inline constexpr FieldAt<RaRecord> kStartTime{874, 4};              // 発走時刻 hhmm
inline constexpr FieldAt<RaRecord> kStartHour{874, 2};              // 発走時刻の時
inline constexpr FieldAt<RaRecord> kStartMinute{876, 2};            // 発走時刻の分
inline constexpr FieldAt<RaRecord> kStartTimeBeforeChange{878, 4};  // 変更前発走時刻
inline constexpr FieldAt<RaRecord> kRunners{882, 2};                // 登録頭数
// In a RaceFile line, in place of データ区分 and データ作成年月日: the start
// time (変更前発走時刻 when it is set, else 発走時刻), the venue code and the
// race number, so that whole-line order is post-time order.
inline constexpr FieldAt<RaRecord> kPostOrder{3, 8};
}  // namespace ra

// SE: 馬毎レース情報 (the RunnerFile lines and the past-run lines alike).
namespace se {
inline constexpr FieldAt<SeRecord> kRecordType{1, 2};           // レコード種別ID
inline constexpr FieldAt<SeRecord> kRaceKey{12, 16};            // 開催年〜レース番号
inline constexpr FieldAt<SeRecord> kDate{12, 8};                // 開催年 + 開催月日
inline constexpr FieldAt<SeRecord> kYear{12, 4};                // 開催年
inline constexpr FieldAt<SeRecord> kVenueCode{20, 2};           // 競馬場コード
inline constexpr FieldAt<SeRecord> kRaceNumber{26, 2};          // レース番号
inline constexpr FieldAt<SeRecord> kBracketNumber{28, 1};       // 枠番
inline constexpr FieldAt<SeRecord> kHorseNumber{29, 2};         // 馬番
inline constexpr FieldAt<SeRecord> kPedigreeNumber{31, 10};     // 血統登録番号
inline constexpr FieldAt<SeRecord> kPedigreeYear{31, 4};        // 血統登録番号の生年
inline constexpr FieldAt<SeRecord> kHorseName{41, 36};          // 馬名
inline constexpr FieldAt<SeRecord> kHorseNameHead{41, 18};      // 馬名の先頭 9 文字 (全角)
inline constexpr FieldAt<SeRecord> kHorseSymbol{77, 2};         // 馬記号コード
inline constexpr FieldAt<SeRecord> kSex{79, 1};                 // 性別コード
inline constexpr FieldAt<SeRecord> kCoatCode{81, 2};            // 毛色コード
inline constexpr FieldAt<SeRecord> kAge{83, 2};                 // 馬齢
inline constexpr FieldAt<SeRecord> kAffiliationCode{85, 1};     // 東西所属コード
inline constexpr FieldAt<SeRecord> kTrainerCode{86, 5};         // 調教師コード
inline constexpr FieldAt<SeRecord> kTrainerName{91, 8};         // 調教師名略称
inline constexpr FieldAt<SeRecord> kOwnerName{105, 64};         // 馬主名(法人格無)
inline constexpr FieldAt<SeRecord> kBurden{289, 3};             // 負担重量 (0.1 kg)
inline constexpr FieldAt<SeRecord> kBurdenKilos{289, 2};        // 負担重量の kg
inline constexpr FieldAt<SeRecord> kBurdenTenths{291, 1};       // 負担重量の 0.1 kg
inline constexpr FieldAt<SeRecord> kJockeyCode{297, 5};         // 騎手コード
inline constexpr FieldAt<SeRecord> kJockeyName{307, 8};         // 騎手名略称
inline constexpr FieldAt<SeRecord> kApprenticeCode{323, 1};     // 騎手見習コード
inline constexpr FieldAt<SeRecord> kAbnormalCode{332, 1};       // 異常区分コード
inline constexpr FieldAt<SeRecord> kFinalPosition{335, 2};      // 確定着順
inline constexpr FieldAt<SeRecord> kWinOdds{360, 4};            // 単勝オッズ (0.1 倍)
inline constexpr FieldAt<SeRecord> kPopularity{364, 2};         // 単勝人気順
inline constexpr FieldAt<SeRecord> kLineEnd{kSeLength - 1, 2};  // レコード区切 (CR LF)
}  // namespace se

// HR: 払戻.
namespace hr {
inline constexpr FieldAt<HrRecord> kRaceKey{12, 16};  // 開催年〜レース番号

// One payout table (単勝払戻, 複勝払戻, …): `count` items of `stride` bytes
// from `pos`.  An item holds the winning numbers (馬番 or 組番: `numbers`
// numbers of `digits` bytes), then 払戻金 (9 bytes), then 人気順.
struct PayoutItems {
  int pos, stride, count, digits, numbers, popularityWidth;

  constexpr PayoutItems(int p, int step, int items, int d, int n, int popularity)
      : pos(p), stride(step), count(items), digits(d), numbers(n), popularityWidth(popularity) {
    if (std::is_constant_evaluated()) (void)Popularity(count - 1);  // the last item fits
  }

  // Number n (from 0) of the winning numbers of item `item` (from 0).
  constexpr FieldAt<HrRecord> Number(int item, int n) const {
    return {pos + stride * item + digits * n, digits};
  }
  constexpr FieldAt<HrRecord> Payout(int item) const {
    return {pos + stride * item + digits * numbers, 9};
  }
  constexpr FieldAt<HrRecord> Popularity(int item) const {
    return {pos + stride * item + digits * numbers + 9, popularityWidth};
  }
};
inline constexpr PayoutItems kWinPayouts{103, 13, 3, 2, 1, 2};              // <単勝払戻>
inline constexpr PayoutItems kPlacePayouts{142, 13, 5, 2, 1, 2};            // <複勝払戻>
inline constexpr PayoutItems kBracketQuinellaPayouts{207, 13, 3, 1, 2, 2};  // <枠連払戻>
inline constexpr PayoutItems kQuinellaPayouts{246, 16, 3, 2, 2, 3};         // <馬連払戻>
inline constexpr PayoutItems kQuinellaPlacePayouts{294, 16, 7, 2, 2, 3};    // <ワイド払戻>
inline constexpr PayoutItems kExactaPayouts{454, 16, 6, 2, 2, 3};           // <馬単払戻>
inline constexpr PayoutItems kTrioPayouts{550, 18, 3, 2, 3, 3};             // <3連複払戻>
inline constexpr PayoutItems kTrifectaPayouts{604, 19, 6, 2, 3, 4};         // <3連単払戻>
}  // namespace hr

// UM: 競走馬マスタ.
namespace um {
inline constexpr FieldAt<UmRecord> kMadeDate{4, 8};          // データ作成年月日
inline constexpr FieldAt<UmRecord> kPedigreeNumber{12, 10};  // 血統登録番号
inline constexpr FieldAt<UmRecord> kPedigreeYear{12, 4};     // 血統登録番号の生年
inline constexpr FieldAt<UmRecord> kBirthDate{39, 8};        // 生年月日
// 3代血統情報 馬名 of its first three entries: 父, 母, 父父.
inline constexpr FieldAt<UmRecord> kSireName{215, 36};
inline constexpr FieldAt<UmRecord> kDamName{261, 36};
inline constexpr FieldAt<UmRecord> kSireSireName{307, 36};
inline constexpr FieldAt<UmRecord> kInviteRegion{863, 20};  // 招待地域名
inline constexpr FieldAt<UmRecord> kBreederName{891, 72};   // 生産者名(法人格無)
inline constexpr FieldAt<UmRecord> kBirthPlace{963, 20};    // 産地名
// 総合着回数: 1着〜5着 and 着外, 3 bytes each.
inline constexpr RepeatedField<UmRecord> kTotalFinishes{1107, 3, 6};
}  // namespace um

// KS: 騎手マスタ.
namespace ks {
inline constexpr FieldAt<KsRecord> kMadeDate{4, 8};       // データ作成年月日
inline constexpr FieldAt<KsRecord> kJockeyCode{12, 5};    // 騎手コード
inline constexpr FieldAt<KsRecord> kJockeyKana{110, 30};  // 騎手名半角ｶﾅ
inline constexpr FieldAt<KsRecord> kJockeySex{228, 1};    // 性別区分
// <本年･前年･累計成績情報>: three blocks of 1052 bytes from 1016; the third
// holds the career totals (累計).
inline constexpr int kCareerBlock = 1016 + 2 * 1052;
// 累計の平地着回数 and 障害着回数: 1着〜5着 and 着外, 6 bytes each.
inline constexpr RepeatedField<KsRecord> kCareerFlatFinishes{kCareerBlock + 44, 6, 6};
inline constexpr RepeatedField<KsRecord> kCareerJumpFinishes{kCareerBlock + 80, 6, 6};
}  // namespace ks

// CH: 調教師マスタ.
namespace ch {
inline constexpr FieldAt<ChRecord> kMadeDate{4, 8};       // データ作成年月日
inline constexpr FieldAt<ChRecord> kTrainerCode{12, 5};   // 調教師コード
inline constexpr FieldAt<ChRecord> kTrainerKana{76, 30};  // 調教師名半角ｶﾅ
// <本年･前年･累計成績情報>: three blocks of 1052 bytes from 705; the third
// holds the career totals (累計).
inline constexpr int kCareerBlock = 705 + 2 * 1052;
// 累計の平地着回数 and 障害着回数: 1着〜5着 and 着外, 6 bytes each.
inline constexpr RepeatedField<ChRecord> kCareerFlatFinishes{kCareerBlock + 44, 6, 6};
inline constexpr RepeatedField<ChRecord> kCareerJumpFinishes{kCareerBlock + 80, 6, 6};
}  // namespace ch

// An OddsFile line: the race key (as in RA), then where its odds came from,
// the runners and the odds.
namespace odds {
inline constexpr FieldAt<OddsLine> kDate{1, 8};       // yyyymmdd
inline constexpr FieldAt<OddsLine> kVenueCode{9, 2};  // 競馬場コード ("J"), else KOL's index
inline constexpr FieldAt<OddsLine> kRaceNumber{15, 2};
inline constexpr FieldAt<OddsLine> kSource{17, 1};                      // "J" JRDB, "K"/"M" KOL
inline constexpr RepeatedField<OddsLine> kWinOdds{20, 6, kHorseSlots};  // horse 1..18
inline constexpr FieldAt<OddsLine> kLineEnd{kOddsLength - 1, 2};        // CR LF
}  // namespace odds

// A JRDB base-odds line.
namespace jrdb {
inline constexpr FieldAt<JrdbSourceLine> kVenueCode{1, 2};      // 場コード
inline constexpr FieldAt<JrdbSourceLine> kMeetingNumber{5, 1};  // 回 (one digit)
inline constexpr FieldAt<JrdbSourceLine> kMeetingDay{6, 1};     // 日 (one digit)
inline constexpr FieldAt<JrdbSourceLine> kRaceNumber{7, 2};     // R
inline constexpr FieldAt<JrdbSourceLine> kRunners{9, 2};        // 頭数
// 単勝, 複勝 (horse 1..18) and 馬連 (the 153 pairs) odds, 5 bytes each.
inline constexpr RepeatedField<JrdbSourceLine> kWinOdds{11, 5, kHorseSlots};
inline constexpr RepeatedField<JrdbSourceLine> kPlaceOdds{101, 5, kHorseSlots};
inline constexpr RepeatedField<JrdbSourceLine> kQuinellaOdds{191, 5, 153};
}  // namespace jrdb

// A KOL odds line; its odds in tenths, "*" and "-" being markers.
namespace kol {
inline constexpr FieldAt<KolSourceLine> kVenueCode{1, 2};
// The meeting number, the day number and the race number, 2 bytes each.
inline constexpr FieldAt<KolSourceLine> kMeetingDayRace{7, 6};
inline constexpr FieldAt<KolSourceLine> kDate{13, 8};  // yyyymmdd
inline constexpr FieldAt<KolSourceLine> kYear{13, 4};
inline constexpr FieldAt<KolSourceLine> kFlag{105, 1};  // "1" gives source letter "M"
inline constexpr FieldAt<KolSourceLine> kRunners{110, 2};
// 単勝 (horse 1..18), 枠連 (the 36 bracket pairs 1-1 … 8-8) and 馬連 (the
// 153 pairs) odds.
inline constexpr RepeatedField<KolSourceLine> kWinOdds{162, 5, kHorseSlots};
inline constexpr RepeatedField<KolSourceLine> kBracketQuinellaOdds{252, 5, 36};
inline constexpr RepeatedField<KolSourceLine> kQuinellaOdds{432, 7, 153};
}  // namespace kol

}  // namespace sorvix
