#include "views/de_form.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ui/qt_text.h"
#include "app/ui/window_keys.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "views/string_grid.h"

namespace sorvix {

namespace {

constexpr int kGridRowHeight = 14;
constexpr int kGridFontPixels = 11;
constexpr int kTitleFontPixels = 13;
constexpr int kPanelMargin = 4;
constexpr int kPanelSpacing = 4;

struct Column {
  int width;
  const char* header;
};
constexpr Column kColumns[TDeForm::kGridCols] = {
    {15, "赤"}, {15, "緑"},    {15, "橙"},   {15, "青"},     {15, "黄"}, {16, "枠"},
    {16, "馬"}, {110, "馬名"}, {50, "騎手"}, {50, "調教師"}, {18, "着"},
};

constexpr int kBracketCol = 5;
constexpr int kHorseNoCol = 6;
constexpr int kNameCol = 7;
constexpr int kPlaceCol = 10;

// The race title of a panel: venue name, race number, "R".
Cp932Text RaceTitle(std::string_view venueCode, std::string_view raceNo) {
  return VenueName(venueCode) + Cp932View::FromBytes(PadNumber(raceNo) + "R");
}

// The final position (確定着順) of horse `horseNo` among `runners`, as the
// grids show it; empty when the number names no runner slot.
Cp932Text FinalPosition(const SeImage* runners, int horseNo) {
  if (runners == nullptr || horseNo < 1 || horseNo > kHorseSlots) return {};
  return Cp932Text::FromBytes(PadNumber(runners[horseNo - 1].Field(se::kFinalPosition)));
}

// The first `limit` bytes of a CP932 text, one byte fewer when the cut
// would split a double-byte character (a name mixing half-width and
// full-width characters).
std::string_view LeadingBytes(std::string_view text, size_t limit) {
  size_t i = 0;
  while (i < text.size() && i < limit) {
    size_t step = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return text.substr(0, std::min(i, text.size()));
}

// Rows 1–18 of a grid from the ring rows of a race sheet; column 10 from the
// race's SE records when they are known.
void FillRows(StringGrid& grid, const RaceSheet& sheet, const SeImage* runners) {
  grid.ClearRows(1);
  for (int k = 0; k < kRingRows; ++k) {
    int row = k + 1;
    grid.SetCell(kBracketCol, row, Q(Cp932View::FromBytes(PadNumber(sheet.BracketNo[k]))));
    grid.SetCell(kHorseNoCol, row, Q(Cp932View::FromBytes(PadNumber(sheet.HorseNo[k]))));
    grid.SetCell(kNameCol, row, Q(Cp932View::FromBytes(LeadingBytes(sheet.HorseName[k], 18))));
    grid.SetCell(8, row, Q(Cp932View::FromBytes(sheet.JockeyName[k])));
    grid.SetCell(9, row, Q(Cp932View::FromBytes(sheet.TrainerName[k])));
    int horseNo = ReadInt(sheet.HorseNo[k]);
    if (horseNo > 0) grid.SetCell(kPlaceCol, row, Q(FinalPosition(runners, horseNo)));
  }
}

// The grid grows to its texts in this screen's fonts and shows every cell
// without scrolling.
void FitGrid(StringGrid& grid) {
  grid.FitCellsToText();
  if (grid.size() != grid.FullSize()) grid.setFixedSize(grid.FullSize());
}

bool ValidSlot(int slot) {
  return slot >= 0 && slot < kRaceSlots;
}
bool ValidVenue(int venue) {
  return venue >= 0 && venue < kDayVenueCount;
}
bool ValidOrdinal(int ordinal) {
  return ordinal >= 0 && ordinal < kVenueRaces;
}

QColor FlagColour(int col) {
  switch (col) {
    case 0:
      return QColor(255, 0, 0);
    case 1:
      return QColor(0, 128, 0);
    case 2:
      return QColor(255, 128, 0);
    case 3:
      return QColor(0, 0, 255);
    default:
      return QColor(255, 255, 0);
  }
}

bool FlagSet(const RaceCalc& calc, int col, int k) {
  switch (col) {
    case 0:
      return calc.RedFlag[k] == 1;
    case 1:
      return calc.GreenFlag[k] == 1;
    case 2:
      return calc.OrangeFlag[k] == 1;
    case 3:
      return calc.BlueFlag[k] == 1;
    default:
      return calc.YellowFlag[k] == 1;
  }
}

}  // namespace

TDeForm::TDeForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("DeForm"));
  setWindowTitle(QString::fromUtf8("連続出馬表"));

