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
#include <functional>

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

QString Yen(int64_t v) {
  return QLocale(QLocale::Japanese).toString(static_cast<qlonglong>(v));
}

QString Pct(double fraction) {
  return QString::number(100 * fraction, 'f', 1) + QStringLiteral("%");
}

// A table cell: its text and, for a rate, whether it stands out from the
// base rate.
struct Cell {
  QString text;
  Standout standout = Standout::None;
};

Cell RateCell(const RateFigure& f) {
  return {Pct(f.value) + QStringLiteral(" (") + QString::number(100 * f.interval.low, 'f', 1) +
              QStringLiteral("–") + QString::number(100 * f.interval.high, 'f', 1) +
              QStringLiteral(")"),
          f.standout};
}

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

// A row; a value is coloured only when it stands out (red above the base
// rate, blue below), a row of few hits is grey, and the base row bold.
void SetRow(QTableWidget* table, int row, const std::vector<Cell>& cells, bool few,
            bool base = false) {
  if (table->rowCount() <= row) table->setRowCount(row + 1);
  for (size_t c = 0; c < cells.size(); ++c) {
    auto* item = new QTableWidgetItem(cells[c].text);
    item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                  : Qt::AlignRight | Qt::AlignVCenter);
    QFont font = item->font();
    if (few) item->setForeground(QColor(150, 150, 150));
    if (cells[c].standout != Standout::None) {
      item->setForeground(cells[c].standout == Standout::Above ? QColor(200, 0, 0)
                                                               : QColor(0, 70, 200));
      font.setBold(true);
    }
    if (base) font.setBold(true);
    item->setFont(font);
    table->setItem(row, static_cast<int>(c), item);
  }
}

void SetGroupRow(QTableWidget* table, int row, const QString& label, const GroupFigures& f,
                 bool base = false) {
  const BacktestGroup& g = f.counts;
  if (f.empty) {
    std::vector<Cell> cells = {{label}, {QStringLiteral("0")}};
    while (cells.size() < 12) cells.push_back({QStringLiteral("—")});
    SetRow(table, row, cells, true, base);
    return;
  }
  SetRow(table, row,
         {{label},
          {QString::number(g.runners)},
          {QString::number(g.wins)},
          {QString::number(g.top2)},
          {QString::number(g.top3)},
          RateCell(f.winRate),
          RateCell(f.top2Rate),
          RateCell(f.top3Rate),
          RateCell(f.winReturn),
          {Pct(f.winReturnLessMax)},
          RateCell(f.placeReturn),
          {Pct(f.placeReturnLessMax)}},
         f.few, base);
}

void SetTicketRow(QTableWidget* table, int row, const QString& label, const TicketFigures& f,
                  bool base) {
  const TicketLine& l = f.counts;
  if (f.empty) {
    std::vector<Cell> cells = {{label}, {QStringLiteral("0")}};
    while (cells.size() < 9) cells.push_back({QStringLiteral("—")});
    cells.push_back({QString::number(l.refunded)});
    SetRow(table, row, cells, true, base);
    return;
  }
  SetRow(table, row,
         {{label},
          {QString::number(l.tickets)},
          {QString::number(l.hits)},
          RateCell(f.hitRate),
          {Yen(l.stake)},
          {Yen(l.returned)},
          RateCell(f.returnRate),
          {Pct(f.returnLessMax)},
          {Yen(l.maxReturn)},
          {QString::number(l.refunded)}},
         f.few, base);
}

const QStringList kGroupHeaders = {QStringLiteral("区分"),
                                   QStringLiteral("頭数"),
                                   QStringLiteral("1着"),
                                   QStringLiteral("2着内"),
                                   QStringLiteral("3着内"),
                                   QStringLiteral("勝率 (95%区間)"),
                                   QStringLiteral("連対率 (95%区間)"),
                                   QStringLiteral("複勝率 (95%区間)"),
                                   QStringLiteral("単勝回収率 (95%区間)"),
                                   QStringLiteral("単回収 最高払戻除く"),
                                   QStringLiteral("複勝回収率 (95%区間)"),
                                   QStringLiteral("複回収 最高払戻除く")};

}  // namespace

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
  run_.ShowOn(progress_bar_, status_label_);
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
  ticket_table_ = MakeTable({QStringLiteral("券種"), QStringLiteral("点数"), QStringLiteral("的中"),
                             QStringLiteral("的中率 (95%区間)"), QStringLiteral("購入額"),
                             QStringLiteral("払戻額"), QStringLiteral("回収率 (95%区間)"),
                             QStringLiteral("回収率 最高払戻除く"), QStringLiteral("最高払戻"),
                             QStringLiteral("返還")});
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

TBacktestForm::~TBacktestForm() = default;

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
  // The estimate the next run uses, or the one the shown result used.
  BacktestResult next;
  next.source = source_combo_->currentIndex() == 1 ? EstimateSource::PredictedOdds
                                                   : EstimateSource::RacehorseData;
  note_label_->setText(U(EstimateNote(result_ && !Running() ? *result_ : next)));
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
  options.cancel = run_.CancelFlag();
  options.progress = [this](int done, int total, Cp932View label) {
    run_.Progress(done, total, QStringLiteral("検証中: ") + U(IsoDateOfLabel(label)));
  };
  progress_bar_->setMaximum(static_cast<int>(options.dates.size()));
  progress_bar_->setValue(0);
  status_label_->setText(QStringLiteral("検証中…"));
  SetBusy(true);
  run_.Start<BacktestResult>([options = std::move(options)] { return RunBacktest(options); },
                             std::bind_front(&TBacktestForm::Done, this));
}

