#include "results/ui/tune_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>

#include "analysis/ui/user_set_form.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "common/error.h"
#include "results/backtest_report.h"
#include "results/tune_report.h"
#include "store/estimate.h"
#include "store/meeting_list.h"

namespace sorvix {
namespace {

QString U(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

QString PercentCell(double v) {
  return U(PercentText(v));
}

QTableWidget* NewTable(QWidget* parent, const char* name, const QStringList& header) {
  auto* table = new QTableWidget(parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setColumnCount(static_cast<int>(header.size()));
  table->setHorizontalHeaderLabels(header);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return table;
}

QTableWidgetItem* Cell(const QString& text, bool leftAligned = false) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment((leftAligned ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
  return item;
}

// On the worker: every date loaded once, then the folds tuned, with the
// progress on `worker`'s bar.  Throws when there is nothing to tune on.
TuneResult Tune(BackgroundRun& worker, const std::vector<Cp932Text>& dates,
                const TuneRunOptions& run, EstimateSource source, bool yearly,
                const std::array<Cp932Text, 4>& bounds) {
  BacktestOptions load;
  load.dates = dates;
  load.source = source;
  load.cancel = worker.CancelFlag();
  load.progress = [&worker](int done, int total, Cp932View label) {
    worker.Progress(done, total, QStringLiteral("読込中: ") + U(IsoDateOfLabel(label)));
  };
  TuneData data = KeepTuneData(load);
  std::vector<TuneFold> folds;
  if (yearly)
    folds = YearlyFolds(data);
  else if (auto f = FoldOfRange(data, bounds[0], bounds[1], bounds[2], bounds[3]))
    folds = {*f};
  if (folds.empty() && !data.cancelled)
    throw Error(yearly ? "毎年の分割には2年以上の開催日が必要です。"
                       : "訓練期間か検証期間に読み込めた開催日がありません。");
  TuneResult result = RunTuning(data, folds, run);
  if (data.cancelled) result.cancelled = true;
  return result;
}

}  // namespace

TuneFoldChart::TuneFoldChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TuneFoldChart"));
  setMinimumSize(320, 200);
}

void TuneFoldChart::SetResult(const TuneResult* result) {
  result_ = result;
  update();
}

void TuneFoldChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
}

void TuneFoldChart::Paint(QPainter& p, const QRect& area) const {
  p.fillRect(area, Qt::white);
  if (!result_ || result_->folds.empty()) {
    p.drawText(area, Qt::AlignCenter,
               QStringLiteral("実行すると分割ごとの訓練と検証の成績を示します"));
    return;
  }
  const auto& folds = result_->folds;
  double top = 1.0;
  for (const TuneFoldResult& f : folds)
    top = std::max({top, f.train[0].Percent(), f.test[0].Percent(), f.test[1].Percent(),
                    f.testBase.Percent(), f.testInterval.high});
  top *= 1.1;
  QRect plot = area.adjusted(48, 28, -12, -36);
  auto y = [&](double v) { return plot.bottom() - static_cast<int>(v / top * plot.height()); };
  p.setPen(Qt::black);
  p.drawText(
      area.adjusted(8, 4, -8, 0), Qt::AlignLeft | Qt::AlignTop,
      U(InfoOf(result_->objective).label) +
          QStringLiteral("　■訓練（最適化）■検証（最適化）─現在の配点（検証）┅全馬（検証）"));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  for (int t = 0; t <= 4; ++t) {
    double v = top * t / 4.0;
    p.drawText(QRect(area.left(), y(v) - 8, 44, 16), Qt::AlignRight | Qt::AlignVCenter,
               PercentCell(v));
  }
  const int slot = plot.width() / static_cast<int>(folds.size());
  const int bar = std::max(2, slot / 4);
  for (size_t i = 0; i < folds.size(); ++i) {
    const TuneFoldResult& f = folds[i];
    int x = plot.left() + static_cast<int>(i) * slot + slot / 2;
    p.fillRect(
        QRect(x - bar, y(f.train[0].Percent()), bar, plot.bottom() - y(f.train[0].Percent())),
        QColor(170, 170, 170));
    p.fillRect(QRect(x, y(f.test[0].Percent()), bar, plot.bottom() - y(f.test[0].Percent())),
               QColor(60, 110, 200));
    p.setPen(QPen(QColor(60, 110, 200), 1));
    p.drawLine(x + bar / 2, y(f.testInterval.low), x + bar / 2, y(f.testInterval.high));
    p.setPen(QPen(QColor(200, 40, 40), 2));
    p.drawLine(x - bar, y(f.test[1].Percent()), x + bar, y(f.test[1].Percent()));
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(x - bar - 2, y(f.testBase.Percent()), x + bar + 2, y(f.testBase.Percent()));
    p.setPen(Qt::black);
    p.drawText(QRect(x - slot / 2, plot.bottom() + 4, slot, 16), Qt::AlignCenter,
               Q(f.testFrom).left(4));
  }
}

TTunePanel::TTunePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TunePanel"));
  auto* layout = new QVBoxLayout(this);
  AddPeriodRow(layout);
  AddSearchRow(layout);
  AddResultRows(layout);
  ConnectControls();
  ListDates();
  SetBusy(false);
}

TTunePanel::~TTunePanel() = default;

void TTunePanel::AddPeriodRow(QVBoxLayout* layout) {
  auto* row = new QGridLayout();
  auto combo = [this](const char* name) {
    auto* c = new QComboBox(this);
    c->setObjectName(QString::fromLatin1(name));
    return c;
  };
  train_from_ = combo("TuneTrainFrom");
  train_to_ = combo("TuneTrainTo");
  test_from_ = combo("TuneTestFrom");
  test_to_ = combo("TuneTestTo");
  yearly_ = new QCheckBox(QStringLiteral("毎年の分割（各年までで最適化し翌年で検証）"), this);
  yearly_->setObjectName(QStringLiteral("TuneYearly"));
  row->addWidget(new QLabel(QStringLiteral("訓練期間"), this), 0, 0);
  row->addWidget(train_from_, 0, 1);
  row->addWidget(new QLabel(QStringLiteral("〜"), this), 0, 2);
  row->addWidget(train_to_, 0, 3);
  row->addWidget(new QLabel(QStringLiteral("検証期間"), this), 0, 4);
  row->addWidget(test_from_, 0, 5);
  row->addWidget(new QLabel(QStringLiteral("〜"), this), 0, 6);
  row->addWidget(test_to_, 0, 7);
  row->addWidget(yearly_, 1, 1, 1, 7);
  layout->addLayout(row);
}

void TTunePanel::AddSearchRow(QVBoxLayout* layout) {
  auto* row = new QHBoxLayout();
  objective_ = new QComboBox(this);
  objective_->setObjectName(QStringLiteral("TuneObjective"));
  for (const TuneObjectiveInfo& info : kTuneObjectiveInfo) objective_->addItem(U(info.label));
  source_ = new QComboBox(this);
  source_->setObjectName(QStringLiteral("TuneSource"));
  source_->addItems({QStringLiteral("競走馬データ"), QStringLiteral("予想オッズデータ")});
  source_->setCurrentIndex(ReadEstimateSource(SettingsFile()) == EstimateSource::PredictedOdds);
  candidates_ = new QSpinBox(this);
  candidates_->setObjectName(QStringLiteral("TuneCandidates"));
  candidates_->setRange(10, 100000);
  candidates_->setValue(1000);
  seed_ = new QSpinBox(this);
  seed_->setObjectName(QStringLiteral("TuneSeed"));
  seed_->setRange(0, 999999);
  seed_->setValue(1);
  run_button_ = new QPushButton(QStringLiteral("実行"), this);
  run_button_->setObjectName(QStringLiteral("TuneRunButton"));
  cancel_button_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_button_->setObjectName(QStringLiteral("TuneCancelButton"));
  for (auto [text, widget] : {std::pair{"目的", static_cast<QWidget*>(objective_)},
                              std::pair{"推定能力", static_cast<QWidget*>(source_)},
                              std::pair{"候補数（分割ごと）", static_cast<QWidget*>(candidates_)},
                              std::pair{"乱数の種", static_cast<QWidget*>(seed_)}}) {
    row->addWidget(new QLabel(QString::fromUtf8(text), this));
    row->addWidget(widget);
  }
  row->addStretch();
  row->addWidget(run_button_);
  row->addWidget(cancel_button_);
  layout->addLayout(row);

  auto* progress = new QHBoxLayout();
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("TuneProgress"));
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("TuneStatus"));
  progress->addWidget(progress_, 1);
  progress->addWidget(status_, 2);
  layout->addLayout(progress);
  run_.ShowOn(progress_, status_);
}

