#include "results/ui/backtest_form.h"

#include <QBuffer>
#include <QComboBox>
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
#include <filesystem>

#include "app/file_io.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "app/ui/save_dialog.h"
#include "app/ui/window_keys.h"
#include "app/ui/window_places.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "results/backtest_report.h"
#include "results/ui/tune_panel.h"
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
  AddInputRow(layout);
  AddNoteLabels(layout);
  AddProgressRow(layout);
  AddOutputRow(layout);
  AddResultTabs(layout);
  ConnectControls();

  SettingsFile settings;
  points_ = SignPoints::Load(settings);
  source_combo_->setCurrentIndex(ReadEstimateSource(settings) == EstimateSource::PredictedOdds);
  ListDates();
  ShowPoints();
  ShowNote();
  SetBusy(false);
}

void TBacktestForm::AddInputRow(QVBoxLayout* layout) {
  auto* inputs = new QGridLayout();
  from_combo_ = new QComboBox(this);
  from_combo_->setObjectName(QStringLiteral("FromCombo"));
  to_combo_ = new QComboBox(this);
  to_combo_->setObjectName(QStringLiteral("ToCombo"));
  source_combo_ = new QComboBox(this);
  source_combo_->setObjectName(QStringLiteral("SourceCombo"));
  source_combo_->addItems({QStringLiteral("競走馬データ"), QStringLiteral("予想オッズデータ")});
  run_button_ = new QPushButton(QStringLiteral("実行"), this);
  run_button_->setObjectName(QStringLiteral("RunButton"));
  cancel_button_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_button_->setObjectName(QStringLiteral("CancelButton"));
  cancel_button_->setEnabled(false);
  inputs->addWidget(new QLabel(QStringLiteral("期間"), this), 0, 0);
  inputs->addWidget(from_combo_, 0, 1);
  inputs->addWidget(new QLabel(QStringLiteral("〜"), this), 0, 2);
  inputs->addWidget(to_combo_, 0, 3);
  inputs->addWidget(new QLabel(QStringLiteral("推定能力"), this), 0, 4);
  inputs->addWidget(source_combo_, 0, 5);
  inputs->addWidget(run_button_, 0, 6);
  inputs->addWidget(cancel_button_, 0, 7);
  inputs->setColumnStretch(8, 1);
  layout->addLayout(inputs);
}

void TBacktestForm::AddNoteLabels(QVBoxLayout* layout) {
  points_label_ = new QLabel(this);
  points_label_->setObjectName(QStringLiteral("PointsLabel"));
  points_label_->setWordWrap(true);
  layout->addWidget(points_label_);
  note_label_ = new QLabel(this);
  note_label_->setObjectName(QStringLiteral("NoteLabel"));
  note_label_->setWordWrap(true);
  note_label_->setStyleSheet(QStringLiteral("color: #b00000;"));
  layout->addWidget(note_label_);
}

void TBacktestForm::AddProgressRow(QVBoxLayout* layout) {
  auto* progressRow = new QHBoxLayout();
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("Progress"));
  progress_bar_->setFormat(QStringLiteral("%v / %m 日"));
  status_label_ = new QLabel(this);
  status_label_->setObjectName(QStringLiteral("StatusLabel"));
  progressRow->addWidget(progress_bar_, 1);
  progressRow->addWidget(status_label_, 2);
  layout->addLayout(progressRow);
}

void TBacktestForm::AddOutputRow(QVBoxLayout* layout) {
  auto* outputs = new QHBoxLayout();
  scope_combo_ = new QComboBox(this);
  scope_combo_->setObjectName(QStringLiteral("ScopeCombo"));
  scope_combo_->setMinimumContentsLength(10);
  csv_button_ = new QPushButton(QStringLiteral("CSV保存"), this);
  csv_button_->setObjectName(QStringLiteral("CsvButton"));
  png_button_ = new QPushButton(QStringLiteral("グラフをPNG保存"), this);
  png_button_->setObjectName(QStringLiteral("PngButton"));
  outputs->addWidget(new QLabel(QStringLiteral("集計"), this));
  outputs->addWidget(scope_combo_);
  outputs->addStretch(1);
  outputs->addWidget(csv_button_);
  outputs->addWidget(png_button_);
  layout->addLayout(outputs);
}