  tabs_ = new QTabWidget(this);
  SwitchTabsByKeys(tabs_);
  CloseOnEscape(this);
  tabs_->setObjectName(QStringLiteral("PageControl1"));

  auto* allBar = new QWidget;
  auto* allBarLayout = new QHBoxLayout(allBar);
  allBarLayout->setContentsMargins(4, 2, 4, 2);
  race_combo_ = new QComboBox(allBar);
  race_combo_->setObjectName(QStringLiteral("RaceCombo"));
  race_combo_->setMinimumContentsLength(14);
  allBarLayout->addWidget(race_combo_);
  allBarLayout->addStretch(1);
  tabs_->addTab(BuildTab(0, allBar, &panel2_), QString::fromUtf8("全競馬場"));

  auto* venueBar = new QWidget;
  auto* venueBarLayout = new QHBoxLayout(venueBar);
  venueBarLayout->setContentsMargins(4, 2, 4, 2);
  venue_combo_ = new QComboBox(venueBar);
  venue_combo_->setObjectName(QStringLiteral("BaCombo"));
  venue_combo_->setMinimumContentsLength(6);
  venue_race_combo_ = new QComboBox(venueBar);
  venue_race_combo_->setObjectName(QStringLiteral("BaRaceCombo"));
  venue_race_combo_->setMinimumContentsLength(5);
  venueBarLayout->addWidget(venue_combo_);
  venueBarLayout->addWidget(venue_race_combo_);
  venueBarLayout->addStretch(1);
  QScrollArea* venueArea = nullptr;
  tabs_->addTab(BuildTab(4, venueBar, &venueArea), QString::fromUtf8("競馬場別"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tabs_);

  connect(race_combo_, &QComboBox::activated, this, [this](int row) {
    if (row >= 0) emit RaceChosen(row);
  });
  connect(venue_combo_, &QComboBox::currentIndexChanged, this, [this] { BaComboChange(); });
  connect(venue_race_combo_, &QComboBox::currentIndexChanged, this,
          [this] { BaRaceComboChange(); });
  auto* previous = new QAction(QString::fromUtf8("前のレース"), this);
  previous->setShortcuts({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::Key_Left)});
  connect(previous, &QAction::triggered, this, [this] { StepRace(-1); });
  auto* next = new QAction(QString::fromUtf8("次のレース"), this);
  next->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Right)});
  connect(next, &QAction::triggered, this, [this] { StepRace(1); });
  addActions({previous, next});

  // At the bottom of the screen, as large as the four panels need (two by
  // two on a screen too narrow for them side by side).
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect avail = screen->availableGeometry();
    resize(ContentSize(avail.width()).boundedTo(avail.size()));
    move(avail.left(), std::max(avail.top(), avail.bottom() + 1 - height()));
  } else {
    resize(ContentSize(QWIDGETSIZE_MAX));
  }
  ArrangePanels();
}

QWidget* TDeForm::BuildTab(int firstGrid, QWidget* topBar, QScrollArea** area) {
  auto* page = new QWidget;
  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->setSpacing(0);
  pageLayout->addWidget(topBar);

  auto* panels = new QWidget;
  panels->setObjectName(firstGrid == 0 ? QStringLiteral("Panel2") : QStringLiteral("Panel3"));
  auto* panelsLayout = new QGridLayout(panels);
  panelsLayout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
  panelsLayout->setSpacing(kPanelSpacing);
  panel_layouts_[static_cast<size_t>(firstGrid / 4)] = panelsLayout;
  for (int g = firstGrid; g < firstGrid + 4; ++g) {
    auto* panel = new QWidget(panels);
    panels_[static_cast<size_t>(g)] = panel;
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(2);
    titles_[static_cast<size_t>(g)] = new QLabel(panel);
    QLabel* title = titles_[static_cast<size_t>(g)];
    title->setObjectName(QStringLiteral("TitleLabel%1").arg(g + 1));
    title->setFont(cell::GothicPixels(kTitleFontPixels));
    title->setMinimumHeight(QFontMetrics(title->font()).height() + 2);
    grids_[static_cast<size_t>(g)] = new StringGrid(panel);
    SetupGrid(g);
    panelLayout->addWidget(title);
    panelLayout->addWidget(grids_[static_cast<size_t>(g)]);
    panelLayout->addStretch(1);
  }

  *area = new QScrollArea(page);
  (*area)->setWidget(panels);
  (*area)->setWidgetResizable(true);
  (*area)->setFrameShape(QFrame::NoFrame);
  pageLayout->addWidget(*area, 1);
  return page;
}