void TTunePanel::AddResultRows(QVBoxLayout* layout) {
  verdict_ = new QLabel(this);
  verdict_->setObjectName(QStringLiteral("TuneVerdict"));
  verdict_->setWordWrap(true);
  verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(verdict_);
  auto* split = new QSplitter(Qt::Vertical, this);
  figures_ =
      NewTable(this, "TuneTable",
               {QStringLiteral("検証期間"), QStringLiteral("最適化"), QStringLiteral("95%区間"),
                QStringLiteral("現在"), QStringLiteral("95%区間"), QStringLiteral("初期値"),
                QStringLiteral("95%区間"), QStringLiteral("全馬"), QStringLiteral("件数")});
  points_ = NewTable(this, "TunePoints", {QStringLiteral("配点")});
  chart_ = new TuneFoldChart(this);
  split->addWidget(figures_);
  split->addWidget(chart_);
  split->addWidget(points_);
  layout->addWidget(split, 1);
  auto* buttons = new QHBoxLayout();
  save_button_ = new QPushButton(QStringLiteral("保存"), this);
  save_button_->setObjectName(QStringLiteral("TuneSaveButton"));
  save_button_->setToolTip(
      QStringLiteral("最適化した配点を設定ファイルに保存します（sorvix.ini 以外）"));
  dialog_button_ = new QPushButton(QStringLiteral("設定画面で開く"), this);
  dialog_button_->setObjectName(QStringLiteral("TuneSettingsButton"));
  buttons->addStretch();
  buttons->addWidget(save_button_);
  buttons->addWidget(dialog_button_);
  layout->addLayout(buttons);
}