void TBacktestForm::AddResultTabs(QVBoxLayout* layout) {
  result_tabs_ = new QTabWidget(this);
  SwitchTabsByKeys(result_tabs_);
  CloseOnEscape(this);
  result_tabs_->setObjectName(QStringLiteral("Tabs"));
  sign_table_ = MakeTable(kGroupHeaders);
  sign_table_->setObjectName(QStringLiteral("SignTable"));
  rank_table_ = MakeTable(kGroupHeaders);
  rank_table_->setObjectName(QStringLiteral("RankTable"));
  ticket_table_ =
      MakeTable({QStringLiteral("券種"), QStringLiteral("点数"), QStringLiteral("的中"),
                 QStringLiteral("的中率"), QStringLiteral("購入額"), QStringLiteral("払戻額"),
                 QStringLiteral("回収率"), QStringLiteral("最高払戻"), QStringLiteral("返還")});
  ticket_table_->setObjectName(QStringLiteral("TicketTable"));
  rate_chart_ = new ReturnRateChart(this);
  rate_chart_->setObjectName(QStringLiteral("RateChart"));
  money_chart_ = new StakeReturnChart(this);
  money_chart_->setObjectName(QStringLiteral("MoneyChart"));
  result_tabs_->addTab(sign_table_, QStringLiteral("サイン別"));
  result_tabs_->addTab(rank_table_, QStringLiteral("順位・印別"));
  result_tabs_->addTab(ticket_table_, QStringLiteral("買い目"));
  result_tabs_->addTab(rate_chart_, QStringLiteral("回収率グラフ"));
  result_tabs_->addTab(money_chart_, QStringLiteral("収支グラフ"));
  result_tabs_->addTab(new TTunePanel(this), QStringLiteral("配点最適化"));
  layout->addWidget(result_tabs_, 1);
}

void TBacktestForm::ConnectControls() {
  connect(run_button_, &QPushButton::clicked, this, &TBacktestForm::Run);
  connect(cancel_button_, &QPushButton::clicked, this, &TBacktestForm::Cancel);
  connect(source_combo_, &QComboBox::currentIndexChanged, this, [this] { ShowNote(); });
  connect(scope_combo_, &QComboBox::currentIndexChanged, this, [this] { ShowScope(); });
  connect(csv_button_, &QPushButton::clicked, this, [this] {
    QString path = SavePath(QStringLiteral("CSV保存"), CsvFiles(), SuggestedName(-1));
    if (!path.isEmpty()) SaveCsv(path);
  });
  connect(png_button_, &QPushButton::clicked, this, [this] {
    int chart = result_tabs_->currentWidget() == money_chart_ ? 1 : 0;
    QString path = SavePath(QStringLiteral("グラフをPNG保存"), PngFiles(), SuggestedName(chart));
    if (!path.isEmpty()) SaveChartPng(chart, path);
  });
}

TBacktestForm::~TBacktestForm() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

TBacktestForm* TBacktestForm::Open(QWidget* parent) {
  auto* form = parent ? parent->findChild<TBacktestForm*>() : nullptr;
  if (!form) form = new TBacktestForm(parent);
  if (!form->Running()) form->ListDates();
  ShowAboveOthers(form);
  return form;
}

