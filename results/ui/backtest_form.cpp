#include "results/ui/backtest_form.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "results/backtest_report.h"
#include "store/meeting_list.h"

namespace sorvix {
namespace {

QString U(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

QString Pct(int64_t part, int64_t whole) {
  return QString::number(Percent(part, whole), 'f', 1) + QStringLiteral("%");
}

QString Yen(int64_t v) {
  return QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(v));
}

// The colours of the bet types in the charts (3連複, 馬連, ワイド, 馬単).
const QColor kBetColours[kBetTypes] = {QColor(200, 40, 40), QColor(40, 90, 200),
                                       QColor(220, 140, 0), QColor(40, 150, 70)};

QTableWidget* MakeTable(const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setAlternatingRowColors(true);
  table->verticalHeader()->setDefaultSectionSize(20);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& cells) {
  if (table->rowCount() <= row) table->setRowCount(row + 1);
  for (int c = 0; c < cells.size(); ++c) {
    auto* item = new QTableWidgetItem(cells[c]);
    item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                  : Qt::AlignRight | Qt::AlignVCenter);
    // Return rates of 100 % and more stand out.
    if (cells[c].endsWith(QStringLiteral("%")) && table->horizontalHeaderItem(c) &&
        table->horizontalHeaderItem(c)->text().contains(QStringLiteral("回収")) &&
        cells[c].chopped(1).toDouble() >= 100.0) {
      item->setForeground(QColor(200, 0, 0));
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    table->setItem(row, c, item);
  }
}

QStringList GroupCells(const QString& label, const BacktestGroup& g) {
  return {label,
          QString::number(g.runners),
          QString::number(g.wins),
          QString::number(g.top2),
          QString::number(g.top3),
          Pct(g.wins, g.runners),
          Pct(g.top2, g.runners),
          Pct(g.top3, g.runners),
          Pct(g.winReturn, g.runners * 100),
          Pct(g.placeReturn, g.runners * 100)};
}

const QStringList kGroupHeaders = {QStringLiteral("区分"),       QStringLiteral("頭数"),
                                   QStringLiteral("1着"),        QStringLiteral("2着内"),
                                   QStringLiteral("3着内"),      QStringLiteral("勝率"),
                                   QStringLiteral("連対率"),     QStringLiteral("複勝率"),
                                   QStringLiteral("単勝回収率"), QStringLiteral("複勝回収率")};

// A round step for an axis from 0 to `top` with about `ticks` lines.
double NiceStep(double top, int ticks) {
  double raw = top / std::max(1, ticks);
  double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

void PaintFrame(QPainter& p, const QRect& area, const QString& title) {
  p.fillRect(area, Qt::white);
  QFont font = p.font();
  font.setPointSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRect(area.left(), area.top() + 4, area.width(), 24), Qt::AlignCenter, title);
  font.setBold(false);
  font.setPointSize(8);
  p.setFont(font);
}

void PaintLegend(QPainter& p, int x, int y, const QColor& colour, const QString& text,
                 bool dashed = false, bool bar = false) {
  if (bar) {
    p.fillRect(QRect(x, y - 5, 14, 10), colour);
  } else {
    p.setPen(QPen(colour, 2, dashed ? Qt::DashLine : Qt::SolidLine));
    p.drawLine(x, y, x + 18, y);
  }
  p.setPen(Qt::black);
  p.drawText(QPoint(x + 22, y + 4), text);
}

}  // namespace

// ---- charts ------------------------------------------------------------------

ReturnRateChart::ReturnRateChart(QWidget* parent) : QWidget(parent) {
  setMinimumSize(600, 300);
}

void ReturnRateChart::SetTally(const BacktestTally* tally) {
  tally_ = tally;
  update();
}

void ReturnRateChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

void ReturnRateChart::Paint(QPainter& p, const QRect& area) const {
  p.setRenderHint(QPainter::Antialiasing);
  PaintFrame(p, area, QStringLiteral("サイン別回収率（単勝・複勝 各100円）"));
  if (!tally_) return;
  struct Bar {
    QString label;
    const BacktestGroup* group;
  };
  std::vector<Bar> bars;
  for (int s = 0; s < kSignCount; ++s) bars.push_back({U(SignLabel(s)), &tally_->signs[s]});
  for (int f = 0; f < kBacktestFamilies; ++f)
    bars.push_back({U(FamilyLabel(f)) + QStringLiteral("系"), &tally_->families[f]});

  double top = 150;
  for (const Bar& b : bars) {
    top = std::max(top, Percent(b.group->winReturn, b.group->runners * 100));
    top = std::max(top, Percent(b.group->placeReturn, b.group->runners * 100));
  }
  double step = NiceStep(top, 6);
  top = std::ceil(top / step) * step;

  QRect plot(area.left() + 56, area.top() + 52, area.width() - 72, area.height() - 100);
  PaintLegend(p, plot.left() + 4, area.top() + 38, QColor(60, 110, 200),
              QStringLiteral("単勝回収率"), false, true);
  PaintLegend(p, plot.left() + 110, area.top() + 38, QColor(240, 160, 60),
              QStringLiteral("複勝回収率"), false, true);
  PaintLegend(p, plot.left() + 216, area.top() + 38, QColor(210, 0, 0),
              QStringLiteral("100%（元返し）"), true);
  auto y = [&](double v) { return plot.bottom() - static_cast<int>(v / top * plot.height()); };
  p.setPen(QColor(220, 220, 220));
  for (double v = 0; v <= top + 1e-9; v += step) {
    p.setPen(QColor(225, 225, 225));
    p.drawLine(plot.left(), y(v), plot.right(), y(v));
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), y(v) - 8, 52, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v, 'f', 0) + QStringLiteral("%"));
  }
  double slot = static_cast<double>(plot.width()) / static_cast<double>(bars.size());
  int barWidth = std::max(2, static_cast<int>(slot * 0.36));
  for (size_t i = 0; i < bars.size(); ++i) {
    const BacktestGroup& g = *bars[i].group;
    int x = plot.left() + static_cast<int>(slot * static_cast<double>(i) + slot * 0.12);
    double win = Percent(g.winReturn, g.runners * 100);
    double place = Percent(g.placeReturn, g.runners * 100);
    p.fillRect(QRect(QPoint(x, y(win)), QPoint(x + barWidth - 1, plot.bottom())),
               QColor(60, 110, 200));
    p.fillRect(QRect(QPoint(x + barWidth, y(place)), QPoint(x + 2 * barWidth - 1, plot.bottom())),
               QColor(240, 160, 60));
    p.setPen(g.runners ? Qt::black : Qt::gray);
    QRect label(static_cast<int>(plot.left() + slot * static_cast<double>(i)), plot.bottom() + 4,
                static_cast<int>(slot), 16);
    p.drawText(label, Qt::AlignHCenter | Qt::AlignTop, bars[i].label);
    p.setPen(Qt::darkGray);
    p.drawText(label.translated(0, 16), Qt::AlignHCenter | Qt::AlignTop,
               QString::number(g.runners));
  }
  p.setPen(QPen(QColor(210, 0, 0), 2, Qt::DashLine));
  p.drawLine(plot.left(), y(100), plot.right(), y(100));
  p.setPen(Qt::black);
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
  p.setPen(Qt::darkGray);
  p.drawText(QRect(area.left(), plot.bottom() + 20, 54, 16), Qt::AlignRight,
             QStringLiteral("頭数"));
}

