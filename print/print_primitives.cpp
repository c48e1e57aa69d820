#include "print/print_primitives.h"

#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"

namespace sorvix {

namespace {

constexpr PageColor kTableColors[] = {kWhite, kBlack,  kRed,  kBlue, kYellow,
                                      kGreen, kOrange, kPink, kAqua, kMaroon};

// The characters of a CP932 text, lead and trail bytes kept together.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, width));
    i += width;
  }
  return out;
}

}  // namespace

std::string_view CutBytes(std::string_view text, size_t bytes) {
  size_t end = 0;
  for (std::string_view ch : Characters(text)) {
    if (end + ch.size() > bytes) break;
    end += ch.size();
  }
  return text.substr(0, end);
}

PageColor VenueColor(int venue) {
  return venue >= 1 && venue <= 10 ? kTableColors[venue - 1] : kWhite;
}

PageColor VenueTextColor(int venue) {
  if (venue < 1 || venue > 10) return kBlack;
  switch (venue) {
    case 1:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      return kBlack;
    default:
      return kWhite;
  }
}

PageColor BracketColor(int bracket) {
  return bracket >= 1 && bracket <= 8 ? kTableColors[bracket - 1] : kWhite;
}

PageColor BracketTextColor(int bracket) {
  return bracket == 2 || bracket == 3 || bracket == 4 ? kWhite : kBlack;
}

PageColor RankColor(int rank) {
  if (rank == 1) return kRed;
  if (rank == 2 || rank == 3) return kBlue;
  return kBlack;
}

Cp932Text PrintFontName() {
  static const Cp932Text name = Cp932("ＭＳ ゴシック");
  return name;
}

void SetFont(TPrevX& prev, int points, bool bold, bool underline, PageColor color) {
  PageFont& font = prev.Canvas().Font;
  font.Name = PrintFontName();
  font.Size = points;
  font.Bold = bold;
  font.Underline = underline;
  font.Color = color;
}

void DotRule(TPrevX& prev, int x1, int y1, int x2, int y2, int dots) {
  prev.Canvas().Pen = PagePen{kBlack, dots, PenStyle::Solid};
  prev.MoveToAt(x1, y1);
  prev.LineToAt(x2, y2);
}

void ThinRule(TPrevX& prev, int x1, int y1, int x2, int y2) {
  DotRule(prev, x1, y1, x2, y2, prev.ToDeviceWidth(5));
}

void FilledCell(TPrevX& prev, int x1, int y1, int x2, int y2, PageColor color) {
  prev.Canvas().Pen = PagePen{color, 1, PenStyle::Solid};
  prev.Canvas().Brush = PageBrush{color, BrushStyle::Solid};
  prev.RectangleAt(x1, y1, x2, y2);
}

void RingBracketAndNumber(TPrevX& prev, const RaceSheet& sheet, int k, int top) {
  const int x0 = RingColumnLeft(k);
  const int x1 = RingColumnRight(k);
  const int bracket = ReadInt(sheet.BracketNo[k].View());
  FilledCell(prev, x0, top + 97, x1, top + 127, BracketColor(bracket));
  FilledCell(prev, x0, top + 127, x1, top + 157, kLightYellow);
  prev.Canvas().Brush.Style = BrushStyle::Clear;
  prev.Canvas().Pen = PagePen{};
  SetFont(prev, 8, false, false, BracketTextColor(bracket));
  prev.TextAt(x0 + 65, top + 99, PageText(sheet.BracketNo[k].View()));
  prev.Canvas().Font.Color = kBlack;
  prev.TextAt(x0 + 62, top + 130, CircledNumberText(sheet.HorseNo[k].View()));
}

void SignBox(TPrevX& prev, int x1, int y1, int x2, int y2, PageColor fill) {
  prev.Canvas().Pen = PagePen{kBlack, 1, PenStyle::Solid};
  prev.Canvas().Brush = PageBrush{fill, BrushStyle::Solid};
  prev.RectangleAt(x1, y1, x2, y2);
}

int RaceKeyVenue(const RaceSheet& sheet) {
  return ReadInt(Field(sheet.RaceKey.View(), 9, 2));
}

