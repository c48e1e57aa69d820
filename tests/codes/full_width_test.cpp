#include "codes/full_width.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codes/cp932.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

struct Case {
  std::string in;
  std::string out;
};

TEST(ToFullWidth, ConvertsHalfWidthText) {
  const std::vector<Case> cases = {
      {"", ""},
      {"09", "０９"_sj},
      {"Az", "Ａｚ"_sj},
      {" ", "\x81\x40"},
      {"\\", "\x81\x8F"},  // ￥
      {"-", "\x81\x7C"},   // －
      {"~", "\x81\x50"},   // ￣
      {"'\"`", "\x81\x66\x81\x68\x81\x65"},
      {"!#$%&()=|^{@[+*};:]<>?_,./", "！＃＄％＆（）＝｜＾｛＠［＋＊｝；：］＜＞？＿，．／"_sj},
      {"\xA1\xA2\xA3\xA4\xA5\xB0", "。「」、・ー"_sj},
      {"ｶﾞﾝ"_sj, "ガン"_sj},
      {"ﾎﾟｰﾙ"_sj, "ポール"_sj},
      {"ｳﾞｨ"_sj, "ウ゛ィ"_sj},
      {"ﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟ"_sj, "バパビピブプベペボポ"_sj},
      {"ｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"_sj, "ザジズゼゾダヂヅデド"_sj},
      {"ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵ"_sj, "ヲァィゥェォャュョッアイウエオ"_sj},
      {"ﾅﾆﾇﾈﾉﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ"_sj, "ナニヌネノマミムメモヤユヨラリルレロワン"_sj},
      {"ﾅﾟ"_sj, "ナ゜"_sj},
      {"ｶﾟ"_sj, "カ゜"_sj},  // ｶ takes only the voiced mark
      {"ﾂﾞ"_sj, "ヅ"_sj},
      {"ｶ"_sj, "カ"_sj},            // a voiceable kana at the end
      {"ﾞｱ"_sj, "\xDE" + "ア"_sj},  // a mark with no kana before it stays half-width
      {"ｯﾟﾟ"_sj, "ッ゜"_sj + "\xDF"},
      {"\t\x7F\xA0\xFD", "\t\x7F\xA0\xFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(ToFullWidth(c.in), c.out) << Utf8Bytes(c.in);
}

TEST(ToFullWidth, KeepsDoubleByteCharacters) {
  const std::string wide = "競馬　ウマ①ＡＢ"_sj;
  EXPECT_EQ(ToFullWidth(wide), wide);
  // The trail byte of a double-byte character may look like ASCII or a
  // half-width kana; it is never converted on its own.
  EXPECT_EQ(ToFullWidth("\x83\x5C"), "\x83\x5C");  // ソ (trail byte "\")
  EXPECT_EQ(ToFullWidth("\x88\xB1"
                        "A"),
            "\x88\xB1\x82\x60");
  // A lead byte as the last byte is copied alone.
  EXPECT_EQ(ToFullWidth("A\x82"), "\x82\x60\x82");
  EXPECT_EQ(ToFullWidth("\xE0"), "\xE0");
}

}  // namespace
}  // namespace sorvix
