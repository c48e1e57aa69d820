// Text helpers of the name signs.  Names are CP932 texts read as consecutive
// two-byte characters: character i (1-based) is bytes 2i-1 and 2i, whatever
// the bytes are, so a half-width byte shifts the characters after it.
#pragma once

#include <string>
#include <string_view>

#include "codes/text.h"

namespace sorvix {

// char(s, i): the i-th two-byte character, cut at the end of the text.
std::string_view CharAt(std::string_view s, int i);
// window(s, i, m): the m characters starting at character i, cut at the end.
std::string_view Window(std::string_view s, int i, int m);

// clean(x): leading and trailing blanks removed, then every full-width
// space.
std::string Clean(std::string_view x);
// clean(window(s, i, m)) when it keeps exactly m characters (2m bytes), else
// the empty text: a window counts only when it holds no blank.  The window
// is a view into `s`.  (Inline: the name signs ask for tens of thousands of
// windows per day.)
inline std::string_view CleanWindow(std::string_view s, int i, int m) {
  if (i < 1 || m < 1) return {};
  const size_t start = static_cast<size_t>(2 * (i - 1));
  const size_t length = static_cast<size_t>(2 * m);
  // Cleaning only removes bytes: a short window stays short.
  if (start >= s.size() || s.size() - start < length) return {};
  const char* p = s.data() + start;
  // A blank at either end is trimmed, so the window comes out short.
  if (p[0] == ' ' || p[length - 1] == ' ') return {};
  // Blanks inside are kept, and only a wide space (81 40) that starts a
  // character is stripped, which makes the window short.
  for (size_t j = 0; j < length;) {
    if (IsLeadByte(static_cast<unsigned char>(p[j])) && j + 1 < length) {
      if (p[j] == '\x81' && p[j + 1] == '\x40') return {};
      j += 2;
    } else {
      ++j;
    }
  }
  return {p, length};
}

// Byte-wise search; the empty piece is never contained.
bool Contains(std::string_view text, std::string_view piece);

// c is a full-width katakana letter: ア..ン, ガ..ボ, パ..ポ and ヴ (small
// kana and ー are not letters).
bool IsKatakanaLetter(std::string_view c);
// c is a voiced or semi-voiced katakana: ヴ, ガ..ボ, パ..ポ.
bool IsVoicedKatakana(std::string_view c);
// c is one of パ ピ プ ペ ポ.
bool IsSemiVoicedKatakana(std::string_view c);
// None of the first ten characters is a voiced katakana, ン or ー.
bool HasNoVoicedMark(std::string_view name);
// How many of the first ten characters are ー.
int CountLongVowels(std::string_view name);

// The first colour word the name contains (ホワイト, シロ, ブラック, ...), else
// the empty text.
std::string ColourWordIn(std::string_view name);
// The first bracket colour word the name contains whose bracket equals
// `bracket` (ホワイト/シロ 1, ブラック/クロ 2, ... ピンク/モモ 8), else empty.
std::string BracketColourWordIn(std::string_view name, int bracket);

// Each voiced or semi-voiced katakana replaced by its unvoiced form (ガ→カ,
// パ→ハ, ヴ→ウ); every other two-byte character copied, an odd last byte
// dropped.
std::string RemoveVoicedMarks(std::string_view text);

}  // namespace sorvix