StakeReturnChart::StakeReturnChart(QWidget* parent) : QWidget(parent) {
  setMinimumSize(600, 300);
}

void StakeReturnChart::SetTimeline(const std::vector<BacktestDayTickets>* timeline) {
  timeline_ = timeline;
  update();
}

void StakeReturnChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

void StakeReturnChart::Paint(QPainter& p, const QRect& area) const {
  p.setRenderHint(QPainter::Antialiasing);
  PaintFrame(p, area, QStringLiteral("買い目の購入額と累計払戻（1点100円）"));
  if (!timeline_ || timeline_->empty()) return;
  const auto& days = *timeline_;
  std::vector<std::array<int64_t, kBetTypes>> stake(days.size()), paid(days.size());
  std::array<int64_t, kBetTypes> s{}, r{};
  int64_t top = 1;
  for (size_t i = 0; i < days.size(); ++i) {
    for (int b = 0; b < kBetTypes; ++b) {
      s[b] += days[i].stake[b];
      r[b] += days[i].returned[b];
      top = std::max({top, s[b], r[b]});
    }
    stake[i] = s;
    paid[i] = r;
  }
  // Amounts in 万円 on the axis.
  double topMan = static_cast<double>(top) / 10000.0;
  double step = NiceStep(topMan, 6);
  topMan = std::ceil(topMan / step) * step;

  QRect plot(area.left() + 70, area.top() + 56, area.width() - 90, area.height() - 96);
  for (int b = 0; b < kBetTypes; ++b)
    PaintLegend(p, plot.left() + 4 + b * 92, area.top() + 38, kBetColours[b], U(BetTypeLabel(b)));
  PaintLegend(p, plot.left() + 4 + 4 * 92, area.top() + 38, Qt::gray,
              QStringLiteral("実線: 累計払戻"));
  PaintLegend(p, plot.left() + 4 + 4 * 92 + 120, area.top() + 38, Qt::gray,
              QStringLiteral("破線: 累計購入額"), true);
  auto y = [&](int64_t yen) {
    return plot.bottom() -
           static_cast<int>(static_cast<double>(yen) / 10000.0 / topMan * plot.height());
  };
  auto x = [&](size_t i) {
    return days.size() == 1 ? plot.center().x()
                            : plot.left() + static_cast<int>(static_cast<double>(i) * plot.width() /
                                                             static_cast<double>(days.size() - 1));
  };
  for (double v = 0; v <= topMan + 1e-9; v += step) {
    int yy = plot.bottom() - static_cast<int>(v / topMan * plot.height());
    p.setPen(QColor(225, 225, 225));
    p.drawLine(plot.left(), yy, plot.right(), yy);
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), yy - 8, 66, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v, 'f', step < 1 ? 1 : 0) + QStringLiteral("万円"));
  }
  // Date labels: the first, the last and a few between.
  size_t labels = std::min<size_t>(days.size(), 6);
  for (size_t k = 0; k < labels; ++k) {
    size_t i = labels == 1 ? 0 : k * (days.size() - 1) / (labels - 1);
    QString text = U(IsoDateOfLabel(days[i].label));
    p.setPen(Qt::black);
    int left = std::clamp(x(i) - 45, area.left(), area.right() - 90);
    p.drawText(QRect(left, plot.bottom() + 4, 90, 16), Qt::AlignHCenter, text);
  }
  for (int b = 0; b < kBetTypes; ++b) {
    QPainterPath staked, returned;
    for (size_t i = 0; i < days.size(); ++i) {
      QPointF ps(x(i), y(stake[i][b])), pr(x(i), y(paid[i][b]));
      if (i == 0) {
        staked.moveTo(ps);
        returned.moveTo(pr);
      } else {
        staked.lineTo(ps);
        returned.lineTo(pr);
      }
    }
    p.setPen(QPen(kBetColours[b], 1.5, Qt::DashLine));
    p.drawPath(staked);
    p.setPen(QPen(kBetColours[b], 2.2));
    p.drawPath(returned);
  }
  p.setPen(Qt::black);
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
}

