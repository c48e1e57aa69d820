#include "views/sign_table_grid.h"

#include <QPainter>

#include "analysis/column_texts.h"
#include "analysis/sign_marks.h"
#include "app/ui/qt_text.h"
#include "codes/code_tables.h"
#include "codes/text.h"
#include "store/race_day.h"
#include "views/text/race_selection.h"

namespace sorvix {
namespace {

constexpr int kSignColumn = 5;  // column of the first sign (特)
constexpr int kSumColumn = 33;

QColor FamilyColour(SignFamily family) {
  switch (family) {
    case SignFamily::Special:
      return QColor(255, 0, 255);
    case SignFamily::Red:
      return QColor(255, 0, 0);
    case SignFamily::Green:
      return QColor(0, 128, 0);
    case SignFamily::Orange:
      return QColor(255, 128, 0);
    case SignFamily::Blue:
      return QColor(0, 0, 255);
    case SignFamily::Yellow:
    case SignFamily::Time:
      return QColor(255, 255, 0);
  }
  return Qt::white;
}

// The two header lines of columns 0 and 5–33.
std::pair<QString, QString> HeaderLines(int col) {
  if (col == 0) return {QStringLiteral("枠"), QStringLiteral("番")};
  if (col == kSumColumn) return {QStringLiteral("ｻｲﾝ"), QStringLiteral("点")};
  SignHeading heading = SignHeadingOf(SignAt(col - kSignColumn));
  return {QString::fromStdString(heading.family), QString::fromStdString(heading.number)};
}

// Text on the darker family fills is drawn white.
bool DarkFill(SignFamily family) {
  return family == SignFamily::Special || family == SignFamily::Red ||
         family == SignFamily::Green || family == SignFamily::Blue;
}

}  // namespace

SignTableGrid::SignTableGrid(QWidget* parent) : StringGrid(parent) {
  setObjectName(QStringLiteral("StringGrid1"));
  SetDefaultColWidth(20);
  SetColCount(34);
  SetRowCount(19);
  SetRowHeight(25);
  const int widths[] = {20, 20, 130, 50, 50};
  for (int c = 0; c < 5; ++c) SetColWidth(c, widths[c]);
  SetGridFont(cell::GothicPixels(12));
  const char* headers[] = {"枠", "馬", "馬名", "騎手", "調教師"};
  for (int c = 0; c < 5; ++c) SetCell(c, 0, QString::fromUtf8(headers[c]));
  SetDrawCellHandler(
      [this](QPainter& p, int col, int row, const QRect& rect) { DrawCell(p, col, row, rect); });
  connect(this, &StringGrid::MouseReleased, this, &StringGrid::ClearSelection);
  connect(this, &StringGrid::CellHovered, this, [this](int col, int row) {
    viewport()->setCursor(col == kSignColumn && row >= 1 ? Qt::PointingHandCursor
                                                         : Qt::ArrowCursor);
  });
  connect(this, &StringGrid::CellPressed, this, [this](int col, int row) {
    if (col == kSignColumn && row >= 1) emit SpecialMarkClicked(row - 1);
    viewport()->update();
  });
  FitCellsToText();  // the two-line headers in this screen's fonts
}

void SignTableGrid::DrawCell(QPainter& p, int col, int row, const QRect& rect) const {
  if (row == 0) {
    cell::Fill(p, rect, palette().color(QPalette::Button));
    if (col >= 1 && col <= 4) {
      cell::Text(p, rect, 2, 2, Cell(col, 0));
    } else {
      auto [first, second] = HeaderLines(col);
      cell::Text(p, rect, 1, 1, first);
      cell::Text(p, rect, 1, 1 + cell::LineHeight(p), second);
    }
    cell::BottomLine(p, rect);
    return;
  }
  cell::Fill(p, rect, Qt::white);
  if (!day_ || race_ < 0 || race_ >= kRaceSlots) return;
  const RaceSheet& sheet = day_->Sheet[race_];
  const RaceCalc& calc = day_->Calc[race_];
  const int k = row - 1;
  p.setPen(Qt::black);
  if (col == 0) {
    int bracket = ReadInt(sheet.BracketNo[k].View());
    cell::Fill(p, rect, cell::BracketColour(bracket));
    p.setFont(cell::Gothic(10, true));
    p.setPen(cell::BracketTextColour(bracket));
    cell::Text(p, rect, 5, 3, QString::asprintf("%1d", bracket));
  } else if (col == 1) {
    cell::Fill(p, rect, palette().color(QPalette::ToolTipBase));
    p.setFont(cell::Gothic(10, true));
    cell::Text(p, rect, 1, 3, QString::asprintf("%2d", ReadInt(sheet.HorseNo[k].View())));
  } else if (col == 2) {
    p.setFont(cell::Gothic(9, true));
    cell::Text(p, rect, 1, -1, Q(Cp932View::FromBytes(Field(sheet.HorseName[k].View(), 1, 18))));
    int second = cell::LineHeight(p) - 1;
    p.setFont(cell::Gothic(8));
    cell::Text(p, rect, 1, second, Q(SexAgeText(sheet.Sex[k].View(), sheet.Age[k].View())));
    cell::Text(p, rect, 65, second, Q(BurdenText(TrimRight(sheet.Burden[k].View()))));
  } else if (col == 3 || col == 4) {
    p.setFont(cell::Gothic(8));
    cell::Text(p, rect, 1, 7,
               Q(Cp932View::FromBytes(col == 3 ? sheet.JockeyName[k].View()
                                               : sheet.TrainerName[k].View())));
  } else if (col < kSumColumn) {
    Sign sign = SignAt(col - kSignColumn);
    bool present = !IsBlank(MarkText(calc, sign, k));
    // 8 point in every mark column: nothing on screen is smaller.
    p.setFont(cell::Gothic(8));
    if (present) {
      SignFamily family = InfoOf(sign).family;
      cell::Fill(p, rect, FamilyColour(family));
      if (DarkFill(family)) p.setPen(Qt::white);
      cell::Text(p, rect, 1, 7, QString::asprintf("%2d", weights_[sign]));
    } else {
      cell::Text(p, rect, 1, 7, QStringLiteral(" "));
    }
  } else {
    int sum = calc.SignSum[k];
    if (sum > 0) cell::Fill(p, rect, QColor(0xFF, 0xFB, 0xF0));
    p.setFont(cell::Gothic(9));
    cell::Text(p, rect, 5, 7, QString::asprintf("%2d", sum));
  }
  cell::BottomLine(p, rect);
}

}  // namespace sorvix