void TDeForm::SetupGrid(int g) {
  StringGrid* grid = grids_[static_cast<size_t>(g)];
  grid->setObjectName(QStringLiteral("StringGrid%1").arg(g + 1));
  grid->SetColCount(kGridCols);
  grid->SetRowCount(kGridRows);
  grid->SetFixedRows(1);
  grid->SetRowHeight(kGridRowHeight);
  grid->SetGridFont(cell::GothicPixels(kGridFontPixels));
  grid->setFrameShape(QFrame::Box);
  grid->setLineWidth(1);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int c = 0; c < kGridCols; ++c) {
    grid->SetColWidth(c, kColumns[c].width);
    grid->SetCell(c, 0, QString::fromUtf8(kColumns[c].header));
  }
  grid->SetDrawCellHandler([this, g](QPainter& p, int col, int row, const QRect& rect) {
    DrawCell(g, p, col, row, rect);
  });
  FitGrid(*grid);
  connect(grid, &StringGrid::MouseReleased, grid, [grid] { grid->ClearSelection(); });
}

std::array<int, 4> TDeForm::VenueOrdinals() const {
  std::array<int, 4> ordinals{};
  for (int i = 0; i < 4; ++i) {
    const Shown& shown = shown_[static_cast<size_t>(4 + i)];
    ordinals[static_cast<size_t>(i)] = shown.kind == Shown::kVenue ? shown.ordinal : -1;
  }
  return ordinals;
}

void TDeForm::SetRaceDay(const RaceDay* day) {
  day_ = day;
  for (StringGrid* grid : grids_) grid->viewport()->update();
}

void TDeForm::FillRaceList(const RaceDay& day) {
  SetRaceDay(&day);
  {
    QSignalBlocker block(race_combo_);
    race_combo_->clear();
    int rows = std::clamp(day.RaceListRows, 0, kRaceSlots);
    for (int i = 0; i < rows; ++i) race_combo_->addItem(Q(day.RaceListRow(i)));
    race_combo_->setCurrentIndex(-1);
  }
  {
    QSignalBlocker block(venue_combo_);
    venue_combo_->clear();
    for (int v = 0; v < kDayVenueCount; ++v) {
      if (day.DayVenues[v].empty()) continue;
      venue_combo_->addItem(Q(VenueName(day.DayVenues[v])), v);
    }
    venue_combo_->setCurrentIndex(-1);
  }
}

void TDeForm::ShowSelection(const RaceDay& day, int prev, int sel, int next, int next2) {
  SetRaceDay(&day);
  panel2_->setUpdatesEnabled(false);
  const int raceSlots[4] = {prev, sel, next, next2};
  for (int i = 0; i < 4; ++i) FillSlot(i, raceSlots[i]);
  ArrangePanels();  // the grids grew to the texts of these races
  for (int g = 0; g < 4; ++g) grids_[static_cast<size_t>(g)]->ClearSelection();
  panel2_->setUpdatesEnabled(true);
  QSignalBlocker block(race_combo_);
  race_combo_->setCurrentIndex(sel >= 0 && sel < race_combo_->count() ? sel : -1);
}

void TDeForm::FillSlot(int g, int slot) {
  StringGrid& grid = *grids_[static_cast<size_t>(g)];
  QLabel& title = *titles_[static_cast<size_t>(g)];
  Shown& shown = shown_[static_cast<size_t>(g)];
  grid.ClearRows(1);
  if (day_ == nullptr || !ValidSlot(slot)) {
    shown = Shown{};
    title.clear();
    return;
  }
  shown = Shown{Shown::kSlot, slot, 0, 0};
  const RaImage& ra = day_->RaRec[slot];
  title.setText(Q(RaceTitle(ra.Field(ra::kVenueCode), ra.Field(ra::kRaceNumber))));
  FillRows(grid, day_->Sheet[slot], day_->SeRec[slot]);
  FitGrid(grid);
}

