#include "codes/full_width.h"

#include <array>
#include <cstdint>

#include "codes/text.h"

namespace sorvix {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;       // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;   // ﾟ
constexpr uint16_t kWideVoicedMark = 0x212B;      // ゛
constexpr uint16_t kWideSemiVoicedMark = 0x212C;  // ゜

// Appends the Shift_JIS bytes of the JIS X 0208 code (row in the high byte,
// cell in the low byte).
void AppendJis(std::string& out, uint16_t jis) {
  unsigned row = jis >> 8;
  unsigned cell = jis & 0xFF;
  unsigned lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
  unsigned trail = (row & 1) ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
  out.push_back(static_cast<char>(lead));
  out.push_back(static_cast<char>(trail));
}

void AppendSjis(std::string& out, uint16_t sjis) {
  out.push_back(static_cast<char>(sjis >> 8));
  out.push_back(static_cast<char>(sjis & 0xFF));
}

struct Kana {
  uint16_t jis;    // 0: no full-width kana for the byte
  bool voiceable;  // combines with a following ﾞ (and ﾟ for the ﾊ row)
  bool semi;       // combines with a following ﾟ
};

// Half-width katakana A6..DF → the JIS X 0208 code of the full-width kana.
constexpr std::array<Kana, 0xE0 - 0xA6> kKana = {{
    {0x2572, false, false},  // A6 ｦ ヲ
    {0x2521, false, false},  // A7 ｧ ァ
    {0x2523, false, false},  // A8 ｨ ィ
    {0x2525, false, false},  // A9 ｩ ゥ
    {0x2527, false, false},  // AA ｪ ェ
    {0x2529, false, false},  // AB ｫ ォ
    {0x2563, false, false},  // AC ｬ ャ
    {0x2565, false, false},  // AD ｭ ュ
    {0x2567, false, false},  // AE ｮ ョ
    {0x2543, false, false},  // AF ｯ ッ
    {0, false, false},       // B0 ｰ (symbol table)
    {0x2522, false, false},  // B1 ｱ ア
    {0x2524, false, false},  // B2 ｲ イ
    {0x2526, false, false},  // B3 ｳ ウ
    {0x2528, false, false},  // B4 ｴ エ
    {0x252A, false, false},  // B5 ｵ オ
    {0x252B, true, false},   // B6 ｶ カ
    {0x252D, true, false},   // B7 ｷ キ
    {0x252F, true, false},   // B8 ｸ ク
    {0x2531, true, false},   // B9 ｹ ケ
    {0x2533, true, false},   // BA ｺ コ
    {0x2535, true, false},   // BB ｻ サ
    {0x2537, true, false},   // BC ｼ シ
    {0x2539, true, false},   // BD ｽ ス
    {0x253B, true, false},   // BE ｾ セ
    {0x253D, true, false},   // BF ｿ ソ
    {0x253F, true, false},   // C0 ﾀ タ
    {0x2541, true, false},   // C1 ﾁ チ
    {0x2544, true, false},   // C2 ﾂ ツ
    {0x2546, true, false},   // C3 ﾃ テ
    {0x2548, true, false},   // C4 ﾄ ト
    {0x254A, false, false},  // C5 ﾅ ナ
    {0x254B, false, false},  // C6 ﾆ ニ
    {0x254C, false, false},  // C7 ﾇ ヌ
    {0x254D, false, false},  // C8 ﾈ ネ
    {0x254E, false, false},  // C9 ﾉ ノ
    {0x254F, true, true},    // CA ﾊ ハ
    {0x2552, true, true},    // CB ﾋ ヒ
    {0x2555, true, true},    // CC ﾌ フ
    {0x2558, true, true},    // CD ﾍ ヘ
    {0x255B, true, true},    // CE ﾎ ホ
    {0x255E, false, false},  // CF ﾏ マ
    {0x255F, false, false},  // D0 ﾐ ミ
    {0x2560, false, false},  // D1 ﾑ ム
    {0x2561, false, false},  // D2 ﾒ メ
    {0x2562, false, false},  // D3 ﾓ モ
    {0x2564, false, false},  // D4 ﾔ ヤ
    {0x2566, false, false},  // D5 ﾕ ユ
    {0x2568, false, false},  // D6 ﾖ ヨ
    {0x2569, false, false},  // D7 ﾗ ラ
    {0x256A, false, false},  // D8 ﾘ リ
    {0x256B, false, false},  // D9 ﾙ ル
    {0x256C, false, false},  // DA ﾚ レ
    {0x256D, false, false},  // DB ﾛ ロ
    {0x256F, false, false},  // DC ﾜ ワ
    {0x2573, false, false},  // DD ﾝ ン
    {0, false, false},       // DE ﾞ
    {0, false, false},       // DF ﾟ
}};

struct Symbol {
  unsigned char in;
  uint16_t out;  // Shift_JIS
};

constexpr std::array<Symbol, 39> kSymbols = {{
    {0x20, 0x8140}, {0x21, 0x8149}, {0x22, 0x8168}, {0x23, 0x8194}, {0x24, 0x8190}, {0x25, 0x8193},
    {0x26, 0x8195}, {0x27, 0x8166}, {0x28, 0x8169}, {0x29, 0x816A}, {0x3D, 0x8181}, {0x60, 0x8165},
    {0x7C, 0x8162}, {0x2D, 0x817C}, {0x5E, 0x814F}, {0x5C, 0x818F}, {0x7E, 0x8150}, {0x7B, 0x816F},
    {0x40, 0x8197}, {0x5B, 0x816D}, {0x2B, 0x817B}, {0x2A, 0x8196}, {0x7D, 0x8170}, {0x3B, 0x8147},
    {0x3A, 0x8146}, {0x5D, 0x816E}, {0x3C, 0x8183}, {0x3E, 0x8184}, {0x3F, 0x8148}, {0x5F, 0x8151},
    {0xA4, 0x8141}, {0xA1, 0x8142}, {0xA5, 0x8145}, {0x2C, 0x8143}, {0x2E, 0x8144}, {0x2F, 0x815E},
    {0xB0, 0x815B}, {0xA2, 0x8175}, {0xA3, 0x8176},
}};

bool IsAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHalfKana(unsigned char c) {
  return (c >= 0xA6 && c <= 0xAF) || (c >= 0xB1 && c <= 0xDF);
}

}  // namespace