// ---- window ------------------------------------------------------------------

TBacktestForm::TBacktestForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("BacktestForm"));
  setWindowTitle(QStringLiteral("サイン検証"));
  resize(1100, 760);

  auto* layout = new QVBoxLayout(this);
  auto* inputs = new QGridLayout();
  FromCombo = new QComboBox(this);
  ToCombo = new QComboBox(this);
  SourceCombo = new QComboBox(this);
  SourceCombo->addItems({QStringLiteral("競走馬データ"), QStringLiteral("予想オッズデータ")});
  RunButton = new QPushButton(QStringLiteral("実行"), this);
  CancelButton = new QPushButton(QStringLiteral("中止"), this);
  CancelButton->setEnabled(false);
  inputs->addWidget(new QLabel(QStringLiteral("期間"), this), 0, 0);
  inputs->addWidget(FromCombo, 0, 1);
  inputs->addWidget(new QLabel(QStringLiteral("〜"), this), 0, 2);
  inputs->addWidget(ToCombo, 0, 3);
  inputs->addWidget(new QLabel(QStringLiteral("推定能力"), this), 0, 4);
  inputs->addWidget(SourceCombo, 0, 5);
  inputs->addWidget(RunButton, 0, 6);
  inputs->addWidget(CancelButton, 0, 7);
  inputs->setColumnStretch(8, 1);
  layout->addLayout(inputs);

  PointsLabel = new QLabel(this);
  PointsLabel->setWordWrap(true);
  PointsLabel->setObjectName(QStringLiteral("PointsLabel"));
  layout->addWidget(PointsLabel);
  NoteLabel = new QLabel(this);
  NoteLabel->setWordWrap(true);
  NoteLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
  layout->addWidget(NoteLabel);

  auto* progressRow = new QHBoxLayout();
  Progress = new QProgressBar(this);
  Progress->setFormat(QStringLiteral("%v / %m 日"));
  StatusLabel = new QLabel(this);
  progressRow->addWidget(Progress, 1);
  progressRow->addWidget(StatusLabel, 2);
  layout->addLayout(progressRow);

  auto* outputs = new QHBoxLayout();
  ScopeCombo = new QComboBox(this);
  ScopeCombo->setMinimumContentsLength(10);
  CsvButton = new QPushButton(QStringLiteral("CSV保存"), this);
  PngButton = new QPushButton(QStringLiteral("グラフをPNG保存"), this);
  outputs->addWidget(new QLabel(QStringLiteral("集計"), this));
  outputs->addWidget(ScopeCombo);
  outputs->addStretch(1);
  outputs->addWidget(CsvButton);
  outputs->addWidget(PngButton);
  layout->addLayout(outputs);

  Tabs = new QTabWidget(this);
  SignTable = MakeTable(kGroupHeaders);
  RankTable = MakeTable(kGroupHeaders);
  TicketTable =
      MakeTable({QStringLiteral("券種"), QStringLiteral("点数"), QStringLiteral("的中"),
                 QStringLiteral("的中率"), QStringLiteral("購入額"), QStringLiteral("払戻額"),
                 QStringLiteral("回収率"), QStringLiteral("最高払戻"), QStringLiteral("返還")});
  RateChart = new ReturnRateChart(this);
  MoneyChart = new StakeReturnChart(this);
  Tabs->addTab(SignTable, QStringLiteral("サイン別"));
  Tabs->addTab(RankTable, QStringLiteral("順位・印別"));
  Tabs->addTab(TicketTable, QStringLiteral("買い目"));
  Tabs->addTab(RateChart, QStringLiteral("回収率グラフ"));
  Tabs->addTab(MoneyChart, QStringLiteral("収支グラフ"));
  layout->addWidget(Tabs, 1);

  connect(RunButton, &QPushButton::clicked, this, &TBacktestForm::Run);
  connect(CancelButton, &QPushButton::clicked, this, &TBacktestForm::Cancel);
  connect(SourceCombo, &QComboBox::currentIndexChanged, this, [this] { ShowNote(); });
  connect(ScopeCombo, &QComboBox::currentIndexChanged, this, [this] { ShowScope(); });
  connect(CsvButton, &QPushButton::clicked, this, [this] {
    QString path = SavePath(QStringLiteral("CSV保存"), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) SaveCsv(path);
  });
  connect(PngButton, &QPushButton::clicked, this, [this] {
    int chart = Tabs->currentWidget() == MoneyChart ? 1 : 0;
    QString path = SavePath(QStringLiteral("グラフをPNG保存"), QStringLiteral("PNG (*.png)"));
    if (!path.isEmpty()) SaveChartPng(chart, path);
  });

  SettingsFile settings;
  points_ = SignPoints::Load(settings);
  SourceCombo->setCurrentIndex(ReadEstimateSource(settings) == EstimateSource::PredictedOdds);
  ListDates();
  ShowPoints();
  ShowNote();
  SetBusy(false);
}