void TTunePanel::ConnectControls() {
  connect(run_button_, &QPushButton::clicked, this, &TTunePanel::Run);
  connect(cancel_button_, &QPushButton::clicked, this, &TTunePanel::Cancel);
  connect(yearly_, &QCheckBox::toggled, this, [this](bool yearly) {
    train_to_->setEnabled(!yearly && !Running());
    test_from_->setEnabled(!yearly && !Running());
  });
  connect(save_button_, &QPushButton::clicked, this, [this] {
    QString caption = QStringLiteral("最適化した配点を保存");
    QString filter = QStringLiteral("設定ファイル (*.ini)");
    QString path = AskSavePath ? AskSavePath(caption, filter)
                               : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (!path.isEmpty()) SaveSettings(path);
  });
  connect(dialog_button_, &QPushButton::clicked, this, &TTunePanel::OpenSettingsDialog);
}

void TTunePanel::ListDates() {
  std::vector<Cp932Text> dates = ListMeetingDates();
  std::sort(dates.begin(), dates.end());
  for (QComboBox* c : {train_from_, train_to_, test_from_, test_to_}) c->clear();
  for (const Cp932Text& label : dates) {
    QString iso = U(IsoDateOfLabel(label));
    for (QComboBox* c : {train_from_, train_to_, test_from_, test_to_}) c->addItem(iso, Q(label));
  }
  const int n = static_cast<int>(dates.size());
  if (n == 0) return;
  // The last quarter of the dates tests, the rest trains.
  int split = std::clamp(n - std::max(1, n / 4), 1, n);
  train_from_->setCurrentIndex(0);
  train_to_->setCurrentIndex(split - 1);
  test_from_->setCurrentIndex(std::min(split, n - 1));
  test_to_->setCurrentIndex(n - 1);
}