void TBacktestForm::ListDates() {
  QString from = from_combo_->currentText(), to = to_combo_->currentText();
  std::vector<Cp932Text> dates = ListMeetingDates();
  std::sort(dates.begin(), dates.end());
  from_combo_->clear();
  to_combo_->clear();
  for (const Cp932Text& label : dates) {
    QString text = U(IsoDateOfLabel(label));
    from_combo_->addItem(text, Q(label));
    to_combo_->addItem(text, Q(label));
  }
  int f = from_combo_->findText(from), t = to_combo_->findText(to);
  from_combo_->setCurrentIndex(f >= 0 ? f : 0);
  to_combo_->setCurrentIndex(t >= 0 ? t : to_combo_->count() - 1);
}

void TBacktestForm::ShowPoints() {
  QString text = QStringLiteral("配点（ユーザー設定）:");
  for (int s = 0; s < kSignCount; ++s)
    text += QStringLiteral(" ") + U(SignLabel(s)) + QStringLiteral("=") +
            QString::number(points_.value[static_cast<size_t>(s)]);
  points_label_->setText(text);
}

void TBacktestForm::ShowNote() {
  bool racehorse = source_combo_->currentIndex() == 0;
  note_label_->setText(racehorse ? U(kRacehorseSourceNote) : QString());
  note_label_->setVisible(racehorse);
}

void TBacktestForm::SetBusy(bool busy) {
  run_button_->setEnabled(!busy);
  cancel_button_->setEnabled(busy);
  from_combo_->setEnabled(!busy);
  to_combo_->setEnabled(!busy);
  source_combo_->setEnabled(!busy);
  csv_button_->setEnabled(!busy && result_);
  png_button_->setEnabled(!busy && result_);
}

