#include "codes/code_tables.h"

#include <array>
#include <map>

#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix {

namespace {

// The full-width minus shown where a number has no circled digit.
constexpr std::string_view kWideDash = "\x81\x7C";
// The full-width space.
constexpr std::string_view kWideSpace = "\x81\x40";

// Pads a CP932 text with ASCII blanks to `width` bytes.
std::string PadRight(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// The first two characters of a CP932 text (a lead byte and its trail byte
// count as one character).
std::string FirstTwoCharacters(std::string_view text) {
  size_t i = 0;
  for (int n = 0; n < 2 && i < text.size(); ++n)
    i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return std::string(text.substr(0, i));
}

struct VenueRow {
  const char* code;
  const char* place;  // UTF-8; empty for the codes kept without a name
};

// Every JV-Data venue code: the JRA venues, the local-racing venues and the
// countries.
constexpr std::array<VenueRow, 112> kVenues = {{
    {"01", "札幌"},
    {"02", "函館"},
    {"03", "福島"},
    {"04", "新潟"},
    {"05", "東京"},
    {"06", "中山"},
    {"07", "中京"},
    {"08", "京都"},
    {"09", "阪神"},
    {"10", "小倉"},
    {"30", "門別"},
    {"31", "北見"},
    {"32", "岩見沢"},
    {"33", "帯広"},
    {"34", "旭川"},
    {"35", "盛岡"},
    {"36", "水沢"},
    {"37", "上山"},
    {"38", "三条"},
    {"39", "足利"},
    {"40", "宇都宮"},
    {"41", "高崎"},
    {"42", "浦和"},
    {"43", "船橋"},
    {"44", "大井"},
    {"45", "川崎"},
    {"46", "金沢"},
    {"47", "笠松"},
    {"48", "名古屋"},
    {"49", "紀三井寺"},
    {"50", "園田"},
    {"51", "姫路"},
    {"52", "益田"},
    {"53", "福山"},
    {"54", "高知"},
    {"55", "佐賀"},
    {"56", "荒尾"},
    {"57", "中津"},
    {"58", "札幌"},
    {"59", "函館"},
    {"60", "新潟"},
    {"61", "中京"},
    {"A0", "その他の外国"},
    {"A2", "日本"},
    {"A4", "アメリカ"},
    {"A6", "イギリス"},
    {"A8", "フランス"},
    {"B0", "インド"},
    {"B2", "アイルランド"},
    {"B4", "ニュージーランド"},
    {"B6", "オーストラリア"},
    {"B8", "カナダ"},
    {"C0", "イタリア"},
    {"C2", "ドイツ"},
    {"C4", ""},
    {"C5", "オマーン"},
    {"C6", "イラク"},
    {"C7", "アラブ首長国連邦"},
    {"C8", "シリア"},
    {"D0", "スウェーデン"},
    {"D2", "ハンガリー"},
    {"D4", "ポルトガル"},
    {"D6", "ロシア"},
    {"D8", "ウルグアイ"},
    {"E0", "ペルー"},
    {"E2", "アルゼンチン"},
    {"E4", "ブラジル"},
    {"E6", "ベルギー"},
    {"E8", "トルコ"},
    {"F0", "韓国"},
    {"F1", "中国"},
    {"F2", "チリ"},
    {"F4", ""},
    {"F6", ""},
    {"F8", "パナマ"},
    {"G0", "香港"},
    {"G2", "スペイン"},
    {"G4", ""},
    {"G6", ""},
    {"G8", ""},
    {"H0", "西ドイツ"},
    {"H2", "南アフリカ"},
    {"H4", "スイス"},
    {"H6", "モナコ"},
    {"H8", "フィリピン"},
    {"I0", "プエルトリコ"},
    {"I2", "コロンビア"},
    {"I4", "チェコスロバキア"},
    {"I6", "チェコ"},
    {"I8", "スロバキア"},
    {"J0", "エクアドル"},
    {"J2", "ギリシャ"},
    {"J4", "マレーシア"},
    {"J6", "メキシコ"},
    {"J8", "モロッコ"},
    {"K0", "パキスタン"},
    {"K2", "ポーランド"},
    {"K4", "パラグアイ"},
    {"K6", "サウジアラビア"},
    {"K8", "キプロス"},
    {"L0", "タイ"},
    {"L2", "ウクライナ"},
    {"L4", "ベネズエラ"},
    {"L6", "ユーゴスラビア"},
    {"L8", "デンマーク"},
    {"M0", "シンガポール"},
    {"M2", "マカオ"},
    {"M4", "オーストリア"},
    {"M6", "ヨルダン"},
    {"M8", "カタール"},
    {"N0", "東ドイツ"},
    {"N2", "バーレーン"},
}};

// Venue texts that are not the first two characters of the place name.
constexpr std::array<VenueRow, 8> kVenueAbbreviations = {{
    {"A0", "他外"},
    {"C7", "ア首"},
    {"H0", "西独"},
    {"M2", "澳門"},
    {"M4", "墺国"},
    {"M6", "約"},
    {"M8", "華"},
    {"N2", "バレ"},
}};

const std::map<std::string, std::string, std::less<>>& VenueNames() {
  static const std::map<std::string, std::string, std::less<>> names = [] {
    std::map<std::string, std::string, std::less<>> m;
    for (const VenueRow& row : kVenues)
      m[row.code] = PadRight(FirstTwoCharacters(Cp932(row.place).bytes()), 4);
    for (const VenueRow& row : kVenueAbbreviations)
      m[row.code] = PadRight(Cp932(row.place).bytes(), 4);
    return m;
  }();
  return names;
}

bool IsLocalVenueCode(std::string_view code) {
  if (code.size() != 2 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9')
    return false;
  int n = (code[0] - '0') * 10 + (code[1] - '0');
  return n >= 30 && n <= 61;
}

bool IsForeignVenueCode(std::string_view code) {
  return code.size() == 2 && code[0] >= 'A' && code[0] <= 'Z' && VenueNames().count(code) != 0;
}

// The bracket-quinella label of two numbers: each right-aligned in two
// characters, a hyphen between.
std::string ComboLabel(int a, int b) {
  return Format("%2d-%2d", a, b);
}

}  // namespace

std::string PadNumber(std::string_view number) {
  int width = static_cast<int>(number.size());
  int64_t value = ReadNumber(number);
  if (value == 0) return std::string(number.size(), ' ');
  return Format("%*lld", width, static_cast<long long>(value));
}

std::string OverwriteAt(std::string_view text, std::string_view piece, int pos) {
  std::string result(text);
  // A position before the first byte writes at the first byte.
  size_t start = pos < 1 ? 0 : static_cast<size_t>(pos - 1);
  if (start >= result.size()) return result.append(piece);
  result.erase(start, piece.size());
  result.insert(start, piece);
  return result;
}

Cp932Text GradeText(std::string_view code) {
  static const std::map<std::string, std::string, std::less<>> grades = {
      {"A", "G1   "}, {"B", "G2   "}, {"C", "G3   "}, {"D", "重賞 "_sj}, {"E", "特別 "_sj},
      {"F", "JG1  "}, {"G", "JG2  "}, {"H", "JG3  "}, {"L", "List "},
  };
  auto it = grades.find(code);
  if (it != grades.end()) return Cp932Text::FromBytes(it->second);
  return Cp932Text::FromBytes(std::string(kWideSpace) + std::string(kWideSpace) + " ");
}

Cp932Text WeightRuleText(std::string_view code) {
  static const std::map<std::string, std::string, std::less<>> rules = {
      {"1", "ﾊﾝﾃﾞ"_sj}, {"2", "別定"_sj}, {"3", "馬齢"_sj}, {"4", "定量"_sj}};
  auto it = rules.find(code);
  return Cp932Text::FromBytes(it != rules.end() ? it->second : std::string());
}

Cp932Text HorseSymbolText(std::string_view code) {
  static const std::map<int64_t, std::string> symbols = {
      {1, "(抽)"_sj},          {2, "[抽]"_sj},          {3, "(父)"_sj},
      {4, "(市)"_sj},          {5, "(地)"_sj},          {6, "(外)"_sj},
      {7, "(父)(抽)"_sj},      {8, "(父)(市)"_sj},      {9, "(父)(地)"_sj},
      {10, "(市)(地)"_sj},     {11, "(外)(地)"_sj},     {12, "(父)(市)(地)"_sj},
      {15, "(招)"_sj},         {16, "(招)(外)"_sj},     {17, "(招)(父)"_sj},
      {18, "(招)(市)"_sj},     {19, "(招)(父)(市)"_sj}, {20, "(父)(外)"_sj},
      {21, "[地]"_sj},         {22, "(外)[地]"_sj},     {23, "(父)[地]"_sj},
      {24, "(市)[地]"_sj},     {25, "(父)(市)[地]"_sj}, {26, "[外]"_sj},
      {27, "(父)[外]"_sj},     {31, "(特)"_sj},         {40, "(父)(外)(地)"_sj},
      {41, "(父)(外)[地]"_sj},
  };
  auto it = symbols.find(ReadNumber(code));
  if (it != symbols.end()) return Cp932Text::FromBytes(it->second);
  return Cp932Text::FromBytes(std::string(kWideSpace));
}

int BracketComboIndex(std::string_view label) {
  int index = 0;
  for (int a = 1; a <= 8; ++a) {
    for (int b = a; b <= 8; ++b) {
      ++index;
      if (label == ComboLabel(a, b)) return index;
    }
  }
  return 0;
}

std::string QuinellaComboLabel(int index) {
  int n = 0;
  for (int a = 1; a <= 17; ++a) {
    for (int b = a + 1; b <= 18; ++b) {
      if (++n == index) return ComboLabel(a, b);
    }
  }
  return "";  // no pair of that number
}

Cp932Text VenueShortName(std::string_view code) {
  static const std::map<std::string, std::string, std::less<>> jra = {
      {"01", "札幌  "_sj}, {"02", "函館  "_sj}, {"03", "福島  "_sj}, {"04", "新潟  "_sj},
      {"05", "東京  "_sj}, {"06", "中山  "_sj}, {"07", "中京  "_sj}, {"08", "京都  "_sj},
      {"09", "阪神  "_sj}, {"10", "小倉  "_sj},
  };
  static const std::string local = "地方  "_sj, abroad = "海外  "_sj;
  auto it = jra.find(code);
  if (it != jra.end()) return Cp932Text::FromBytes(it->second);
  if (IsLocalVenueCode(code)) return Cp932Text::FromBytes(local);
  // Every country code is abroad except Oman, which has no short name.
  if (code != "C5" && IsForeignVenueCode(code)) return Cp932Text::FromBytes(abroad);
  return Cp932Text::FromBytes(std::string(6, ' '));
}

Cp932Text VenueName(std::string_view code) {
  const auto& names = VenueNames();
  auto it = names.find(code);
  if (it != names.end()) return Cp932Text::FromBytes(it->second);
  return Cp932Text::FromBytes(std::string(4, ' '));
}

std::string StripWideSpaces(std::string_view text) {
  // Without the wide space's lead byte anywhere there is nothing to strip.
  if (text.find('\x81') == std::string_view::npos) return std::string(text);
  std::string result(text.size(), '\0');
  size_t out = 0;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      if (c != kWideSpace[0] || text[i + 1] != kWideSpace[1]) {
        result[out++] = c;
        result[out++] = text[i + 1];
      }
      i += 2;
    } else {
      result[out++] = c;
      ++i;
    }
  }
  result.resize(out);
  return result;
}