void TBacktestForm::Cancel() {
  run_.Cancel();
}

void TBacktestForm::Done(std::shared_ptr<BacktestResult> result, const QString& failure) {
  if (!result) {
    // The run broke off (out of memory, say): the last result stays.
    status_label_->setText(QStringLiteral("検証できませんでした: ") + failure);
    ShowWarningUtf8(this, failure);
    SetBusy(false);
    emit Finished();
    return;
  }
  result_ = std::move(result);
  QString status =
      U(StateText(*result_)) +
      QStringLiteral("　%1 レース（結果なし %2）").arg(result_->races).arg(result_->skipped);
  if (!result_->failed.empty())
    status += QStringLiteral("　読み込めなかった日: ") +
              U(IsoDateOfLabel(result_->failed.front().first)) + QStringLiteral(" ") +
              U(result_->failed.front().second);
  status_label_->setText(status);
  scope_combo_->blockSignals(true);
  scope_combo_->clear();
  scope_combo_->addItem(QStringLiteral("全体"));
  // Months as 2024年06月; venues in the JRA's order (their codes 01–10).
  for (const auto& [month, tally] : result_->byMonth)
    scope_combo_->addItem(U(month.substr(0, 4) + "年" + month.substr(5, 2) + "月"),
                          QStringLiteral("m") + U(month));
  for (const std::string& venue : VenuesInJraOrder(*result_))
    scope_combo_->addItem(U(venue), QStringLiteral("v") + U(venue));
  scope_combo_->setCurrentIndex(0);
  scope_combo_->blockSignals(false);
  ShowScope();
  ShowNote();
  SetBusy(false);
  emit Finished();
}

void TBacktestForm::ShowScope() {
  if (!result_) return;
  // The item's data: "m" or "v" and the key of the breakdown.
  QString data = scope_combo_->currentData().toString();
  QChar kind = data.isEmpty() ? QChar() : data.front();
  std::string key = data.mid(1).toStdString();
  BacktestSlice slice = kind == 'm'   ? BacktestSlice::Month
                        : kind == 'v' ? BacktestSlice::Venue
                                      : BacktestSlice::Total;
  figures_ = FiguresOf(*result_, slice, key);
  FillTables(figures_);
  QString name = QStringLiteral("　") + scope_combo_->currentText();
  rate_chart_->SetFigures(&figures_, name);
  money_chart_->SetTimeline(SliceTimeline(*result_, slice, key), name);
}

void TBacktestForm::FillTables(const BacktestFigures& t) {
  sign_table_->setRowCount(0);
  int row = 0;
  SetGroupRow(sign_table_, row++, QStringLiteral("全馬"), t.all, true);
  for (int s = 0; s < kSignCount; ++s) SetGroupRow(sign_table_, row++, U(SignLabel(s)), t.signs[s]);
  for (int f = 0; f < kBacktestFamilies; ++f)
    SetGroupRow(sign_table_, row++, U(FamilyLabel(f)) + QStringLiteral("系"), t.families[f]);

  rank_table_->setRowCount(0);
  row = 0;
  SetGroupRow(rank_table_, row++, QStringLiteral("全馬"), t.all, true);
  for (int r = 0; r < kBacktestRanks; ++r)
    for (int b = 0; b < kRankBands; ++b)
      SetGroupRow(rank_table_, row++, U(RankLabel(r)) + QStringLiteral(" ") + kRankBandKeys[b],
                  t.ranks[r][b]);
  SetGroupRow(rank_table_, row++, QStringLiteral("軸（◎●▲）"), t.axis);
  SetGroupRow(rank_table_, row++, QStringLiteral("相手（○）"), t.partner);

  ticket_table_->setRowCount(0);
  row = 0;
  for (int b = 0; b < kBetTypes; ++b) {
    SetTicketRow(ticket_table_, row++, U(BetTypeLabel(b)) + QStringLiteral(" 全通り"), t.pools[b],
                 true);
    SetTicketRow(ticket_table_, row++, U(BetTypeLabel(b)), t.tickets[b], false);
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
  QImage image(1400, 800, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    QRect plot(0, 0, image.width(), 720);
    if (chart == 1)
      money_chart_->Paint(p, plot);
    else
      rate_chart_->Paint(p, plot);
    // What the picture is of: range, slice, state, estimate and points.
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    p.setPen(result_->cancelled || !result_->failed.empty() ? QColor(200, 0, 0) : Qt::black);
    QString what = QStringLiteral("サイン検証 ") + U(IsoDateOfLabel(result_->from)) +
                   QStringLiteral(" 〜 ") + U(IsoDateOfLabel(result_->to)) +
                   QStringLiteral("　集計: ") + scope_combo_->currentText() + QStringLiteral("　") +
                   U(StateText(*result_));
    p.drawText(QRect(12, 724, image.width() - 24, 18), Qt::AlignLeft, what);
    p.setPen(Qt::black);
    p.drawText(QRect(12, 742, image.width() - 24, 18), Qt::AlignLeft, U(EstimateNote(*result_)));
    p.drawText(QRect(12, 760, image.width() - 24, 36), Qt::AlignLeft | Qt::TextWordWrap,
               points_label_->text());
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