void TBacktestForm::Run() {
  if (Running()) return;
  Cp932Text from = FromQ(from_combo_->currentData().toString());
  Cp932Text to = FromQ(to_combo_->currentData().toString());
  if (from_combo_->count() == 0) {
    ShowWarning(this, Cp932("検証する開催日のデータがありません。"));
    return;
  }
  if (from > to) {
    ShowWarning(this, Cp932("期間の開始日が終了日より後になっています。"));
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
  options.source = source_combo_->currentIndex() == 1 ? EstimateSource::PredictedOdds
                                                      : EstimateSource::RacehorseData;
  options.cancel = &cancel_;
  options.progress = [this](int done, int total, Cp932View label) {
    QString text = U(IsoDateOfLabel(label));
    QMetaObject::invokeMethod(
        this,
        [this, done, total, text] {
          progress_bar_->setMaximum(total);
          progress_bar_->setValue(done);
          status_label_->setText(QStringLiteral("検証中: ") + text);
        },
        Qt::QueuedConnection);
  };
  cancel_ = false;
  progress_bar_->setMaximum(static_cast<int>(options.dates.size()));
  progress_bar_->setValue(0);
  status_label_->setText(QStringLiteral("検証中…"));
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
  status_label_->setText(QStringLiteral("中止しています…"));
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
  status_label_->setText(status);
  scope_combo_->blockSignals(true);
  scope_combo_->clear();
  scope_combo_->addItem(QStringLiteral("全体"));
  // Months as 2024年06月; venues in the JRA's order (their codes 01–10).
  for (const auto& [month, tally] : result_->byMonth)
    scope_combo_->addItem(U(month.substr(0, 4) + "年" + month.substr(5, 2) + "月"),
                          QStringLiteral("m") + U(month));
  for (int code = 1; code <= 10; ++code) {
    std::string venue = Utf8(VenueName(Format("%02d", code)));
    while (!venue.empty() && venue.back() == ' ') venue.pop_back();
    if (result_->byVenue.count(venue))
      scope_combo_->addItem(U(venue), QStringLiteral("v") + U(venue));
  }
  scope_combo_->setCurrentIndex(0);
  scope_combo_->blockSignals(false);
  ShowScope();
  money_chart_->SetTimeline(&result_->timeline);
  SetBusy(false);
  emit Finished();
}

void TBacktestForm::ShowScope() {
  if (!result_) return;
  const BacktestTally* tally = &result_->total;
  // The item's data: "m" or "v" and the key of the breakdown.
  QString data = scope_combo_->currentData().toString();
  QChar kind = data.isEmpty() ? QChar() : data.front();
  std::string key = data.mid(1).toStdString();
  if (kind == 'm' && result_->byMonth.count(key)) tally = &result_->byMonth.at(key);
  if (kind == 'v' && result_->byVenue.count(key)) tally = &result_->byVenue.at(key);
  FillTables(*tally);
  rate_chart_->SetTally(tally);
}

void TBacktestForm::FillTables(const BacktestTally& t) {
  sign_table_->setRowCount(0);
  int row = 0;
  for (int s = 0; s < kSignCount; ++s)
    SetRow(sign_table_, row++, GroupCells(U(SignLabel(s)), t.signs[s]));
  for (int f = 0; f < kBacktestFamilies; ++f)
    SetRow(sign_table_, row++, GroupCells(U(FamilyLabel(f)) + QStringLiteral("系"), t.families[f]));

  rank_table_->setRowCount(0);
  row = 0;
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      SetRow(rank_table_, row++,
             GroupCells(U(RankLabel(r)) + QStringLiteral(" ") + kRankBandKeys[b], t.ranks[r][b]));
  SetRow(rank_table_, row++, GroupCells(QStringLiteral("軸（◎●▲）"), t.axis));
  SetRow(rank_table_, row++, GroupCells(QStringLiteral("相手（○）"), t.partner));

  ticket_table_->setRowCount(0);
  for (int b = 0; b < kBetTypes; ++b) {
    const TicketLine& l = t.tickets[b];
    SetRow(ticket_table_, b,
           {U(BetTypeLabel(b)), QString::number(l.tickets), QString::number(l.hits),
            Pct(l.hits, l.tickets), Yen(l.stake), Yen(l.returned), Pct(l.returned, l.stake),
            Yen(l.maxReturn), QString::number(l.refunded)});
  }
}

QString TBacktestForm::SavePath(const QString& caption, const SaveKind& kind, const QString& name) {
  if (AskSavePath) return WithExtension(AskSavePath(caption, kind.filter), kind);
  return sorvix::AskSavePath(this, caption, kind, name);
}

QString TBacktestForm::SuggestedName(int chart) const {
  QString range = from_combo_->currentText() + QStringLiteral("_") + to_combo_->currentText();
  if (chart < 0) return QStringLiteral("サイン検証_%1.csv").arg(range);
  return QStringLiteral("サイン検証_%1_%2.png")
      .arg(range, chart == 1 ? QStringLiteral("収支") : QStringLiteral("回収率"));
}

// The file is written whole or not at all: a temporary file beside it,
// renamed over it when complete.
bool TBacktestForm::SaveFile(const QString& path, const std::string& bytes, const SaveKind& kind,
                             const QString& what) {
  try {
    WriteFileAtomic(std::filesystem::path(path.toStdString()), bytes);
  } catch (const std::exception& e) {
    ShowError(this, e, what + QStringLiteral("を保存できませんでした: "), MessageKind::Warning);
    return false;
  }
  RememberSaveFolder(kind, path);
  status_label_->setText(what + QStringLiteral("を保存しました: ") + path);
  return true;
}

bool TBacktestForm::SaveCsv(const QString& path) {
  if (!result_) return false;
  return SaveFile(path, BacktestCsv(*result_, BacktestBy::MonthAndVenue), CsvFiles(),
                  QStringLiteral("CSVファイル"));
}

bool TBacktestForm::SaveChartPng(int chart, const QString& path) {
  if (!result_) return false;
  QImage image(1400, 700, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    if (chart == 1)
      money_chart_->Paint(p, image.rect());
    else
      rate_chart_->Paint(p, image.rect());
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    ShowWarning(this, Cp932("PNG画像を作れませんでした。"));
    return false;
  }
  return SaveFile(path, png.toStdString(), PngFiles(), QStringLiteral("PNGファイル"));
}

}  // namespace sorvix
