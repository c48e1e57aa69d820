#include "store/date_argument.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"

namespace sorvix {
namespace {

TEST(DateArgument, AcceptsTheLabelAndIsoFormsOfACalendarDate) {
  const Cp932Text label = Cp932("2024年05月05日");
  for (const char* text : {"2024年05月05日", "2024年5月5日", "2024-05-05", "2024/5/5", "20240505"})
    EXPECT_EQ(ParseDateArgument(text), label) << text;
  for (const char* text : {"", "2024-13-01", "2023-02-29", "2024-05", "24-05-05", "2024.05.05",
                           "2024-05-05x", "2024-005-05"})
    EXPECT_EQ(ParseDateArgument(text), std::nullopt) << text;
  EXPECT_EQ(ParseDateArgument("2024-02-29"), Cp932("2024年02月29日"));
}

}  // namespace
}  // namespace sorvix