TBacktestForm::~TBacktestForm() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

TBacktestForm* TBacktestForm::Open(QWidget* parent) {
  auto* form = parent ? parent->findChild<TBacktestForm*>() : nullptr;
  if (!form) form = new TBacktestForm(parent);
  if (!form->Running()) form->ListDates();
  form->show();
  form->raise();
  form->activateWindow();
  return form;
}

void TBacktestForm::ListDates() {
  QString from = FromCombo->currentText(), to = ToCombo->currentText();
  std::vector<std::string> dates = ListMeetingDates();
  std::sort(dates.begin(), dates.end());
  FromCombo->clear();
  ToCombo->clear();
  for (const std::string& label : dates) {
    QString text = U(IsoDateOfLabel(label));
    FromCombo->addItem(text, Q(label));
    ToCombo->addItem(text, Q(label));
  }
  int f = FromCombo->findText(from), t = ToCombo->findText(to);
  FromCombo->setCurrentIndex(f >= 0 ? f : 0);
  ToCombo->setCurrentIndex(t >= 0 ? t : ToCombo->count() - 1);
}

void TBacktestForm::ShowPoints() {
  QString text = QStringLiteral("配点（ユーザー設定）:");
  for (int s = 0; s < kSignCount; ++s)
    text += QStringLiteral(" ") + U(SignLabel(s)) + QStringLiteral("=") +
            QString::number(points_.value[static_cast<size_t>(s)]);
  PointsLabel->setText(text);
}

