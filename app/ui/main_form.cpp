#include "app/ui/main_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <ctime>

#include "acquisition/ui/wine_set_form.h"
#include "acquisition/ui/wine_window_run.h"
#include "analysis/sign_points.h"
#include "analysis/ui/user_set_form.h"
#include "app/error_log.h"
#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "app/startup_checks.h"
#include "app/ui/about_box.h"
#include "app/ui/fonts.h"
#include "app/ui/help.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "app/ui/save_dialog.h"
#include "app/ui/window_keys.h"
#include "app/ui/window_places.h"
#include "codes/jv_result_message.h"
#include "export/ui/sqlite_export_form.h"
#include "print/ui/all_print_form.h"
#include "results/ui/backtest_form.h"
#include "results/ui/kaime_form.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/ui/prgrs_form.h"
#include "views/de_form.h"
#include "views/race_card_grid.h"
#include "views/race_header_bar.h"
#include "views/results_tab.h"
#include "views/sign_table_grid.h"
#include "views/text/csv_tables.h"
#include "views/up_down.h"

namespace sorvix {

namespace {

QToolButton* AddToolButton(QToolBar* bar, const QString& caption, const QString& hint) {
  auto* button = new QToolButton(bar);
  button->setText(caption);
  button->setStatusTip(hint);
  button->setToolTip(hint);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setAutoRaise(false);
  button->setMinimumHeight(28);
  bar->addWidget(button);
  return button;
}

}  // namespace

QToolButton* TMainForm::AddTool(QToolBar* bar, const QString& caption, const QString& hint,
                                const QString& item, const QKeySequence& keys,
                                const std::function<void()>& run) {
  QToolButton* button = AddToolButton(bar, caption, hint);
  auto* action = new QAction(item, this);
  action->setShortcut(keys);
  action->setStatusTip(hint);
  connect(action, &QAction::triggered, this, run);
  connect(button, &QToolButton::clicked, action, &QAction::trigger);
  tool_actions_.push_back(action);
  return button;
}

TMainForm::TMainForm(std::unique_ptr<JvLink> jvLink, QWidget* parent)
    : QMainWindow(parent), jvLink_(std::move(jvLink)), day_(RaceDay::Create()) {
  setWindowTitle(QString::fromLatin1(kProductName));
  setObjectName(QStringLiteral("MainForm"));
  ModalDialogsOnTop::Install();
  HelpKey::Install();
  BuildToolBar();
  BuildPanels();
  BuildMenus();
  statusBar()->setObjectName(QStringLiteral("StatusLine"));
  RestoreGeometry();
  RunCreationSteps();
  progress_box_ = new TPrgrsForm(this);
  continuous_card_window_ = new TDeForm(this);
  continuous_card_window_->SetRaceDay(day_.get());
  connect(continuous_card_window_, &TDeForm::RaceChosen, this, &TMainForm::SelectRace);
  combinations_window_ = new TKaimeForm(this);
  connect(date_combo_, &QComboBox::activated, this, [this] { DateComboChange(); });
  new DateBoxKeys(date_combo_, [this] { DateComboChange(); });
  SwitchTabsByKeys(view_tabs_);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildToolBar() {
  auto* bar = addToolBar(QStringLiteral("ToolBar"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setFont(GothicFont(9));

  connect(AddToolButton(bar, QStringLiteral("終了"), QStringLiteral("ソフトを終了します")),
          &QToolButton::clicked, this, &QWidget::close);
  connect(AddToolButton(bar, QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾍﾙﾌﾟの目次を表示します")),
          &QToolButton::clicked, this, &TMainForm::HelpClick);
  connect(
      AddToolButton(bar, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報を表示します")),
      &QToolButton::clicked, this, &TMainForm::VersionClick);
  connect(AddToolButton(bar, QStringLiteral("F"), QStringLiteral("レース一覧の表示を切り替えます")),
          &QToolButton::clicked, this, &TMainForm::FPanelClick);
  bar->addSeparator();
  // Each command of the bar is also an item of the ツール menu, with its
  // key (the manual lists them).
  AddTool(bar, QStringLiteral("JVデータ取得"), QStringLiteral("JV-Dataを取得します"),
          QStringLiteral("JVデータ取得(&J)..."), QKeySequence(Qt::CTRL | Qt::Key_J),
          [this] { JvDataBtnClick(); })
      ->setObjectName(QStringLiteral("JvDataButton"));
  AddTool(bar, QStringLiteral("連続出馬表"), QStringLiteral("連続出馬表を表示します"),
          QStringLiteral("連続出馬表(&C)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), [this] {
            PlaceSecondaryWindows();
            continuous_card_window_->DeBtnClick();
          });
  AddTool(bar, QStringLiteral("結果情報"), QStringLiteral("当日のレース結果と払戻を取得します"),
          QStringLiteral("結果情報(&R)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
          [this] { KekkaBtnClick(); })
      ->setObjectName(QStringLiteral("KekkaBtn"));
  AddTool(bar, QStringLiteral("買い目表"), QStringLiteral("買い目表を表示します"),
          QStringLiteral("買い目表(&K)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), [this] {
            PlaceSecondaryWindows();
            combinations_window_->KaimeHyoBtnClick();
          });
  AddTool(bar, QStringLiteral("サイン検証"),
          QStringLiteral("保存されている開催日でサインと買い目の成績を検証します"),
          QStringLiteral("サイン検証(&B)..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B),
          [this] { TBacktestForm::Open(this); });
  AddTool(bar, QStringLiteral("予想オッズ"), QStringLiteral("予想オッズデータを取り込みます"),
          QStringLiteral("予想オッズ取込(&Y)..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y),
          [this] { YosoOzBtnClick(); });
  // The hit report commands show only where the marker file exists.
  if (fs::exists(HomePath("\\MasterControlQuon.key"))) {
    AddTool(bar, QStringLiteral("的中"), QStringLiteral("的中した買い目を書き出します"),
            QStringLiteral("的中(&T)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
            [this] { TekiAnaBtnClick(false); })
        ->setObjectName(QStringLiteral("TekiAnaBtn"));
    AddTool(bar, QStringLiteral("穴的中"), QStringLiteral("高配当の的中を書き出します"),
            QStringLiteral("穴的中(&A)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
            [this] { TekiAnaBtnClick(true); })
        ->setObjectName(QStringLiteral("TekiAnaBtn2"));
  }
  bar->addSeparator();

  // The second line: the date box, the race stepper and the race header,
  // the whole width of the window for the header's texts.
  addToolBarBreak();
  bar = addToolBar(QStringLiteral("RaceBar"));
  bar->setObjectName(QStringLiteral("ToolBar2"));
  bar->setMovable(false);
  bar->setFont(GothicFont(9));

  date_combo_ = new QComboBox(bar);
  date_combo_->setObjectName(QStringLiteral("DateCombo"));
  date_combo_->setMaxVisibleItems(36);
  date_combo_->setFont(GothicFont(11, true));
  date_combo_->setMinimumContentsLength(14);
  date_combo_->setStatusTip(QStringLiteral("開催日を選択します"));
  bar->addWidget(date_combo_);

  race_stepper_ = new UpDown(bar);
  bar->addWidget(race_stepper_);
  connect(race_stepper_, &UpDown::Clicked, this, &TMainForm::UpDown1Click);

  race_header_ = new RaceHeaderBar(bar);
  bar->addWidget(race_header_);
}

void TMainForm::BuildPanels() {
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  race_list_panel_ = new QFrame(splitter);
  race_list_panel_->setObjectName(QStringLiteral("Panel5"));
  auto* left = new QVBoxLayout(race_list_panel_);
  left->setContentsMargins(0, 0, 0, 0);
  race_list_ = new QListWidget(race_list_panel_);
  race_list_->setObjectName(QStringLiteral("DatList"));
  race_list_->setFont(GothicFont(10));
  race_list_->setStatusTip(QStringLiteral("レースを選択します"));
  // The current row is the shown race, whether a click, an arrow key,
  // PageUp/PageDown, Home/End or a command moved it.
  connect(race_list_, &QListWidget::currentRowChanged, this, [this] { DatListClick(); });
  left->addWidget(race_list_);
  fetch_label_ = new QLabel(race_list_panel_);
  fetch_label_->setObjectName(QStringLiteral("DLlabel"));
  fetch_label_->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));
  left->addWidget(fetch_label_);
  race_list_panel_->setMinimumWidth(140);

  // The main area keeps its place while the tab control is hidden.
  auto* mainArea = new QWidget(splitter);
  auto* mainLayout = new QVBoxLayout(mainArea);
  mainLayout->setContentsMargins(0, 0, 0, 0);
  view_tabs_ = new QTabWidget(mainArea);
  mainLayout->addWidget(view_tabs_);
  view_tabs_->setObjectName(QStringLiteral("PageControl1"));
  race_card_grid_ = new RaceCardGrid(view_tabs_);
  race_card_grid_->SetRaceDay(day_.get());
  sign_table_grid_ = new SignTableGrid(view_tabs_);
  sign_table_grid_->SetRaceDay(day_.get());
  connect(sign_table_grid_, &SignTableGrid::SpecialMarkClicked, this, &TMainForm::SpecialMarkClick);
  results_tab_ = new ResultsTab(view_tabs_);
  auto* resultsScroll = new QScrollArea(view_tabs_);
  resultsScroll->setWidget(results_tab_);
  view_tabs_->addTab(race_card_grid_, QStringLiteral("出馬表"));
  view_tabs_->addTab(sign_table_grid_, QStringLiteral("サイン表"));
  view_tabs_->addTab(resultsScroll, QStringLiteral("結果表"));
  view_tabs_->hide();
  splitter->addWidget(race_list_panel_);
  splitter->addWidget(mainArea);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({160, 1000});
  setCentralWidget(splitter);
}

void TMainForm::BuildMenus() {
  BuildFileMenu();
  BuildSettingsMenu();
  BuildViewMenu();
  QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
  tools->setObjectName(QStringLiteral("ToolsMenu"));
  for (QAction* action : tool_actions_) tools->addAction(action);
  BuildFolderAndHelpMenus();
}

void TMainForm::BuildFileMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  QAction* acquire = file->addAction(QStringLiteral("ＪＶデータ取得(&J)"));
  acquire->setObjectName(QStringLiteral("JvDataAction"));
  connect(acquire, &QAction::triggered, this, &TMainForm::JvDataBtnClick);
  BuildPrintMenus(file);
  QMenu* csv = file->addMenu(QStringLiteral("CSV保存(&V)"));
  for (bool allRaces : {false, true}) {
    if (allRaces) csv->addSeparator();
    for (CsvTable table :
         {CsvTable::RaceCard, CsvTable::SignTable, CsvTable::Results, CsvTable::Combinations}) {
      QString name = QString::fromStdString(CsvTableName(table));
      QAction* action = csv->addAction(allRaces ? QStringLiteral("全レースの%1...").arg(name)
                                                : QStringLiteral("%1...").arg(name));
      connect(action, &QAction::triggered, this,
              [this, table, allRaces] { CsvSaveClick(table, allRaces); });
    }
  }
  QAction* sqlite = file->addAction(QStringLiteral("SQLite へ書き出し(&Q)..."));
  sqlite->setObjectName(QStringLiteral("SqliteExportAction"));
  connect(sqlite, &QAction::triggered, this, [this] { TSqliteExportForm::Open(this); });
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了(&X)"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::BuildPrintMenus(QMenu* file) {
  QMenu* printOrder = file->addMenu(QStringLiteral("印刷指定"));
  auto* orderGroup = new QActionGroup(this);
  column_order_action_ = printOrder->addAction(QStringLiteral("縦列印刷"));
  column_order_action_->setObjectName(QStringLiteral("ColumnOrderAction"));
  row_order_action_ = printOrder->addAction(QStringLiteral("横列印刷"));
  row_order_action_->setObjectName(QStringLiteral("RowOrderAction"));
  for (QAction* action : {column_order_action_, row_order_action_}) {
    action->setCheckable(true);
    orderGroup->addAction(action);
  }
  column_order_action_->setChecked(true);
  connect(column_order_action_, &QAction::triggered, this, [this] { PrintOrderClick(false); });
  connect(row_order_action_, &QAction::triggered, this, [this] { PrintOrderClick(true); });
  const struct {
    const char* title;
    PrintLayout layout;
  } prints[] = {{"連続出馬表印刷(&P)", PrintLayout::Continuous},
                {"リング出馬表印刷", PrintLayout::Ring},
                {"一括リング表", PrintLayout::Batch}};
  for (const auto& print : prints) {
    QMenu* menu = file->addMenu(QString::fromUtf8(print.title));
    PrintLayout layout = print.layout;
    connect(menu->addAction(QStringLiteral("全開催場所")), &QAction::triggered, this,
            [this, layout] { PrintClick(layout, PrintScope::AllVenues); });
    connect(menu->addAction(QStringLiteral("競馬場別")), &QAction::triggered, this,
            [this, layout] { PrintClick(layout, PrintScope::ByVenue); });
  }
}

void TMainForm::BuildSettingsMenu() {
  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定(&S)"));
  connect(settings->addAction(QStringLiteral("ユーザー設定(&U)")), &QAction::triggered, this,
          [this] {
            TUserSetForm form(this);
            form.exec();
          });
  BuildJvLinkMenuItems(settings);
  QMenu* estimate = settings->addMenu(QStringLiteral("推定能力計算指定(&S)"));
  auto* estimateGroup = new QActionGroup(this);
  race_data_action_ = estimate->addAction(QStringLiteral("競走馬データを利用する"));
  race_data_action_->setObjectName(QStringLiteral("RaceDataAction"));
  odds_data_action_ = estimate->addAction(QStringLiteral("予想オッズデータを利用する"));
  odds_data_action_->setObjectName(QStringLiteral("OddsDataAction"));
  for (QAction* action : {race_data_action_, odds_data_action_}) {
    action->setCheckable(true);
    estimateGroup->addAction(action);
  }
  race_data_action_->setChecked(true);
  connect(race_data_action_, &QAction::triggered, this, [this] { EstimateSourceClick(false); });
  connect(odds_data_action_, &QAction::triggered, this, [this] { EstimateSourceClick(true); });
  // The source in use, always in sight at the right of the status line.
  auto* source = new QLabel(statusBar());
  source->setObjectName(QStringLiteral("EstimateSourceLabel"));
  statusBar()->addPermanentWidget(source);
  auto show = [source](bool racehorse) {
    source->setText(racehorse ? QStringLiteral("推定能力: 競走馬データ")
                              : QStringLiteral("推定能力: 予想オッズ"));
  };
  connect(race_data_action_, &QAction::toggled, source, show);
  show(true);
}

void TMainForm::BuildJvLinkMenuItems(QMenu* settings) {
  QAction* wine = settings->addAction(QStringLiteral("JV-Link（Wine）の設定(&W)..."));
  wine->setObjectName(QStringLiteral("WineSetAction"));
  connect(wine, &QAction::triggered, this, [this] {
    TWineSetForm form(this);
    form.exec();
  });
  QAction* component = settings->addAction(QStringLiteral("JV-Link の設定画面(&L)..."));
  component->setObjectName(QStringLiteral("JvLinkSettingAction"));
  connect(component, &QAction::triggered, this, &TMainForm::JvLinkSettingClick);
}

void TMainForm::JvLinkSettingClick() {
  // Under Wine the component's own dialog, through the exporter.
  if (WineWindowRun::Enabled()) {
    WineWindowRun(this).UiProperties(
        [this](const QString& line) { statusBar()->showMessage(line); });
    return;
  }
  int result = JVLink1().JVSetUIProperties();
  if (result != 0)
    ShowInformation(
        this, Cp932("JVSetUIPropertiesエラー：") + JvResultMessage("JVSetUIProperties", result));
}

void TMainForm::BuildFolderAndHelpMenus() {
  QMenu* folders = menuBar()->addMenu(QStringLiteral("ﾌｫﾙﾀﾞ指定(&D)"));
  connect(folders->addAction(QStringLiteral("予想オッズフォルダの指定(&Y)")), &QAction::triggered,
          this, &TMainForm::YosoFolderClick);

  QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  QAction* contents = help->addAction(QStringLiteral("目次(&C)"));
  contents->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  connect(contents, &QAction::triggered, this, &TMainForm::HelpClick);
  // F1 itself is read by HelpKey in every window; the menu shows it.
  QAction* page = help->addAction(QStringLiteral("この画面のヘルプ(&H)\tF1"));
  connect(page, &QAction::triggered, this, [this] { OpenManualPage(this, ManualPageFor(this)); });
  QAction* version = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
  version->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  connect(version, &QAction::triggered, this, &TMainForm::VersionClick);
}

void TMainForm::BuildViewMenu() {
  // The keys of the race views, shown beside their items.
  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  QAction* previous = view->addAction(QStringLiteral("前のレース(&P)"));
  previous->setObjectName(QStringLiteral("PrevRaceAction"));
  previous->setShortcuts({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::Key_Left)});
  connect(previous, &QAction::triggered, this, [this] { StepRace(-1); });
  QAction* next = view->addAction(QStringLiteral("次のレース(&N)"));
  next->setObjectName(QStringLiteral("NextRaceAction"));
  next->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Right)});
  connect(next, &QAction::triggered, this, [this] { StepRace(1); });
  view->addSeparator();
  const char* tabs[] = {"出馬表(&1)", "サイン表(&2)", "結果表(&3)"};
  const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3};
  for (int i = 0; i < 3; ++i) {
    QAction* action = view->addAction(QString::fromUtf8(tabs[i]));
    action->setObjectName(QStringLiteral("TabAction%1").arg(i + 1));
    action->setShortcut(QKeySequence(Qt::CTRL | keys[i]));
    connect(action, &QAction::triggered, this, [this, i] { view_tabs_->setCurrentIndex(i); });
  }
  QAction* racePanel = view->addAction(QStringLiteral("レース一覧の表示切替(&L)"));
  racePanel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(racePanel, &QAction::triggered, this, &TMainForm::FPanelClick);
  view->addSeparator();
  QAction* dateBox = view->addAction(QStringLiteral("開催日を選ぶ(&D)"));
  dateBox->setObjectName(QStringLiteral("DateBoxAction"));
  dateBox->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(dateBox, &QAction::triggered, this, [this] {
    date_combo_->setFocus(Qt::ShortcutFocusReason);
    statusBar()->showMessage(QStringLiteral("↑↓ で開催日を選び、Enter で読み込みます"));
  });
  QAction* reload = view->addAction(QStringLiteral("開催日を再読込(&R)"));
  reload->setObjectName(QStringLiteral("ReloadAction"));
  reload->setShortcut(QKeySequence(Qt::Key_F5));
  connect(reload, &QAction::triggered, this, [this] {
    if (date_combo_->currentIndex() < 0) {
      Say(QStringLiteral("再読込: 開催日が選ばれていません。開催日を選んでください。"));
      return;
    }
    DateComboChange();
  });
}

void TMainForm::StepRace(int delta) {
  if (race_list_->count() == 0) {
    statusBar()->showMessage(QStringLiteral("開催日が読み込まれていません"));
    return;
  }
  int row = std::clamp(race_list_->currentRow() + delta, 0, race_list_->count() - 1);
  SelectRace(row);
}

void TMainForm::RestoreGeometry() {
  SettingsFile ini;
  int top = ini.ReadInteger("locate", "top", 10);
  int left = ini.ReadInteger("locate", "left", 10);
  int width = ini.ReadInteger("locate", "width", 1200);
  int height = ini.ReadInteger("locate", "height", 900);
  // The saved place may lie on a screen that is gone (or off every screen):
  // the window comes back fully on an available screen.
  RestorePlace(this, left, top, width, height, QSize(1200, 900));
}

void TMainForm::PlaceSecondaryWindows() {
  // First-time places beside the main window's controls: 連続出馬表 right
  // of the race list and above the status line, under the tab bar where it
  // fits there; 買い目表 at the right of the tab area.  The race list, the
  // tabs and the status line stay uncovered on a screen of 1200 x 900.
  QWidget* area = view_tabs_->parentWidget();
  QRect areaRect(area->mapToGlobal(QPoint(0, 0)), area->size());
  int tabBar = view_tabs_->tabBar()->sizeHint().height();
  if (!continuous_card_window_->isVisible() && !deFormPlaced_) {
    deFormPlaced_ = true;
    // Large enough for its four races in this screen's font: side by side
    // where the screen is wide enough (past the main window's right edge if
    // need be), else two by two, reaching up over the header when the area
    // is too low for that (the screen's edges bound it).
    QMargins margins = FrameMargins(continuous_card_window_);
    QSize content = continuous_card_window_->ContentSize(screen()->availableGeometry().width() -
                                                         margins.left() - margins.right());
    int width = content.width() + margins.left() + margins.right();
    int height = content.height() + margins.top() + margins.bottom();
    if (height <= areaRect.height() - tabBar)
      height = std::max(height, std::min(410, areaRect.height() - tabBar));
    // At the right of the area, the race card's tab bar uncovered, when the
    // area is wide enough; else from its left edge onwards.
    int left = width <= areaRect.width() ? areaRect.right() + 1 - width : areaRect.left();
    PlaceFrame(continuous_card_window_, QRect(left, areaRect.bottom() + 1 - height, width, height));
  }
  if (!combinations_window_->isVisible() && !combinations_window_->HasStoredPlace() &&
      !kaimeFormPlaced_) {
    kaimeFormPlaced_ = true;
    QMargins margins = FrameMargins(combinations_window_);
    int width = combinations_window_->width() + margins.left() + margins.right();
    int height = std::min(combinations_window_->height() + margins.top() + margins.bottom(),
                          areaRect.height() - tabBar);
    PlaceFrame(combinations_window_,
               QRect(areaRect.right() + 1 - width, areaRect.top() + tabBar, width, height));
  }
}

void TMainForm::RunCreationSteps() {
  try {
    CreateStoreFolders();
    MakeDataListBtnClick();
    ErrorLog().RecordStart(std::time(nullptr));
  } catch (const std::exception& e) {
    // Reported once the window is up; the remaining creation steps are skipped.
    QTimer::singleShot(0, this, [this, error = AsError(e)] { ShowError(this, error); });
    return;
  }
  SettingsFile ini;
  (ini.ReadInteger("PrintOpt", "ColSet", 0) == 0 ? column_order_action_ : row_order_action_)
      ->setChecked(true);
  (ini.ReadInteger("YosoOz", "Select", 0) == 0 ? race_data_action_ : odds_data_action_)
      ->setChecked(true);
}

void TMainForm::MakeDataListBtnClick() {
  date_combo_->clear();
  for (const Cp932Text& label : ListMeetingDates()) date_combo_->addItem(Q(label));
  // The date box keeps showing the loaded date while it is still listed;
  // a loaded date that is gone from the store leaves the window empty.
  int shown = loadedDate_.empty() ? -1 : date_combo_->findText(Q(loadedDate_));
  date_combo_->setCurrentIndex(shown);
  if (shown < 0 && !loadedDate_.empty()) ShowEmptyDay();
}

void TMainForm::Say(const QString& text) {
  statusBar()->showMessage(text);
  ShowInformationUtf8(this, text);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  QTimer::singleShot(0, this, &TMainForm::FirstShow);
}

void TMainForm::FirstShow() {
  KeepOnScreen(this);
  int result = jvLink_->JVInit(kSoftwareId);
  if (result != 0) {
    ShowInformation(this, JvInitErrorMessage(result), false);
    return;
  }
  Cp932Text message = JvLinkVersionMessage(jvLink_->Version());
  if (!message.empty()) ShowInformation(this, message);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // The position is the frame's (what the restore moves), the size the
  // window's own.
  SaveWindowPlace(this, "locate");
  event->accept();
}

void TMainForm::PrintClick(PrintLayout layout, PrintScope scope) {
  BlockOrder order = row_order_action_->isChecked() ? BlockOrder::Rows : BlockOrder::Columns;
  RunOrShowError([&] { ShowPrintPreview(this, *day_, layout, scope, order); });
}

void TMainForm::CsvSaveClick(CsvTable table, bool allRaces) {
  QString name = QString::fromStdString(CsvTableName(table));
  int row = race_list_->currentRow();
  if (day_->RaceListRows <= 0 || row < 0) {
    Say(QStringLiteral("CSV保存: 開催日が読み込まれていません。先に開催日を選んでください。"));
    return;
  }
  QString race = allRaces ? QStringLiteral("全レース")
                          : Q(day_->RaceListRow(row)).simplified().section(' ', 1).remove(' ');
  QString suggested = QStringLiteral("%1_%2_%3.csv").arg(Q(loadedDate_), race, name);
  QString path =
      CsvFileChooser
          ? WithExtension(CsvFileChooser(SuggestedSavePath(CsvFiles(), suggested)), CsvFiles())
          : AskSavePath(this, QStringLiteral("CSV保存（%1）").arg(name), CsvFiles(), suggested);
  if (path.isEmpty()) return;
  std::vector<int> races;
  for (int r = 0; r < day_->RaceListRows; ++r)
    if (allRaces || r == row) races.push_back(r);
  try {
    std::string text = CsvText(CsvRows(*day_, table, races, SignPoints::Load(SettingsFile())));
    WriteFileAtomic(fs::path(path.toStdString()), text);
  } catch (const std::exception& e) {
    statusBar()->showMessage(QStringLiteral("CSV保存に失敗しました"));
    ShowError(this, e, QStringLiteral("CSV保存に失敗しました: "));
    return;
  }
  RememberSaveFolder(CsvFiles(), path);
  statusBar()->showMessage(QStringLiteral("%1 を保存しました: %2").arg(name, path));
}

void TMainForm::HelpClick() {
  OpenManualPage(this, QStringLiteral("index.html"));
}

void TMainForm::VersionClick() {
  TAboutBox box(this);
  box.exec();
}

void TMainForm::FPanelClick() {
  race_list_panel_->setVisible(!race_list_panel_->isVisible());
}

QString TMainForm::YosoFolder() const {
  // The settings file is CP932: the home's own path (UTF-8, perhaps with
  // characters CP932 lacks) is never passed through it.
  std::string folder = SettingsFile().ReadString("Dir", "yoso", "");
  if (folder.empty()) return QString::fromStdString((ProgramFolder::Get() / "ylzh").string());
  return Q(Cp932View::FromBytes(folder));
}

void TMainForm::YosoFolderClick() {
  QString chosen = QFileDialog::getExistingDirectory(
      this, QStringLiteral("単勝予想配当ﾃﾞｰﾀﾌｫﾙﾀﾞの指定"), YosoFolder());
  if (chosen.isEmpty()) return;
  Cp932Text stored = FromQ(chosen);
  if (Q(stored) != chosen) {
    ShowInformationUtf8(this,
                        QStringLiteral("このフォルダ名は設定ファイル（シフトJIS）に保存できない"
                                       "文字を含むため、保存しませんでした: %1")
                            .arg(chosen));
    return;
  }
  RunOrShowError([&] { SettingsFile().WriteString("Dir", "yoso", stored.bytes()); });
}

void TMainForm::PrintOrderClick(bool rowOrder) {
  RunOrShowError([&] { SettingsFile().WriteInteger("PrintOpt", "ColSet", rowOrder ? 1 : 0); });
}

void TMainForm::EstimateSourceClick(bool predictedOdds) {
  RunOrShowError([&] { SettingsFile().WriteInteger("YosoOz", "Select", predictedOdds ? 1 : 0); });
  if (date_combo_->currentIndex() >= 0) DateComboChange();
}

}  // namespace sorvix
