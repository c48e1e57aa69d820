#include "views/race_card_grid.h"

#include <QPainter>

#include "store/race_day.h"
#include "views/text/race_card_rows.h"

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

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}
// A number right-aligned in `width` characters, so that a column's numbers
// line up.
QString Padded(const std::string& utf8, int width) {
  return QStringLiteral("%1").arg(Text(utf8), width);
}

// Columns 0–4, the runner: bracket, horse number (on numberBackground),
// name with sex, age and burden, jockey, trainer.
void DrawRunnerCell(QPainter& p, int col, const QRect& rect, const RaceCardRow& row,
                    const QColor& numberBackground) {
  switch (col) {
    case 0:
      cell::Fill(p, rect, cell::BracketColour(row.bracket.rank));
      p.setFont(cell::Gothic(10, true));
      p.setPen(cell::BracketTextColour(row.bracket.rank));
      cell::Text(p, rect, 5, 3, Text(row.bracket.text));
      break;
    case 1:
      cell::Fill(p, rect, numberBackground);
      p.setFont(cell::Gothic(10, true));
      cell::Text(p, rect, 1, 3, Padded(row.horseNumber, 2));
      break;
    case 2: {
      p.setFont(cell::Gothic(9, true));
      cell::Text(p, rect, 1, -1, Text(row.name));
      int second = cell::LineHeight(p) - 1;
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, second, Text(row.sexAge));
      cell::Text(p, rect, 65, second, Text(row.burden));
      break;
    }
    case 3:
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, 7, Text(row.jockey));
      break;
    case 4:
      p.setFont(cell::Gothic(8));
      cell::Text(p, rect, 1, 1, Text(row.trainer));
      break;
  }
}

// A number over its rank, the rank bold in `rankColour`.
void DrawOverRank(QPainter& p, const QRect& rect, const std::string& number,
                  const std::string& rank, const QColor& rankColour, bool boldRank) {
  p.setFont(cell::Gothic(9));
  cell::Text(p, rect, 1, 1, Padded(number, 3));
  int second = 1 + cell::LineHeight(p);
  if (boldRank) p.setFont(cell::Gothic(9, true));
  p.setPen(rankColour);
  cell::Text(p, rect, 1, second, Padded(rank, 3));
}

// Columns 5–8, the sign index: away and home index with their ranks, their
// sum over the bracket average (red for the bracket ranks 1–4), the
// estimated-ability rank.
void DrawIndexCell(QPainter& p, int col, const QRect& rect, const RaceCardRow& row) {
  switch (col) {
    case 5:
      DrawOverRank(p, rect, row.awayIndex, row.awayRank.text, RankColour(row.awayRank.rank), true);
      break;
    case 6:
      DrawOverRank(p, rect, row.homeIndex, row.homeRank.text, RankColour(row.homeRank.rank), true);
      break;
    case 7: {
      int rank = row.bracketRank.rank;
      DrawOverRank(p, rect, row.indexSum, row.bracketAverage,
                   rank >= 1 && rank <= 4 ? Qt::red : Qt::black, false);
      break;
    }
    case 8: {
      int rank = row.estimateRank.rank;
      p.setFont(cell::Gothic(9, true));
      p.setPen(rank == 1                  ? QColor(Qt::red)
               : (rank == 2 || rank == 3) ? QColor(Qt::blue)
                                          : QColor(Qt::black));
      cell::Text(p, rect, 1, 7, Padded(row.estimateRank.text, 2));
      break;
    }
  }
}

// Columns 9–11: the axis and partner marks and the finishing place.
void DrawMarkCell(QPainter& p, int col, const QRect& rect, const RaceCardRow& row) {
  p.setFont(cell::Gothic(9, true));
  switch (col) {
    case 9:
      cell::Text(p, rect, 5, 7, Text(row.axisMark));
      break;
    case 10:
      cell::Text(p, rect, 5, 7, Text(row.partnerMark));
      break;
    case 11:
      p.setPen(cell::PlaceColour(row.place.rank));
      cell::Text(p, rect, 1, 7, Padded(row.place.text, 2));
      break;
  }
}

// Columns 12–21, one past run: its date, venue and race number, and the
// place the runner finished.
void DrawPastRunCell(QPainter& p, const QRect& rect, const PastRunText& run) {
  if (run.date.empty()) return;
  p.setFont(cell::Gothic(8));
  cell::Text(p, rect, 1, 1, Text(run.date));
  int second = 1 + cell::LineHeight(p);
  cell::Text(p, rect, 1, second, Text(run.venueRace));
  if (!run.place.text.empty()) {
    p.setFont(cell::Gothic(8, true));
    p.setPen(cell::PlaceColour(run.place.rank));
    cell::Text(p, rect, 45, second, Padded(run.place.text, 2));
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
  p.setPen(Qt::black);
  if (col >= 12) {
    DrawPastRunCell(p, rect, PastRunOf(*day_, r, h, col - 12));
  } else {
    RaceCardRow texts = RaceCardRowOf(*day_, r, h);
    if (col <= 4)
      DrawRunnerCell(p, col, rect, texts, palette().color(QPalette::ToolTipBase));
    else if (col <= 8)
      DrawIndexCell(p, col, rect, texts);
    else
      DrawMarkCell(p, col, rect, texts);
  }
  cell::BottomLine(p, rect);
}

}  // namespace sorvix