void TTunePanel::SetBusy(bool busy) {
  for (QWidget* w : std::initializer_list<QWidget*>{train_from_, test_to_, yearly_, objective_,
                                                    source_, candidates_, seed_, run_button_})
    w->setEnabled(!busy);
  train_to_->setEnabled(!busy && !yearly_->isChecked());
  test_from_->setEnabled(!busy && !yearly_->isChecked());
  cancel_button_->setEnabled(busy);
  save_button_->setEnabled(!busy && result_ && !result_->folds.empty());
  dialog_button_->setEnabled(!busy && result_ && !result_->folds.empty());
}

bool TTunePanel::ReadInputs(std::vector<Cp932Text>& dates, TuneRunOptions& run,
                            EstimateSource& source) {
  if (train_from_->count() == 0) {
    ShowWarning(this, Cp932("最適化する開催日のデータがありません。"));
    return false;
  }
  auto label = [](QComboBox* c) { return FromQ(c->currentData().toString()); };
  Cp932Text trainFrom = label(train_from_), trainTo = label(train_to_);
  Cp932Text testFrom = label(test_from_), testTo = label(test_to_);
  if (yearly_->isChecked()) {
    if (trainFrom > testTo) {
      ShowWarning(this, Cp932("期間の開始日が終了日より後になっています。"));
      return false;
    }
    dates = StoredDatesBetween(trainFrom, testTo);
  } else {
    if (trainFrom > trainTo || testFrom > testTo || testFrom <= trainTo) {
      ShowWarning(this, Cp932("検証期間は訓練期間の終了日より後に始まるように選んでください。"));
      return false;
    }
    dates = StoredDatesBetween(trainFrom, trainTo);
    for (Cp932Text& d : StoredDatesBetween(testFrom, testTo)) dates.push_back(std::move(d));
  }
  run.objective = kTuneObjectiveInfo[static_cast<size_t>(objective_->currentIndex())].objective;
  run.current = SignPoints::Load(SettingsFile());
  run.seed = static_cast<uint64_t>(seed_->value());
  run.candidates = candidates_->value();
  run.cancel = run_.CancelFlag();
  source =
      source_->currentIndex() == 1 ? EstimateSource::PredictedOdds : EstimateSource::RacehorseData;
  return true;
}

void TTunePanel::Run() {
  if (Running()) return;
  std::vector<Cp932Text> dates;
  TuneRunOptions run;
  EstimateSource source;
  if (!ReadInputs(dates, run, source)) return;
  const bool yearly = yearly_->isChecked();
  auto label = [](QComboBox* c) { return FromQ(c->currentData().toString()); };
  std::array<Cp932Text, 4> bounds = {label(train_from_), label(train_to_), label(test_from_),
                                     label(test_to_)};
  run.progress = [this](int fold, int folds, int scored, int most) {
    run_.Progress(
        scored, most,
        QStringLiteral("最適化中: 分割 %1/%2 候補 %3").arg(fold + 1).arg(folds).arg(scored));
  };
  result_.reset();
  FillTables();
  progress_->setValue(0);
  status_->setText(QStringLiteral("読込中…"));
  SetBusy(true);
  auto job = [worker = &run_, dates, run, source, yearly, bounds] {
    return Tune(*worker, dates, run, source, yearly, bounds);
  };
  run_.Start<TuneResult>(job, std::bind_front(&TTunePanel::Done, this));
}

void TTunePanel::Cancel() {
  run_.Cancel();
}