Cp932Text CircledNumber(int n) {
  if (n < 1 || n > 18) return Cp932Text::FromBytes(std::string(kWideDash));
  // ① .. ⑳ are the consecutive codes 8740 .. 8753.
  return Cp932Text::FromBytes(std::string{'\x87', static_cast<char>(0x40 + n - 1)});
}

Cp932Text CircledNumberText(std::string_view number) {
  int64_t n = ReadNumber(number);
  if (n < 1 || n > 18) return Cp932Text::FromBytes(std::string(kWideDash));
  return CircledNumber(static_cast<int>(n));
}

Cp932Text RaceClassText(std::string_view code) {
  static const std::map<int64_t, std::string> classes = {
      {5, "1勝ｸﾗｽ"_sj}, {10, "2勝ｸﾗｽ"_sj},  {16, "3勝ｸﾗｽ"_sj},  {100, "1億下"_sj},
      {701, "新馬"_sj}, {702, "未出走"_sj}, {703, "未勝利"_sj}, {999, "オープン"_sj},
  };
  auto it = classes.find(ReadNumber(code));
  return Cp932Text::FromBytes(it != classes.end() ? it->second : std::string());
}

Cp932Text TrackText(std::string_view code) {
  static const std::string straight = "芝直"_sj, left = "芝左"_sj, right = "芝右"_sj,
                           dirt_left = "ダ左"_sj, dirt_right = "ダ右"_sj, dirt_straight = "ダ直"_sj,
                           jump = "障害"_sj;
  int64_t n = ReadNumber(code);
  if (n == 10) return Cp932Text::FromBytes(straight);
  if (n >= 11 && n <= 16) return Cp932Text::FromBytes(left);
  if (n >= 17 && n <= 22) return Cp932Text::FromBytes(right);
  if (n == 23) return Cp932Text::FromBytes(dirt_left);
  if (n == 24) return Cp932Text::FromBytes(dirt_right);
  if (n == 29) return Cp932Text::FromBytes(dirt_straight);
  if (n >= 51 && n <= 59) return Cp932Text::FromBytes(jump);
  return {};
}

