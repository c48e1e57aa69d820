// The two charts of サイン検証, painted by hand (QPainter) so that the window,
// the PNG save and the screenshots draw the same picture at any size:
//  - the return rate of each sign and family as horizontal bars with their
//    95 % intervals, against the base rate of every runner (全馬) and the
//    100 % line; a bar beyond the axis is cut and its value written, rows
//    with few hits are grey;
//  - per bet type, the cumulative stake and return over a time axis (gaps
//    between meetings show as gaps), with the largest single payouts marked.
#pragma once

#include <QWidget>
#include <vector>

#include "results/backtest_figures.h"

namespace sorvix {

class ReturnRateChart : public QWidget {
 public:
  explicit ReturnRateChart(QWidget* parent = nullptr);
  void SetFigures(const BacktestFigures* figures, const QString& slice);
  void Paint(QPainter& p, const QRect& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const BacktestFigures* figures_ = nullptr;
  QString slice_;
};

class StakeReturnChart : public QWidget {
 public:
  explicit StakeReturnChart(QWidget* parent = nullptr);
  void SetTimeline(std::vector<BacktestDayTickets> timeline, const QString& slice);
  void Paint(QPainter& p, const QRect& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<BacktestDayTickets> timeline_;
  QString slice_;
};

}  // namespace sorvix