void TBacktestForm::ShowNote() {
  bool racehorse = SourceCombo->currentIndex() == 0;
  NoteLabel->setText(racehorse ? U(kRacehorseSourceNote) : QString());
  NoteLabel->setVisible(racehorse);
}

void TBacktestForm::SetBusy(bool busy) {
  RunButton->setEnabled(!busy);
  CancelButton->setEnabled(busy);
  FromCombo->setEnabled(!busy);
  ToCombo->setEnabled(!busy);
  SourceCombo->setEnabled(!busy);
  CsvButton->setEnabled(!busy && result_);
  PngButton->setEnabled(!busy && result_);
}

void TBacktestForm::Run() {
  if (Running()) return;
  std::string from = FromQ(FromCombo->currentData().toString());
  std::string to = FromQ(ToCombo->currentData().toString());
  if (FromCombo->count() == 0) {
    ShowWarning(this, "検証する開催日のデータがありません。"_sj);
    return;
  }
  if (from > to) {
    ShowWarning(this, "期間の開始日が終了日より後になっています。"_sj);
    return;
  }
  SettingsFile settings;
  points_ = SignPoints::Load(settings);
  ShowPoints();
  BacktestOptions options;
  options.dates = StoredDatesBetween(from, to);
  options.from = from;
  options.to = to;
  options.points = points_;
  options.source = SourceCombo->currentIndex() == 1 ? EstimateSource::PredictedOdds
                                                    : EstimateSource::RacehorseData;
  options.cancel = &cancel_;
  options.progress = [this](int done, int total, std::string_view label) {
    QString text = U(IsoDateOfLabel(label));
    QMetaObject::invokeMethod(
        this,
        [this, done, total, text] {
          Progress->setMaximum(total);
          Progress->setValue(done);
          StatusLabel->setText(QStringLiteral("検証中: ") + text);
        },
        Qt::QueuedConnection);
  };
  cancel_ = false;
  Progress->setMaximum(static_cast<int>(options.dates.size()));
  Progress->setValue(0);
  StatusLabel->setText(QStringLiteral("検証中…"));
  SetBusy(true);
  worker_ = std::thread([this, options = std::move(options)] {
    auto result = std::make_shared<BacktestResult>(RunBacktest(options));
    QMetaObject::invokeMethod(
        this, [this, result] { Done(result); }, Qt::QueuedConnection);
  });
}

void TBacktestForm::Cancel() {
  if (!Running()) return;
  cancel_ = true;
  StatusLabel->setText(QStringLiteral("中止しています…"));
}