void TTunePanel::Done(std::shared_ptr<TuneResult> result, const QString& failure) {
  result_ = std::move(result);
  if (!failure.isEmpty()) {
    status_->setText(QStringLiteral("最適化できませんでした"));
    ShowWarningUtf8(this, failure);
  } else if (result_) {
    status_->setText(QStringLiteral("%1%2 分割・候補 %3・検証 %4 開催日 %5 レース")
                         .arg(result_->cancelled ? QStringLiteral("中止しました: ") : QString())
                         .arg(result_->folds.size())
                         .arg(result_->candidates)
                         .arg(result_->testDates)
                         .arg(result_->testRaces));
  }
  FillTables();
  SetBusy(false);
  emit Finished();
}

void TTunePanel::FillTables() {
  figures_->setRowCount(0);
  points_->setRowCount(0);
  chart_->SetResult(result_.get());
  QStringList verdict;
  if (result_)
    for (const std::string& line : result_->verdict) verdict << U(line);
  verdict_->setText(verdict.join(QStringLiteral("\n")));
  if (!result_ || result_->folds.empty()) return;
  const TuneResult& r = *result_;
  figures_->setRowCount(static_cast<int>(r.rows.size()));
  for (int i = 0; i < static_cast<int>(r.rows.size()); ++i) {
    const TuneFigureRow& row = r.rows[static_cast<size_t>(i)];
    figures_->setItem(i, 0, Cell(U(row.label), true));
    for (int set = 0; set < kTuneSets; ++set) {
      QTableWidgetItem* value = Cell(PercentCell(row.figure[set].Percent()));
      if (row.clears[set]) {
        value->setForeground(QColor(200, 0, 0));
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
      }
      if (!row.isReturn && row.figure[set].part < 30) value->setForeground(Qt::gray);
      figures_->setItem(i, 1 + 2 * set, value);
      figures_->setItem(i, 2 + 2 * set,
                        Cell(PercentCell(row.interval[set].low) + QStringLiteral("〜") +
                             PercentCell(row.interval[set].high)));
    }
    figures_->setItem(i, 7, Cell(PercentCell(row.base.Percent())));
    figures_->setItem(i, 8, Cell(QString::number(row.figure[0].whole / (row.isReturn ? 100 : 1))));
  }
  points_->setColumnCount(kSignCount + 1);
  QStringList header = {QStringLiteral("配点")};
  for (int s = 0; s < kSignCount; ++s) header << U(SignLabel(s));
  points_->setHorizontalHeaderLabels(header);
  points_->setRowCount(kTuneSets);
  const SignPoints* sets[] = {&r.tuned, &r.current, &r.defaults};
  for (int set = 0; set < kTuneSets; ++set) {
    points_->setItem(set, 0, Cell(U(TuneSetLabel(set)), true));
    for (int s = 0; s < kSignCount; ++s)
      points_->setItem(set, s + 1, Cell(QString::number(sets[set]->value[s])));
  }
}

bool TTunePanel::SaveSettings(const QString& path) {
  if (!result_ || result_->folds.empty()) return false;
  namespace fs = std::filesystem;
  fs::path target = fs::path(path.toStdString());
  std::error_code ec;
  if (fs::weakly_canonical(target, ec) == fs::weakly_canonical(SettingsFile().path(), ec)) {
    ShowWarning(this,
                Cp932("この設定ファイル（sorvix.ini）には保存しません。別のファイル名を選ぶか、"
                      "「設定画面で開く」で確かめてから OK で保存してください。"));
    return false;
  }
  try {
    SettingsFile file(target);
    result_->tuned.Save(file);
  } catch (const Error& e) {
    ShowError(this, e);
    return false;
  }
  ShowInformationUtf8(this, QStringLiteral("最適化した配点を保存しました: ") + path);
  return true;
}

void TTunePanel::OpenSettingsDialog() {
  if (!result_ || result_->folds.empty()) return;
  TUserSetForm form(this);
  form.FillPoints(result_->tuned);
  if (ShowDialog)
    ShowDialog(&form);
  else
    form.exec();
}

}  // namespace sorvix
