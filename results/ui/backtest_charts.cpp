#include "results/ui/backtest_charts.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

#include "results/backtest_report.h"

namespace sorvix {
namespace {

QString U(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

const QColor kWinColour(60, 110, 200), kPlaceColour(240, 160, 60);
const QColor kAbove(200, 0, 0), kBelow(0, 70, 200), kFew(170, 170, 170);
// The colours of the bet types (3連複, 馬連, ワイド, 馬単).
const QColor kBetColours[kBetTypes] = {QColor(200, 40, 40), QColor(40, 90, 200),
                                       QColor(220, 140, 0), QColor(40, 150, 70)};

// A round step for an axis from 0 to `top` with about `ticks` lines.
double NiceStep(double top, int ticks) {
  double raw = top / std::max(1, ticks);
  double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

void PaintTitle(QPainter& p, const QRect& area, const QString& title, const QString& note) {
  p.fillRect(area, Qt::white);
  QFont font = p.font();
  font.setPointSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRect(area.left(), area.top() + 4, area.width(), 22), Qt::AlignCenter, title);
  font.setBold(false);
  font.setPointSize(8);
  p.setFont(font);
  p.setPen(Qt::darkGray);
  p.drawText(QRect(area.left() + 8, area.top() + 26, area.width() - 16, 16), Qt::AlignCenter, note);
}

void PaintLegend(QPainter& p, int x, int y, const QColor& colour, const QString& text,
                 Qt::PenStyle style, bool bar) {
  if (bar) {
    p.fillRect(QRect(x, y - 4, 14, 9), colour);
  } else {
    p.setPen(QPen(colour, 2, style));
    p.drawLine(x, y, x + 18, y);
  }
  p.setPen(Qt::black);
  p.drawText(QPoint(x + 22, y + 4), text);
}

struct RateRow {
  QString label;
  const GroupFigures* figures;
};

// The horizontal scale of the rate chart: 0 % to `top` %.
struct RateScale {
  QRect plot;
  double top = 150;
  int X(double percent) const {
    return plot.left() + static_cast<int>(std::min(percent, top) / top * plot.width());
  }
};

// One bar (value, its 95 % interval) of a row's half.
void PaintBar(QPainter& p, const RateScale& s, int y, int height, const RateFigure& f,
              const QColor& colour, bool few) {
  const double value = 100 * f.value;
  QColor fill = few ? colour.lighter(150) : colour;
  p.fillRect(QRect(QPoint(s.X(0), y), QPoint(s.X(value), y + height - 1)), fill);
  if (value > s.top) {
    // Cut: a white gap near the end, and the value written after the axis.
    int x = s.plot.right() - 10;
    p.fillRect(QRect(x, y, 3, height), Qt::white);
    p.setPen(few ? kFew : Qt::black);
    p.drawText(QRect(s.plot.right() + 3, y - 3, 60, height + 6), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(value, 'f', 0) + QStringLiteral("%"));
  }
  // The interval's whisker.
  int mid = y + height / 2;
  int lo = s.X(100 * f.interval.low), hi = s.X(100 * f.interval.high);
  p.setPen(QPen(few ? kFew : QColor(40, 40, 40), 1));
  p.drawLine(lo, mid, hi, mid);
  p.drawLine(lo, mid - 2, lo, mid + 2);
  if (100 * f.interval.high <= s.top) p.drawLine(hi, mid - 2, hi, mid + 2);
}

// A row's counts as written left of its bars.
QString CountsText(const GroupFigures& g) {
  return g.empty ? QStringLiteral("—")
                 : QString::number(g.counts.runners) + QStringLiteral("頭 ") +
                       QString::number(g.counts.wins) + QStringLiteral("勝");
}

void PaintRateRow(QPainter& p, const RateScale& s, const RateRow& row, int y, int rowHeight,
                  const QRect& area) {
  const GroupFigures& g = *row.figures;
  const bool few = g.few || g.empty;
  // Label (bold and coloured when a return stands out), then its counts.
  Standout standout =
      g.winReturn.standout != Standout::None ? g.winReturn.standout : g.placeReturn.standout;
  QFont font = p.font();
  font.setBold(standout != Standout::None);
  p.setFont(font);
  p.setPen(standout == Standout::Above   ? kAbove
           : standout == Standout::Below ? kBelow
           : few                         ? kFew
                                         : QColor(Qt::black));
  QRect text(area.left() + 4, y, 44, rowHeight);
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, row.label);
  font.setBold(false);
  p.setFont(font);
  p.setPen(few ? kFew : QColor(Qt::darkGray));
  p.drawText(QRect(text.right(), y, s.plot.left() - text.right() - 6, rowHeight),
             Qt::AlignRight | Qt::AlignVCenter, CountsText(g));
  if (g.empty) return;
  int half = std::max(2, (rowHeight - 2) / 2);
  PaintBar(p, s, y + 1, half, g.winReturn, kWinColour, few);
  PaintBar(p, s, y + 1 + half, half, g.placeReturn, kPlaceColour, few);
}

void PaintRateAxis(QPainter& p, const RateScale& s, const GroupFigures& all) {
  double step = NiceStep(s.top, std::max(3, s.plot.width() / 90));
  for (double v = 0; v <= s.top + 1e-9; v += step) {
    p.setPen(QColor(228, 228, 228));
    p.drawLine(s.X(v), s.plot.top(), s.X(v), s.plot.bottom());
    p.setPen(Qt::black);
    p.drawText(QRect(s.X(v) - 30, s.plot.bottom() + 3, 60, 14), Qt::AlignHCenter,
               QString::number(v, 'f', 0) + QStringLiteral("%"));
  }
  p.setPen(QPen(QColor(120, 120, 120), 1.5, Qt::DashLine));
  p.drawLine(s.X(100), s.plot.top(), s.X(100), s.plot.bottom());
  p.setPen(QPen(kWinColour.darker(130), 2, Qt::DotLine));
  p.drawLine(s.X(100 * all.winReturn.value), s.plot.top(), s.X(100 * all.winReturn.value),
             s.plot.bottom());
  p.setPen(QPen(kPlaceColour.darker(130), 2, Qt::DotLine));
  p.drawLine(s.X(100 * all.placeReturn.value), s.plot.top(), s.X(100 * all.placeReturn.value),
             s.plot.bottom());
  p.setPen(Qt::black);
  p.drawLine(s.plot.bottomLeft(), s.plot.topLeft());
}

}  // namespace

ReturnRateChart::ReturnRateChart(QWidget* parent) : QWidget(parent) {
  setMinimumSize(400, 300);
}

void ReturnRateChart::SetFigures(const BacktestFigures* figures, const QString& slice) {
  figures_ = figures;
  slice_ = slice;
  update();
}

void ReturnRateChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

void ReturnRateChart::Paint(QPainter& p, const QRect& area) const {
  p.setRenderHint(QPainter::Antialiasing);
  PaintTitle(p, area, QStringLiteral("サイン別回収率（単勝・複勝 各100円）") + slice_,
             QStringLiteral("線は 95% 区間（開催日単位のリサンプリング）。色付きの名前は全馬を"
                            "区間が上回る（赤）/下回る（青）もの。灰色は的中 30 未満"));
  if (!figures_) return;
  std::vector<RateRow> rows = {{QStringLiteral("全馬"), &figures_->all}};
  for (int s = 0; s < kSignCount; ++s) rows.push_back({U(SignLabel(s)), &figures_->signs[s]});
  for (int f = 0; f < kBacktestFamilies; ++f)
    rows.push_back({U(FamilyLabel(f)) + QStringLiteral("系"), &figures_->families[f]});

  // The rows' font follows their height; the labels' column is as wide as
  // the longest counts in that font, so that no count is cut.
  const int plotHeight = area.height() - 88;
  const int rowHeight = std::max(6, plotHeight / static_cast<int>(rows.size()));
  QFont rowFont = p.font();
  rowFont.setPointSizeF(std::clamp(rowHeight * 0.55, 5.5, 8.0));
  int countsWidth = 0;
  for (const RateRow& r : rows)
    countsWidth = std::max(
        countsWidth, QFontMetrics(rowFont, p.device()).horizontalAdvance(CountsText(*r.figures)));
  const int left = std::max(136, 4 + 44 + countsWidth + 12);
  RateScale s;
  s.plot = QRect(area.left() + left, area.top() + 64, area.width() - left - 52, plotHeight);
  // The axis reaches the longest interval, up to 250 %: longer bars are cut.
  double longest = 120;
  for (const RateRow& r : rows)
    if (!r.figures->empty && !r.figures->few)
      longest = std::max({longest, 100 * r.figures->winReturn.interval.high,
                          100 * r.figures->placeReturn.interval.high});
  double step = NiceStep(std::min(longest, 250.0), 5);
  s.top = std::ceil(std::min(longest, 250.0) / step) * step;

  int y = area.top() + 50;
  PaintLegend(p, s.plot.left(), y, kWinColour, QStringLiteral("単勝"), Qt::SolidLine, true);
  PaintLegend(p, s.plot.left() + 64, y, kPlaceColour, QStringLiteral("複勝"), Qt::SolidLine, true);
  PaintLegend(p, s.plot.left() + 128, y, kWinColour.darker(130), QStringLiteral("全馬"),
              Qt::DotLine, false);
  PaintLegend(p, s.plot.left() + 192, y, QColor(120, 120, 120), QStringLiteral("100%"),
              Qt::DashLine, false);
  PaintRateAxis(p, s, figures_->all);
  p.setFont(rowFont);
  for (size_t i = 0; i < rows.size(); ++i)
    PaintRateRow(p, s, rows[i], s.plot.top() + static_cast<int>(i) * rowHeight, rowHeight, area);
}

StakeReturnChart::StakeReturnChart(QWidget* parent) : QWidget(parent) {
  setMinimumSize(400, 300);
}

void StakeReturnChart::SetTimeline(std::vector<BacktestDayTickets> timeline, const QString& slice) {
  timeline_ = std::move(timeline);
  slice_ = slice;
  update();
}

void StakeReturnChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

namespace {

// The time axis: calendar days from the first date to the last.
struct TimeScale {
  QRect plot;
  qint64 first = 0, last = 1;
  double topMan = 1;  // 万円
  int X(const QDate& d) const {
    return plot.left() +
           static_cast<int>(static_cast<double>(d.toJulianDay() - first) /
                            static_cast<double>(std::max<qint64>(1, last - first)) * plot.width());
  }
  int Y(int64_t yen) const {
    return plot.bottom() -
           static_cast<int>(static_cast<double>(yen) / 10000.0 / topMan * plot.height());
  }
};

QDate DateOf(const BacktestDayTickets& d) {
  return QDate::fromString(U(IsoDateOfLabel(d.label)), Qt::ISODate);
}

// Month lines, labelled as often as the width allows.
void PaintTimeAxis(QPainter& p, const TimeScale& s) {
  QDate d = QDate::fromJulianDay(s.first);
  d = QDate(d.year(), d.month(), 1);
  const double monthPx =
      30.4 * s.plot.width() / static_cast<double>(std::max<qint64>(1, s.last - s.first));
  int every = 1;
  for (int m : {1, 2, 3, 6, 12, 24, 60})
    if ((every = m) * monthPx >= 64) break;
  for (; d.toJulianDay() <= s.last; d = d.addMonths(1)) {
    if (d.toJulianDay() < s.first) continue;
    int x = s.X(d);
    bool labelled = ((d.year() * 12 + d.month() - 1) % every) == 0;
    p.setPen(labelled ? QColor(215, 215, 215) : QColor(240, 240, 240));
    p.drawLine(x, s.plot.top(), x, s.plot.bottom());
    if (!labelled) continue;
    p.setPen(Qt::black);
    p.drawText(QRect(x - 32, s.plot.bottom() + 3, 64, 14), Qt::AlignHCenter,
               d.toString(every >= 12 ? QStringLiteral("yyyy") : QStringLiteral("yyyy-MM")));
  }
  double step = NiceStep(s.topMan, 5);
  for (double v = 0; v <= s.topMan + 1e-9; v += step) {
    int y = s.plot.bottom() - static_cast<int>(v / s.topMan * s.plot.height());
    p.setPen(QColor(228, 228, 228));
    p.drawLine(s.plot.left(), y, s.plot.right(), y);
    p.setPen(Qt::black);
    p.drawText(QRect(s.plot.left() - 70, y - 8, 66, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v, 'f', step < 1 ? 1 : 0) + QStringLiteral("万円"));
  }
  p.drawLine(s.plot.bottomLeft(), s.plot.bottomRight());
  p.drawLine(s.plot.bottomLeft(), s.plot.topLeft());
}

// The three largest single payouts, each a ring on its bet type's return
// line with the amount beside it.
void PaintLargest(QPainter& p, const TimeScale& s, const std::vector<BacktestDayTickets>& days,
                  const std::vector<std::array<int64_t, kBetTypes>>& paid) {
  struct Big {
    int64_t yen;
    size_t day;
    int bet;
  };
  std::vector<Big> all;
  for (size_t i = 0; i < days.size(); ++i)
    for (int b = 0; b < kBetTypes; ++b)
      if (days[i].maxReturn[b] > 0) all.push_back({days[i].maxReturn[b], i, b});
  std::sort(all.begin(), all.end(), [](const Big& a, const Big& b) { return a.yen > b.yen; });
  all.resize(std::min<size_t>(all.size(), 3));
  for (const Big& big : all) {
    QPoint at(s.X(DateOf(days[big.day])), s.Y(paid[big.day][big.bet]));
    p.setPen(QPen(kBetColours[big.bet], 2));
    p.setBrush(Qt::white);
    p.drawEllipse(at, 5, 5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Qt::black);
    QString text = QStringLiteral("¥") + QLocale(QLocale::Japanese).toString(big.yen);
    int x = std::min(at.x() + 8, s.plot.right() - 80);
    p.drawText(QRect(x, at.y() - 18, 80, 14), Qt::AlignLeft, text);
  }
}

}  // namespace

void StakeReturnChart::Paint(QPainter& p, const QRect& area) const {
  p.setRenderHint(QPainter::Antialiasing);
  PaintTitle(p, area, QStringLiteral("買い目の累計購入額と累計払戻（1点100円）") + slice_,
             QStringLiteral("横軸は日付（開催のない期間はそのまま空く）。○は最高払戻の上位 3 点"));
  if (timeline_.empty()) return;
  const auto& days = timeline_;
  std::vector<std::array<int64_t, kBetTypes>> stake(days.size()), paid(days.size());
  std::array<int64_t, kBetTypes> st{}, rt{};
  int64_t top = 1;
  for (size_t i = 0; i < days.size(); ++i) {
    for (int b = 0; b < kBetTypes; ++b) {
      st[b] += days[i].stake[b];
      rt[b] += days[i].returned[b];
      top = std::max({top, st[b], rt[b]});
    }
    stake[i] = st;
    paid[i] = rt;
  }
  TimeScale s;
  s.plot = QRect(area.left() + 78, area.top() + 66, area.width() - 96, area.height() - 92);
  s.first = DateOf(days.front()).toJulianDay();
  s.last = std::max(s.first + 1, DateOf(days.back()).toJulianDay());
  double step = NiceStep(static_cast<double>(top) / 10000.0, 5);
  s.topMan = std::ceil(static_cast<double>(top) / 10000.0 / step) * step;
  for (int b = 0; b < kBetTypes; ++b)
    PaintLegend(p, s.plot.left() + b * 70, area.top() + 52, kBetColours[b], U(BetTypeLabel(b)),
                Qt::SolidLine, false);
  PaintLegend(p, s.plot.left() + 4 * 70, area.top() + 52, Qt::gray,
              QStringLiteral("実線: 払戻 / 破線: 購入額"), Qt::DashLine, false);
  PaintTimeAxis(p, s);
  for (int b = 0; b < kBetTypes; ++b) {
    QPainterPath staked, returned;
    for (size_t i = 0; i < days.size(); ++i) {
      int x = s.X(DateOf(days[i]));
      QPointF ps(x, s.Y(stake[i][b])), pr(x, s.Y(paid[i][b]));
      if (i == 0) {
        staked.moveTo(ps);
        returned.moveTo(pr);
      } else {
        staked.lineTo(ps);
        returned.lineTo(pr);
      }
    }
    p.setPen(QPen(kBetColours[b], 1.3, Qt::DashLine));
    p.drawPath(staked);
    p.setPen(QPen(kBetColours[b], 2));
    p.drawPath(returned);
  }
  PaintLargest(p, s, days, paid);
}

}  // namespace sorvix