void TBacktestForm::Done(std::shared_ptr<BacktestResult> result) {
  if (worker_.joinable()) worker_.join();
  result_ = std::move(result);
  QString status = QStringLiteral("%1 開催日・%2 レース（結果なし %3）")
                       .arg(result_->dates)
                       .arg(result_->races)
                       .arg(result_->skipped);
  if (result_->cancelled) status = QStringLiteral("中止しました: ") + status;
  if (!result_->failed.empty())
    status += QStringLiteral("　読み込めなかった日 %1: %2")
                  .arg(result_->failed.size())
                  .arg(U(IsoDateOfLabel(result_->failed.front().first)) + QStringLiteral(" ") +
                       U(result_->failed.front().second));
  StatusLabel->setText(status);
  ScopeCombo->blockSignals(true);
  ScopeCombo->clear();
  ScopeCombo->addItem(QStringLiteral("全体"));
  for (const auto& [month, tally] : result_->byMonth)
    ScopeCombo->addItem(U(month), QStringLiteral("m"));
  for (const auto& [venue, tally] : result_->byVenue)
    ScopeCombo->addItem(U(venue), QStringLiteral("v"));
  ScopeCombo->setCurrentIndex(0);
  ScopeCombo->blockSignals(false);
  ShowScope();
  MoneyChart->SetTimeline(&result_->timeline);
  SetBusy(false);
  emit Finished();
}

void TBacktestForm::ShowScope() {
  if (!result_) return;
  const BacktestTally* tally = &result_->total;
  QString kind = ScopeCombo->currentData().toString();
  std::string key = ScopeCombo->currentText().toStdString();
  if (kind == QStringLiteral("m") && result_->byMonth.count(key)) tally = &result_->byMonth.at(key);
  if (kind == QStringLiteral("v") && result_->byVenue.count(key)) tally = &result_->byVenue.at(key);
  FillTables(*tally);
  RateChart->SetTally(tally);
}

void TBacktestForm::FillTables(const BacktestTally& t) {
  SignTable->setRowCount(0);
  int row = 0;
  for (int s = 0; s < kSignCount; ++s)
    SetRow(SignTable, row++, GroupCells(U(SignLabel(s)), t.signs[s]));
  for (int f = 0; f < kBacktestFamilies; ++f)
    SetRow(SignTable, row++, GroupCells(U(FamilyLabel(f)) + QStringLiteral("系"), t.families[f]));

  RankTable->setRowCount(0);
  row = 0;
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      SetRow(RankTable, row++,
             GroupCells(U(RankLabel(r)) + QStringLiteral(" ") + kRankBandKeys[b], t.ranks[r][b]));
  SetRow(RankTable, row++, GroupCells(QStringLiteral("軸（◎●▲）"), t.axis));
  SetRow(RankTable, row++, GroupCells(QStringLiteral("相手（○）"), t.partner));

  TicketTable->setRowCount(0);
  for (int b = 0; b < kBetTypes; ++b) {
    const TicketLine& l = t.tickets[b];
    SetRow(TicketTable, b,
           {U(BetTypeLabel(b)), QString::number(l.tickets), QString::number(l.hits),
            Pct(l.hits, l.tickets), Yen(l.stake), Yen(l.returned), Pct(l.returned, l.stake),
            Yen(l.maxReturn), QString::number(l.refunded)});
  }
}

QString TBacktestForm::SavePath(const QString& caption, const QString& filter) {
  if (AskSavePath) return AskSavePath(caption, filter);
  return QFileDialog::getSaveFileName(this, caption, QString(), filter);
}

bool TBacktestForm::SaveCsv(const QString& path) {
  if (!result_) return false;
  std::string csv = BacktestCsv(*result_, BacktestBy::MonthAndVenue);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
    ShowWarning(this, Cp932("CSVファイルを保存できませんでした: " + path.toStdString() + "（" +
                            file.errorString().toStdString() + "）"));
    return false;
  }
  return true;
}

bool TBacktestForm::SaveChartPng(int chart, const QString& path) {
  if (!result_) return false;
  QImage image(1400, 700, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    if (chart == 1)
      MoneyChart->Paint(p, image.rect());
    else
      RateChart->Paint(p, image.rect());
  }
  if (!image.save(path, "PNG")) {
    ShowWarning(this, Cp932("PNGファイルを保存できませんでした: " + path.toStdString()));
    return false;
  }
  return true;
}

}  // namespace sorvix
