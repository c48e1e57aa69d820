#include <gtest/gtest.h>

#include "common/record_fields.h"
#include "store/record_image.h"

namespace sorvix {
namespace {

// Whether an image of type Image reads a field of type F.
template <class Image, class F>
constexpr bool kReads = requires(const Image& image, F f) {
  image.Field(f);
};
template <class Image, class F>
constexpr bool kWrites = requires(Image& image, F f) {
  image.Put(f, "");
};

// A field reads and writes only images of its own record kind.
static_assert(kReads<RaImage, FieldAt<RaRecord>> && kReads<SeImage, FieldAt<SeRecord>>);
static_assert(!kReads<RaImage, FieldAt<SeRecord>> && !kReads<SeImage, FieldAt<RaRecord>>);
static_assert(!kReads<KsImage, FieldAt<ChRecord>> && !kReads<OddsImage, FieldAt<RaceKeyText>>);
static_assert(!kWrites<SeImage, FieldAt<RaRecord>> && kWrites<SeImage, FieldAt<SeRecord>>);

TEST(RecordFields, RepeatedItemsAndPayoutTablesStepThroughTheirRecord) {
  // Career flat finishes of KS: the third 1052-byte block from 1016, 45th
  // byte of it; the last of the six counts ends where the jump counts start.
  EXPECT_EQ(ks::kCareerFlatFinishes[0], (FieldAt<KsRecord>{3164, 6}));
  EXPECT_EQ(ks::kCareerFlatFinishes[5].End() + 1, ks::kCareerJumpFinishes[0].pos);
  EXPECT_EQ(ch::kCareerFlatFinishes[0], (FieldAt<ChRecord>{2853, 6}));
  EXPECT_EQ(odds::kWinOdds[17], (FieldAt<OddsLine>{122, 6}));
  // The second trifecta item: numbers, payout and popularity in turn.
  const hr::PayoutItems& t = hr::kTrifectaPayouts;
  EXPECT_EQ(t.Number(1, 2), (FieldAt<HrRecord>{627, 2}));
  EXPECT_EQ(t.Payout(1), (FieldAt<HrRecord>{629, 9}));
  EXPECT_EQ(t.Popularity(t.count - 1), (FieldAt<HrRecord>{714, 4}));
}

TEST(RecordFields, PutWritesWithinTheField) {
  SeImage se;
  se.Put(se::kFinalPosition, "0123");
  EXPECT_EQ(se.Field(se::kFinalPosition), "01");
  EXPECT_EQ(se.Field(se::kFinalPosition.End() + 1, 2), "  ");
  EXPECT_EQ(se.Int(se::kFinalPosition), 1);
}

}  // namespace
}  // namespace sorvix