void TDeForm::ShowEmptyDay(const RaceDay& day) {
  FillRaceList(day);
  {
    QSignalBlocker block(venue_race_combo_);
    venue_race_combo_->clear();
  }
  venue_ = -1;
  for (int g = 0; g < kGrids; ++g) FillSlot(g, -1);
}

void TDeForm::SelectFirstVenue() {
  if (venue_combo_->count() == 0) return;
  {
    QSignalBlocker block(venue_combo_);
    venue_combo_->setCurrentIndex(0);
  }
  BaComboChange();
}

void TDeForm::BaComboChange() {
  int index = venue_combo_->currentIndex();
  if (day_ == nullptr || index < 0) return;
  int v = venue_combo_->itemData(index).toInt();
  if (!ValidVenue(v)) return;
  venue_ = v;
  {
    QSignalBlocker block(venue_race_combo_);
    venue_race_combo_->clear();
    int races = std::clamp(static_cast<int>(day_->VenueRaceCount[v]), 0, kVenueRaces);
    for (int o = 0; o < races; ++o) {
      std::string_view raceNo = Field(day_->VenueRaceSheet[v][o].RaceKey, race_key::kRaceNumber);
      if (ReadInt(raceNo) > 0) venue_race_combo_->addItem(Q(Cp932(PadNumber(raceNo) + "R")));
    }
  }
  if (venue_race_combo_->count() == 0) return;
  {
    QSignalBlocker block(venue_race_combo_);
    venue_race_combo_->setCurrentIndex(0);
  }
  BaRaceComboChange();
}

void TDeForm::BaRaceComboChange() {
  int s = venue_race_combo_->currentIndex();
  int n = venue_race_combo_->count();
  if (day_ == nullptr || !ValidVenue(venue_) || s < 0 || n == 0) return;
  for (int g = 4; g < 8; ++g) grids_[static_cast<size_t>(g)]->ClearRows(1);
  int p = s == 0 ? n - 1 : s - 1;
  int q = s == n - 1 ? 0 : s + 1;
  int t = s + 2 == n ? 0 : (s + 1 == n ? 1 : s + 2);
  const int ordinals[4] = {p, s, q, t};
  for (int i = 0; i < 4; ++i) FillVenueRace(4 + i, venue_, ordinals[i]);
  ArrangePanels();
}

void TDeForm::FillVenueRace(int g, int venue, int ordinal) {
  StringGrid& grid = *grids_[static_cast<size_t>(g)];
  QLabel& title = *titles_[static_cast<size_t>(g)];
  Shown& shown = shown_[static_cast<size_t>(g)];
  grid.ClearRows(1);
  if (day_ == nullptr || !ValidVenue(venue) || !ValidOrdinal(ordinal)) {
    shown = Shown{};
    title.clear();
    return;
  }
  shown = Shown{Shown::kVenue, 0, venue, ordinal};
  const RaceSheet& sheet = day_->VenueRaceSheet[venue][ordinal];
  title.setText(Q(RaceTitle(Field(sheet.RaceKey, race_key::kVenueCode),
                            Field(sheet.RaceKey, race_key::kRaceNumber))));
  // The final positions come from the SE records of the race's slot; an
  // ordinal past the venue's races has no slot.
  const SeImage* runners = nullptr;
  if (ordinal < day_->VenueRaceCount[venue]) {
    int slot = day_->SlotByVenue[venue][ordinal];
    if (ValidSlot(slot)) runners = day_->SeRec[slot];
  }
  FillRows(grid, sheet, runners);
  FitGrid(grid);
}

