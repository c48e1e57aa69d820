#include "views/race_card_grid.h"

#include <QPainter>

#include "analysis/column_texts.h"
#include "app/ui/qt_text.h"
#include "codes/code_tables.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "views/text/race_selection.h"

namespace sorvix {
namespace {

constexpr int kColumnWidths[22] = {20, 20, 130, 50, 50, 30, 30, 40, 30, 30, 30,
                                   30, 65, 65,  65, 65, 65, 65, 65, 65, 65, 65};

// Header lines of columns 0 and 5–21 (columns 1–4 show their cell text).
QString HeaderLine(int col, int line) {
  static const char* kHeaders[12][2] = {{"枠", "番"},       {nullptr, nullptr},  {nullptr, nullptr},
                                        {nullptr, nullptr}, {nullptr, nullptr},  {"ｻ指", "ｱｳｪｲ"},
                                        {"ｻ指", "ﾎｰﾑ"},     {"ｻ指計", "枠平均"}, {"推定", "能力"},
                                        {"軸", ""},         {"相手", ""},        {"着順", ""}};
  if (col >= 12)
    return line == 0 ? QStringLiteral("前走") + QString::asprintf("%2d", col - 11) : QString();
  const char* text = kHeaders[col][line];
  return text ? QString::fromUtf8(text) : QString();
}

QColor RankColour(int rank) {
  if (rank >= 1 && rank <= 4) return Qt::red;
  if (rank == 5 || rank == 6) return Qt::blue;
  return Qt::black;
}

// Columns 0–4, the runner: bracket, horse number (on numberBackground),
// name with sex, age and burden, jockey, trainer.
void DrawRunnerCell(QPainter& p, int col, const QRect& rect, const SeImage& se,
                    const QColor& numberBackground) {
  switch (col) {
    case 0: {
      int bracket = se.Int(se::kBracketNumber);
      cell::Fill(p, rect, cell::BracketColour(bracket));
      p.setFont(cell::Gothic(10, true));
      p.setPen(cell::BracketTextColour(bracket));
      cell::Text(p, rect, 5, 3, QString::asprintf("%1d", bracket));
      break;
    }
    case 1:
      cell::Fill(p, rect, numberBackground);
      p.setFont(cell::Gothic(10, true));
      cell::Text(p, rect, 1, 3, QString::asprintf("%2d", se.Int(se::kHorseNumber)));
      break;
    case 2: {
      p.setFont(cell::Gothic(9, true));
      cell::Text(p, rect, 1, -1, Q(Cp932View::FromBytes(se.Field(se::kHorseNameHead))));
      int second = cell::LineHeight(p) - 1;
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, second, Q(SexAgeText(se.Field(se::kSex), se.Field(se::kAge))));
      cell::Text(p, rect, 65, second, Q(BurdenText(TrimRight(se.Field(se::kBurden)))));
      break;
    }
    case 3:
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, 7, Q(Cp932View::FromBytes(se.Field(se::kJockeyName))));
      break;
    case 4:
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, 1, Q(Cp932View::FromBytes(se.Field(se::kTrainerName))));
      break;
  }
}

// Columns 5–8, the sign index of runner h: away and home index with their
// ranks, their sum over the bracket average, the estimated-ability rank.
void DrawIndexCell(QPainter& p, int col, const QRect& rect, const RaceCalc& calc, int h) {
  switch (col) {
    case 5:
    case 6: {
      int index = col == 5 ? calc.AwayIndex[h] : calc.HomeIndex[h];
      int rank = col == 5 ? calc.AwayRank[h] : calc.HomeRank[h];
      p.setFont(cell::Gothic(9));
      cell::Text(p, rect, 1, 1, QString::asprintf("%3d", index));
      int second = 1 + cell::LineHeight(p);
      p.setFont(cell::Gothic(9, true));
      p.setPen(RankColour(rank));
      cell::Text(p, rect, 1, second,
                 rank < 1 ? QStringLiteral(" ") : QString::asprintf("%3d", rank));
      break;
    }
    case 7: {
      p.setFont(cell::Gothic(9));
      cell::Text(p, rect, 1, 1, QString::asprintf("%3d", calc.AwayIndex[h] + calc.HomeIndex[h]));
      int second = 1 + cell::LineHeight(p);
      int rank = calc.BracketRank[h];
      p.setPen(rank >= 1 && rank <= 4 ? Qt::red : Qt::black);
      cell::Text(p, rect, 1, second, QString::asprintf("%3d", calc.BracketAverage[h]));
      break;
    }
    case 8: {
      int rank = calc.SuiteiRank[h];
      p.setFont(cell::Gothic(9, true));
      p.setPen(rank == 1                  ? QColor(Qt::red)
               : (rank == 2 || rank == 3) ? QColor(Qt::blue)
                                          : QColor(Qt::black));
      if (rank >= 1) cell::Text(p, rect, 1, 7, QString::asprintf("%2d", rank));
      break;
    }
  }
}