Cp932Text GenderText(std::string_view code) {
  static const std::string male = "男"_sj, female = "女"_sj;
  if (code == "1") return Cp932Text::FromBytes(male);
  if (code == "2") return Cp932Text::FromBytes(female);
  return Cp932Text::FromBytes(std::string(kWideSpace));
}

Cp932Text HorseSexText(std::string_view code) {
  static const std::map<std::string, std::string, std::less<>> sexes = {
      {"1", "牡"_sj}, {"2", "牝"_sj}, {"3", "ｾﾝ"_sj}};
  auto it = sexes.find(code);
  return Cp932Text::FromBytes(it != sexes.end() ? it->second : std::string());
}

Cp932Text VenueByIndex(std::string_view index) {
  // The program's own venue order.
  static const std::array<std::string, 10> venues = {"京都"_sj, "阪神"_sj, "中京"_sj, "小倉"_sj,
                                                     "東京"_sj, "中山"_sj, "福島"_sj, "新潟"_sj,
                                                     "札幌"_sj, "函館"_sj};
  static const std::string other = "ｿﾉ他"_sj;
  int64_t n = ReadNumber(index);
  if (n < 0 || n >= static_cast<int64_t>(venues.size())) return Cp932Text::FromBytes(other);
  return Cp932Text::FromBytes(venues[static_cast<size_t>(n)]);
}

}  // namespace sorvix