std::string ToFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c)) {
      // A double-byte character stays as it is (a lead byte at the end alone).
      size_t len = i + 1 < text.size() ? 2 : 1;
      out.append(text.substr(i, len));
      i += len;
    } else if (IsAlnum(c)) {
      AppendJis(out, static_cast<uint16_t>(0x2300 + c));
      ++i;
    } else if (IsHalfKana(c) && kKana[c - 0xA6].jis != 0) {
      const Kana& kana = kKana[c - 0xA6];
      unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      if (kana.voiceable && next == kVoicedMark) {
        AppendJis(out, static_cast<uint16_t>(kana.jis + 1));  // ｶﾞ → ガ
        i += 2;
      } else if (kana.semi && next == kSemiVoicedMark) {
        AppendJis(out, static_cast<uint16_t>(kana.jis + 2));  // ﾊﾟ → パ
        i += 2;
      } else {
        // A kana that does not take the mark keeps it as a full-width mark
        // of its own (ｳﾞ → ウ゛, ｶﾟ → カ゜).
        AppendJis(out, kana.jis);
        ++i;
        if (next == kVoicedMark || next == kSemiVoicedMark) {
          AppendJis(out, next == kVoicedMark ? kWideVoicedMark : kWideSemiVoicedMark);
          ++i;
        }
      }
    } else {
      bool found = false;
      for (const Symbol& s : kSymbols) {
        if (s.in == c) {
          AppendSjis(out, s.out);
          found = true;
          break;
        }
      }
      if (!found) out.push_back(static_cast<char>(c));  // lone ﾞ/ﾟ, controls, others
      ++i;
    }
  }
  return out;
}

}  // namespace sorvix
