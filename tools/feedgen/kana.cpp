#include "tools/feedgen/kana.h"

#include <map>

namespace sorvix::feedgen {
namespace {

constexpr std::string_view kFull =
    "ア イ ウ エ オ カ キ ク ケ コ サ シ ス セ ソ タ チ ツ テ ト ナ ニ ヌ ネ ノ ハ ヒ フ ヘ ホ マ "
    "ミ ム メ モ "
    "ヤ ユ ヨ ラ リ ル レ ロ ワ ヲ ン ァ ィ ゥ ェ ォ ャ ュ ョ ッ ー ・ ガ ギ グ ゲ ゴ ザ ジ ズ ゼ "
    "ゾ ダ ヂ ヅ "
    "デ ド バ ビ ブ ベ ボ パ ピ プ ペ ポ ヴ";
constexpr std::string_view kHalf =
    "ｱ ｲ ｳ ｴ ｵ ｶ ｷ ｸ ｹ ｺ ｻ ｼ ｽ ｾ ｿ ﾀ ﾁ ﾂ ﾃ ﾄ ﾅ ﾆ ﾇ ﾈ ﾉ ﾊ ﾋ ﾌ ﾍ ﾎ ﾏ ﾐ ﾑ ﾒ ﾓ ﾔ ﾕ ﾖ ﾗ ﾘ ﾙ ﾚ ﾛ ﾜ ｦ ﾝ "
    "ｧ ｨ ｩ ｪ ｫ ｬ ｭ ｮ ｯ ｰ ･ ｶﾞ ｷﾞ ｸﾞ ｹﾞ ｺﾞ ｻﾞ ｼﾞ ｽﾞ ｾﾞ ｿﾞ ﾀﾞ ﾁﾞ ﾂﾞ ﾃﾞ ﾄﾞ ﾊﾞ ﾋﾞ ﾌﾞ ﾍﾞ ﾎﾞ ﾊﾟ ﾋﾟ ﾌﾟ ﾍﾟ "
    "ﾎﾟ ｳﾞ";
constexpr std::string_view kVoiced = "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ";

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) out.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

const std::map<std::string, std::string>& HalfTable() {
  static const std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> t;
    std::vector<std::string> full = Words(kFull), half = Words(kHalf);
    for (size_t i = 0; i < full.size() && i < half.size(); ++i) t[full[i]] = half[i];
    t.emplace(std::string("\xE3\x80\x80"), std::string(1, ' '));
    return t;
  }();
  return table;
}

}  // namespace

std::vector<std::string> Utf8Chars(std::string_view utf8) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + n > utf8.size()) n = utf8.size() - i;
    out.emplace_back(utf8.substr(i, n));
    i += n;
  }
  return out;
}

int CharCount(std::string_view utf8) {
  int n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string HalfWidthKana(std::string_view utf8) {
  const auto& table = HalfTable();
  std::string out;
  for (const std::string& ch : Utf8Chars(utf8)) {
    auto it = table.find(ch);
    if (it == table.end()) {
      out.append(ch);
    } else {
      out.append(it->second);
    }
  }
  return out;
}

bool IsVoicedKana(std::string_view utf8Char) {
  return utf8Char.size() == 3 && kVoiced.find(utf8Char) != std::string_view::npos &&
         kVoiced.find(utf8Char) % 3 == 0;
}

}  // namespace sorvix::feedgen
