// Katakana helpers for the names of the feed: half-width forms for the kana
// name fields, and character counts of UTF-8 names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvix::feedgen {

// Full-width katakana (UTF-8) → half-width katakana (UTF-8): voiced kana
// become two characters (ｶﾞ), the long-vowel mark ｰ, the middle dot ･ and a
// full-width blank a half-width blank.  Other characters are kept.
std::string HalfWidthKana(std::string_view utf8);

// The characters of a UTF-8 text, one string each.
std::vector<std::string> Utf8Chars(std::string_view utf8);

// Number of characters of a UTF-8 text.
int CharCount(std::string_view utf8);

// True for a voiced or semi-voiced katakana (ガ … ポ, ヴ).
bool IsVoicedKana(std::string_view utf8Char);

}  // namespace sorvix::feedgen