int RaceKeyRaceNumber(const RaceSheet& sheet) {
  return FieldInt(sheet.RaceKey.View(), race_key::kRaceNumber);
}

Cp932Text RaceKeyDateTitle(const RaceSheet& sheet) {
  std::string_view key = sheet.RaceKey.View();
  return Cp932Text::FromBytes(std::string(Field(key, race_key::kYear)) + "年"_sj +
                              std::string(Field(key, race_key::kMonth)) + "月"_sj +
                              std::string(Field(key, race_key::kDay)) + "日"_sj);
}

Cp932Text RaceKeyMeetingTitle(const RaceSheet& sheet) {
  std::string_view key = sheet.RaceKey.View();
  return VenueName(Field(key, race_key::kVenueCode)) +
         Cp932View::FromBytes(std::string(Field(key, race_key::kMeetingNumber)) + "回"_sj +
                              std::string(Field(key, race_key::kMeetingDay)) + "日"_sj);
}

Cp932Text RaceHeaderText(const RaceSheet& sheet, bool withTime) {
  std::string_view key = sheet.RaceKey.View();
  std::string_view start = sheet.StartTime.View();
  std::string text = "【"_sj + VenueName(Field(key, race_key::kVenueCode)).bytes() +
                     Format("%2dR", RaceKeyRaceNumber(sheet)) + "】"_sj;
  if (withTime)
    text += std::string(Field(start, hhmm::kHour)) + ":" +
            std::string(Field(start, hhmm::kMinute)) + " ";
  text += Format("%2d", ReadInt(sheet.RunnerCount.View())) + "頭"_sj + " ";
  text += std::string(CutBytes(sheet.RaceName.View(), 10)) + " " +
          GradeText(sheet.GradeCode).bytes() + " " + RaceClassText(sheet.ClassCode).bytes() + " " +
          WeightRuleText(sheet.WeightRuleCode).bytes() + " " + TrackText(sheet.TrackCode).bytes() +
          Format("%4d", ReadInt(sheet.Distance.View())) + "m";
  return Cp932Text::FromBytes(std::move(text));
}

Cp932Text RaceResultText(const RaceDay& day, int slot, const RaceSheet& sheet) {
  if (slot < 0 || slot >= kRaceSlots) return {};
  // Horses in a dead heat share their place: "1着：…　1着：…　3着：…".
  static const std::string kPrefix[] = {"1着："_sj, "2着："_sj, "3着："_sj};
  std::string text;
  for (int place = 1; place <= 3; ++place) {
    for (int h = 0; h < kHorseSlots; ++h) {
      if (day.SeRec[slot][h].Int(se::kFinalPosition) != place) continue;
      if (!text.empty()) text += "　"_sj;
      text += kPrefix[place - 1];
      for (int k = 0; k < kRingRows; ++k) {
        if (ReadInt(sheet.HorseNo[k].View()) != h + 1) continue;
        text += CircledNumberText(sheet.HorseNo[k].View()).bytes() + sheet.HorseName[k].Str();
        break;
      }
    }
  }
  return Cp932Text::FromBytes(std::move(text));
}

void VerticalName(TPrevX& prev, int x, int y, int step, Cp932View name, int count) {
  std::vector<std::string_view> chars = Characters(name.bytes());
  static const std::string kLongVowel = "ー"_sj;
  static const std::string kBar = "｜"_sj;
  for (int k = 0; k < count && k < static_cast<int>(chars.size()); ++k) {
    std::string_view ch = chars[static_cast<size_t>(k)];
    if (ch == " " || ch == "　"_sj) continue;
    prev.TextAt(x, y + step * k, PageText(ch == kLongVowel ? std::string_view(kBar) : ch));
  }
}

void HeaderBand(TPrevX& prev, int venue, int x1, int y1, int x2, int y2) {
  prev.Canvas().Pen = PagePen{kBlack, 1, PenStyle::Clear};
  prev.Canvas().Brush = PageBrush{VenueColor(venue), BrushStyle::Solid};
  prev.RectangleAt(x1, y1, x2, y2);
  prev.Canvas().Font.Color = VenueTextColor(venue);
}

}  // namespace sorvix
