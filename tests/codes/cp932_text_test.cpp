#include "codes/cp932_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>

#include "codes/cp932.h"

namespace sorvix {
namespace {

// A UTF-8 string where CP932 is expected, or CP932 where UTF-8 is expected,
// must not compile.
static_assert(!std::is_convertible_v<std::string, Cp932Text>);
static_assert(!std::is_convertible_v<std::string_view, Cp932View>);
static_assert(!std::is_convertible_v<const char*, Cp932View>);
static_assert(!std::is_convertible_v<Cp932Text, std::string>);
static_assert(!std::is_convertible_v<Cp932Text, std::string_view>);
static_assert(!std::is_convertible_v<Cp932View, std::string_view>);
static_assert(!std::is_constructible_v<Cp932Text, std::string>);
static_assert(std::is_convertible_v<Cp932Text, Cp932View>);

// The boundary converts typed text only: bytes are not taken for CP932, and
// UTF-8 comes back as a typed text.
template <typename T>
concept Utf8Accepts = requires(T text) {
  Utf8(text);
};
static_assert(Utf8Accepts<Cp932Text> && Utf8Accepts<Cp932View>);
static_assert(!Utf8Accepts<std::string> && !Utf8Accepts<std::string_view>);
static_assert(!Utf8Accepts<const char*>);
static_assert(std::is_same_v<decltype(Cp932("")), Cp932Text>);

TEST(Cp932Text, ConvertsAtTheBoundaryOnly) {
  // 東京 in CP932: 93 8C 8B 9E.
  const Cp932Text tokyo = Cp932Text::FromBytes("\x93\x8C\x8B\x9E");
  EXPECT_EQ(Utf8(tokyo), "東京");
  EXPECT_EQ(Cp932("東京"), tokyo);

  const Cp932Text race = Cp932Text::FromBytes("11R");
  const Cp932Text joined = tokyo + race;
  EXPECT_EQ(joined.bytes(), std::string("\x93\x8C\x8B\x9E") + "11R");
  EXPECT_EQ(Cp932Text(joined.view()), joined);
  EXPECT_LT(race, tokyo);  // byte order, as the store sorts
  EXPECT_TRUE(Cp932Text().empty());
}

}  // namespace
}  // namespace sorvix
