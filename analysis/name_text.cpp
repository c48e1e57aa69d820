#include "analysis/name_text.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix {
namespace {

// True when `c` is one of the two-byte characters of `list`, compared
// character by character (never across a character boundary).
bool IsOneOf(std::string_view c, std::string_view list) {
  if (c.size() != 2) return false;
  for (size_t i = 0; i + 1 < list.size(); i += 2) {
    if (list.substr(i, 2) == c) return true;
  }
  return false;
}

const std::string& KatakanaLetters() {
  static const std::string letters =
      "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
      "パピプペポヴガギグゲゴザジズゼゾダヂヅデドバビブベボ"_sj;
  return letters;
}

const std::string& VoicedKatakana() {
  static const std::string voiced = "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"_sj;
  return voiced;
}

// The unvoiced form of each character of VoicedKatakana(), in the same order.
const std::string& UnvoicedKatakana() {
  static const std::string unvoiced = "ウカキクケコサシスセソタチツテトハヒフヘホハヒフヘホ"_sj;
  return unvoiced;
}

const std::string& SemiVoicedKatakana() {
  static const std::string semi = "パピプペポ"_sj;
  return semi;
}

// The colour words in search order with their bracket (0: no bracket).
struct ColourWord {
  std::string word;
  int bracket;
};

const std::vector<ColourWord>& ColourWords() {
  static const std::vector<ColourWord> words = [] {
    const std::pair<const char*, int> utf8[] = {
        {"ホワイト", 1}, {"シロ", 1},   {"ブラック", 2}, {"クロ", 2},     {"レッド", 3},
        {"アカ", 3},     {"ブルー", 4}, {"アオ", 4},     {"イエロー", 5}, {"キイロ", 5},
        {"グリーン", 6}, {"ミドリ", 6}, {"オレンジ", 7}, {"ピンク", 8},   {"モモ", 8},
        {"ゴールド", 0}, {"キン", 0},   {"シルバー", 0}, {"ギン", 0},     {"パープル", 0},
        {"ムラサキ", 0}, {"グレー", 0}, {"コン", 0},     {"エンジ", 0},
    };
    std::vector<ColourWord> list;
    for (const auto& [word, bracket] : utf8) list.push_back({Cp932(word).bytes(), bracket});
    return list;
  }();
  return words;
}

}  // namespace

std::string_view CharAt(std::string_view s, int i) {
  return Window(s, i, 1);
}

std::string_view Window(std::string_view s, int i, int m) {
  if (i < 1 || m < 1) return {};
  size_t start = static_cast<size_t>(2 * (i - 1));
  if (start >= s.size()) return {};
  return s.substr(start, static_cast<size_t>(2 * m));
}

std::string Clean(std::string_view x) {
  while (!x.empty() && x.front() == ' ') x.remove_prefix(1);
  while (!x.empty() && x.back() == ' ') x.remove_suffix(1);
  return StripWideSpaces(x);
}

bool Contains(std::string_view text, std::string_view piece) {
  // A byte search, as find() does; the names are short, so checking the
  // first two bytes in place beats a library search per call.
  if (piece.empty() || piece.size() > text.size()) return false;
  if (piece.size() == 1) return text.find(piece[0]) != std::string_view::npos;
  const char a = piece[0], b = piece[1];
  for (size_t i = 0; i + piece.size() <= text.size(); ++i)
    if (text[i] == a && text[i + 1] == b && text.substr(i, piece.size()) == piece) return true;
  return false;
}

namespace {

// The two-byte characters of a list as a set of 65,536 bits: the same
// answer as IsOneOf without walking the list.
class CharSet {
 public:
  explicit CharSet(std::string_view list) {
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
      unsigned code = Code(list.substr(i, 2));
      bits_[code >> 6] |= uint64_t{1} << (code & 63);
    }
  }
  bool Has(std::string_view c) const {
    if (c.size() != 2) return false;
    unsigned code = Code(c);
    return (bits_[code >> 6] >> (code & 63)) & 1;
  }

 private:
  static unsigned Code(std::string_view c) {
    return static_cast<unsigned>(static_cast<unsigned char>(c[0])) << 8 |
           static_cast<unsigned char>(c[1]);
  }
  uint64_t bits_[1024] = {};
};

}  // namespace