QSize TDeForm::ContentSize(int width) const {
  // The largest panel of both tabs stands for each of them.
  QSize panel;
  for (const QWidget* p : panels_) panel = panel.expandedTo(p->sizeHint());
  // Around the panels: the scroll area's and the tab page's frames.
  const int frames =
      2 * panel2_->frameWidth() + 2 * tabs_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
  auto size = [&](int columns) {
    int rows = 4 / columns;
    return QSize(
        columns * panel.width() + (columns - 1) * kPanelSpacing + 2 * kPanelMargin + frames,
        tabs_->tabBar()->sizeHint().height() + race_combo_->sizeHint().height() + 4 +
            rows * panel.height() + (rows - 1) * kPanelSpacing + 2 * kPanelMargin + frames);
  };
  QSize row = size(4);
  return row.width() <= width ? row : size(2);
}

void TDeForm::ArrangePanels() {
  int columns = ContentSize(width()).width() == ContentSize(QWIDGETSIZE_MAX).width() ? 4 : 2;
  if (columns == columns_) return;
  columns_ = columns;
  for (size_t t = 0; t < panel_layouts_.size(); ++t) {
    QGridLayout* layout = panel_layouts_[t];
    for (int i = 0; i < 4; ++i) layout->removeWidget(panels_[t * 4 + static_cast<size_t>(i)]);
    for (int i = 0; i <= 4; ++i) {
      layout->setColumnStretch(i, 0);
      layout->setRowStretch(i, 0);
    }
    for (int i = 0; i < 4; ++i)
      layout->addWidget(panels_[t * 4 + static_cast<size_t>(i)], i / columns, i % columns);
    // The room left over goes right of and below the panels.
    layout->setColumnStretch(columns, 1);
    layout->setRowStretch(4 / columns, 1);
  }
}

void TDeForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangePanels();
}

void TDeForm::StepRace(int delta) {
  QComboBox* combo = tabs_->currentIndex() == 0 ? race_combo_ : venue_race_combo_;
  if (combo->count() == 0) return;
  int row = std::clamp(combo->currentIndex() + delta, 0, combo->count() - 1);
  if (row == combo->currentIndex()) return;
  if (combo == race_combo_) {
    emit RaceChosen(row);
  } else {
    venue_race_combo_->setCurrentIndex(row);
  }
}

void TDeForm::DeBtnClick() {
  panel2_->hide();
  show();
  raise();
  panel2_->show();
  for (StringGrid* grid : grids_) grid->viewport()->update();
}

void TDeForm::DrawCell(int g, QPainter& p, int col, int row, const QRect& rect) const {
  const StringGrid& grid = *grids_[static_cast<size_t>(g)];
  const QString text = grid.Cell(col, row);
  const Shown& shown = shown_[static_cast<size_t>(g)];
  const RaceCalc* calc = nullptr;
  if (day_ != nullptr && shown.kind == Shown::kSlot) calc = &day_->Calc[shown.slot];
  if (day_ != nullptr && shown.kind == Shown::kVenue)
    calc = &day_->VenueRaceCalc[shown.venue][shown.ordinal];

  QColor background = Qt::white;
  QFont font = grid.GridFont();
  QColor pen = grid.palette().color(QPalette::WindowText);
  if (row == 0) {
    background = grid.palette().color(QPalette::Button);
  } else {
    int k = row - 1;
    if (col <= 4) {
      if (calc != nullptr && k < kRingRows && FlagSet(*calc, col, k)) background = FlagColour(col);
    } else if (col == kBracketCol) {
      font.setBold(true);
      int number = ReadInt(FromQ(text).bytes());
      QColor bracket = cell::BracketColour(number);
      if (bracket.isValid()) {
        background = bracket;
        pen = cell::BracketTextColour(number);  // legible on the dark brackets
      }
    } else if (col == kHorseNoCol) {
      bool timeMark = calc != nullptr && k < kRingRows && !calc->HStimeS1[k].empty();
      background = timeMark ? QColor(0, 255, 255) : grid.palette().color(QPalette::ToolTipBase);
    } else if (col == kPlaceCol) {
      font.setBold(true);
      pen = cell::PlaceColour(ReadInt(FromQ(text).bytes()));
    }
  }
  cell::Fill(p, rect, background);
  p.setFont(font);
  p.setPen(pen);
  int x = 1;
  if (col != kNameCol) x = (rect.width() - QFontMetrics(font).horizontalAdvance(text)) / 2 - 1;
  cell::Text(p, rect, x, 1, text);
}

}  // namespace sorvix