// Columns 9–11: the axis and partner marks of runner h and its finishing
// place.
void DrawMarkCell(QPainter& p, int col, const QRect& rect, const SeImage& se, const RaceCalc& calc,
                  int h) {
  switch (col) {
    case 9: {
      QString mark = QString::fromUtf8(AxisMarkText(calc.AxisMark[h]));
      p.setFont(cell::Gothic(9, true));
      cell::Text(p, rect, 5, 7, mark.isEmpty() ? QStringLiteral(" ") : mark);
      break;
    }
    case 10:
      p.setFont(cell::Gothic(9, true));
      cell::Text(
          p, rect, 5, 7,
          calc.PartnerMark[h] == 1 ? QString::fromUtf8(PartnerMarkText(1)) : QStringLiteral(" "));
      break;
    case 11: {
      int place = se.Int(se::kFinalPosition);
      p.setFont(cell::Gothic(9, true));
      p.setPen(cell::PlaceColour(place));
      cell::Text(p, rect, 1, 7, place >= 1 ? QString::asprintf("%2d", place) : QStringLiteral(" "));
      break;
    }
  }
}

// Columns 12–21, one past run: its date, venue and race number, and the
// place the runner finished (ra and se are the past race and run).
void DrawPastRunCell(QPainter& p, const QRect& rect, const RaImage& ra, const SeImage& se) {
  if (ra.Int(ra::kYear) <= 0) return;
  p.setFont(cell::Gothic(8));
  cell::Text(p, rect, 1, 1,
             QString::fromStdString(std::string(ra.Field(ra::kYear)) + "." +
                                    std::string(ra.Field(ra::kMonth)) + "." +
                                    std::string(ra.Field(ra::kDay))));
  int second = 1 + cell::LineHeight(p);
  cell::Text(p, rect, 1, second,
             Q(VenueName(ra.Field(ra::kVenueCode)) +
               Cp932View::FromBytes(PadNumber(ra.Field(ra::kRaceNumber)) + "R ")));
  int place = se.Int(se::kFinalPosition);
  if (place > 0) {
    p.setFont(cell::Gothic(8, true));
    p.setPen(cell::PlaceColour(place));
    cell::Text(p, rect, 45, second, QString::asprintf("%2d", place));
  }
}

}  // namespace

RaceCardGrid::RaceCardGrid(QWidget* parent) : StringGrid(parent) {
  setObjectName(QStringLiteral("StringGrid10"));
  SetColCount(22);
  SetRowCount(2);
  SetRowHeight(25);
  for (int c = 0; c < 22; ++c) SetColWidth(c, kColumnWidths[c]);
  SetGridFont(cell::Gothic(9));
  const char* headers[] = {"枠", "馬", "馬名", "騎手", "調教師"};
  for (int c = 0; c < 5; ++c) SetCell(c, 0, QString::fromUtf8(headers[c]));
  SetDrawCellHandler(
      [this](QPainter& p, int col, int row, const QRect& rect) { DrawCell(p, col, row, rect); });
  connect(this, &StringGrid::MouseReleased, this, &StringGrid::ClearSelection);
  FitCellsToText();  // the two-line headers in this screen's fonts
}

void RaceCardGrid::DrawHeader(QPainter& p, int col, const QRect& rect) const {
  cell::Fill(p, rect, palette().color(QPalette::Button));
  if (col >= 1 && col <= 4) {
    cell::Text(p, rect, 2, 2, Cell(col, 0));
    return;
  }
  cell::Text(p, rect, 1, 1, HeaderLine(col, 0));
  cell::Text(p, rect, 1, 1 + cell::LineHeight(p), HeaderLine(col, 1));
}

void RaceCardGrid::DrawCell(QPainter& p, int col, int row, const QRect& rect) const {
  if (row == 0) {
    DrawHeader(p, col, rect);
    cell::BottomLine(p, rect);
    return;
  }
  cell::Fill(p, rect, Qt::white);
  if (!day_) return;
  const int r = race_;
  const int h = row - 1;
  if (r < 0 || r >= kRaceSlots || h >= kHorseSlots) return;
  const SeImage& se = day_->SeRec[r][h];
  const RaceCalc& calc = day_->Calc[r];
  p.setPen(Qt::black);
  if (col <= 4) {
    DrawRunnerCell(p, col, rect, se, palette().color(QPalette::ToolTipBase));
  } else if (col <= 8) {
    DrawIndexCell(p, col, rect, calc, h);
  } else if (col <= 11) {
    DrawMarkCell(p, col, rect, se, calc, h);
  } else {
    int k = col - 12;
    DrawPastRunCell(p, rect, day_->KakoRaRec[r][h][k], day_->KakoSeRec[r][h][k]);
  }
  cell::BottomLine(p, rect);
}

}  // namespace sorvix