bool IsKatakanaLetter(std::string_view c) {
  static const CharSet set(KatakanaLetters());
  return set.Has(c);
}
bool IsVoicedKatakana(std::string_view c) {
  static const CharSet set(VoicedKatakana());
  return set.Has(c);
}
bool IsSemiVoicedKatakana(std::string_view c) {
  return IsOneOf(c, SemiVoicedKatakana());
}

bool HasNoVoicedMark(std::string_view name) {
  static const std::string marks = "ンー"_sj;
  for (int i = 1; i <= 10; ++i) {
    std::string_view c = CharAt(name, i);
    if (IsVoicedKatakana(c) || IsOneOf(c, marks)) return false;
  }
  return true;
}

int CountLongVowels(std::string_view name) {
  static const std::string longVowel = "ー"_sj;
  int count = 0;
  for (int i = 1; i <= 10; ++i) {
    if (CharAt(name, i) == longVowel) ++count;
  }
  return count;
}

namespace {

// The bytes that follow a katakana lead byte (83) anywhere in a name: a
// colour word, every one of which starts with such a character, can only
// be found (byte by byte, as Contains does) where its second byte is one.
class KatakanaTrails {
 public:
  explicit KatakanaTrails(std::string_view name) {
    for (size_t i = 0; i + 1 < name.size(); ++i)
      if (name[i] == '\x83') Add(static_cast<unsigned char>(name[i + 1]));
  }
  // False only when `word` cannot be in the name.
  bool MayHold(std::string_view word) const {
    if (word.size() < 2 || word[0] != '\x83') return true;
    const auto b = static_cast<unsigned char>(word[1]);
    return (bits_[b >> 6] >> (b & 63)) & 1;
  }

 private:
  void Add(unsigned char b) { bits_[b >> 6] |= uint64_t{1} << (b & 63); }
  uint64_t bits_[4] = {};
};

}  // namespace

std::string ColourWordIn(std::string_view name) {
  const KatakanaTrails trails(name);
  for (const ColourWord& c : ColourWords()) {
    if (trails.MayHold(c.word) && Contains(name, c.word)) return c.word;
  }
  return {};
}

std::string BracketColourWordIn(std::string_view name, int bracket) {
  if (bracket == 0) return {};
  const KatakanaTrails trails(name);
  for (const ColourWord& c : ColourWords()) {
    if (c.bracket == bracket && trails.MayHold(c.word) && Contains(name, c.word)) return c.word;
  }
  return {};
}

std::string RemoveVoicedMarks(std::string_view text) {
  // Every voiced katakana shares its lead byte with its unvoiced form; a
  // table by trail byte gives the unvoiced trail byte (0: not voiced).
  struct Table {
    unsigned char lead = 0;
    bool oneLead = true;
    std::array<unsigned char, 256> unvoicedTrail{};
  };
  static const Table table = [] {
    Table t;
    const std::string& voiced = VoicedKatakana();
    const std::string& unvoiced = UnvoicedKatakana();
    t.lead = static_cast<unsigned char>(voiced[0]);
    for (size_t j = 0; j + 1 < voiced.size(); j += 2) {
      if (static_cast<unsigned char>(voiced[j]) != t.lead || unvoiced[j] != voiced[j])
        t.oneLead = false;
      unsigned char trail = static_cast<unsigned char>(voiced[j + 1]);
      if (!t.unvoicedTrail[trail])
        t.unvoicedTrail[trail] = static_cast<unsigned char>(unvoiced[j + 1]);
    }
    return t;
  }();
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    if (table.oneLead) {
      out += text[i];
      out += lead == table.lead && table.unvoicedTrail[trail]
                 ? static_cast<char>(table.unvoicedTrail[trail])
                 : text[i + 1];
      continue;
    }
    const std::string& voiced = VoicedKatakana();
    std::string_view c = text.substr(i, 2);
    size_t at = std::string::npos;
    for (size_t j = 0; j + 1 < voiced.size(); j += 2) {
      if (voiced.compare(j, 2, c) == 0) {
        at = j;
        break;
      }
    }
    if (at == std::string::npos)
      out.append(c);
    else
      out.append(UnvoicedKatakana(), at, 2);
  }
  return out;
}

}  // namespace sorvix
