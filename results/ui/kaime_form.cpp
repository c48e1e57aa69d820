#include "results/ui/kaime_form.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/settings_file.h"
#include "app/ui/qt_text.h"
#include "app/ui/window_keys.h"
#include "app/ui/window_places.h"
#include "codes/text.h"
#include "results/betting_combinations.h"
#include "store/race_day.h"
#include "views/string_grid.h"

namespace sorvix {

namespace {

constexpr char kSection[] = "KaimeFormlocate";
constexpr int kMissing = -2147483647;
constexpr int kColWidths[3] = {19, 66, 64};
constexpr const char* kHeaders[3] = {"No.", "買い目", "配当"};
constexpr const char* kTabs[3] = {"3連複", "馬連・ワ", "馬単"};

QColor CellColour(KaimeColour colour) {
  switch (colour) {
    case KaimeColour::Red:
      return QColor(255, 0, 0);
    case KaimeColour::Magenta:
      return QColor(255, 0, 255);
    case KaimeColour::White:
      break;
  }
  return Qt::white;
}

// Rows 1.. of a grid from one combination list; an empty list leaves the
// grid's row count as it was.
void FillGrid(StringGrid& grid, const std::vector<KaimeRow>& rows) {
  if (rows.empty()) return;
  grid.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    int row = static_cast<int>(i) + 1;
    grid.SetCell(0, row, QString::fromStdString(Format("%2d", row)));
    grid.SetCell(1, row, Q(Cp932View::FromBytes(rows[i].combination)));
    if (rows[i].paid) grid.SetCell(2, row, QString::fromStdString(Format("%6d", rows[i].payout)));
  }
}

}  // namespace

TKaimeForm::TKaimeForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("KaimeForm"));
  setWindowTitle(QString::fromUtf8("買い目表"));
  tabs_ = new QTabWidget(this);
  SwitchTabsByKeys(tabs_);
  CloseOnEscape(this);
  tabs_->setObjectName(QStringLiteral("PageControl1"));
  for (int i = 0; i < 3; ++i) {
    grids_[static_cast<size_t>(i)] = new StringGrid;
    SetupGrid(i);
    tabs_->addTab(grids_[static_cast<size_t>(i)], QString::fromUtf8(kTabs[i]));
  }
  tabs_->setCurrentIndex(kTrio);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tabs_);
  RestoreGeometry();
}

TKaimeForm::~TKaimeForm() {
  // A window never shown keeps no place: it gets its first-time place next
  // time.
  if (stored_) SaveGeometry();
}

void TKaimeForm::SetupGrid(int index) {
  StringGrid* grid = grids_[static_cast<size_t>(index)];
  grid->setObjectName(QStringLiteral("StringGrid%1").arg(index + 1));
  grid->SetColCount(3);
  grid->SetRowCount(2);
  grid->SetFixedRows(1);
  grid->SetRowHeight(15);
  grid->SetGridFont(cell::Gothic(9));
  for (int c = 0; c < 3; ++c) {
    grid->SetColWidth(c, kColWidths[c]);
    grid->SetCell(c, 0, QString::fromUtf8(kHeaders[c]));
  }
  grid->SetDrawCellHandler([this, index](QPainter& p, int col, int row, const QRect& rect) {
    DrawCell(index, p, col, row, rect);
  });
  grid->FitCellsToText();
}

void TKaimeForm::ShowCombinations(const RaceDay& day, int selRace) {
  day_ = &day;
  race_ = selRace;
  for (StringGrid* grid : grids_) grid->ClearRows(1);
  KaimeTables tables = KaimeTablesOf(day, selRace);
  if (!tables.hasAxis) return;
  FillGrid(*grids_[kQuinella], tables.quinella);
  FillGrid(*grids_[kExacta], tables.exacta);
  FillGrid(*grids_[kTrio], tables.trio);
  for (StringGrid* grid : grids_) grid->FitCellsToText();
}

void TKaimeForm::Clear() {
  race_ = -1;
  for (StringGrid* grid : grids_) {
    grid->ClearRows(1);
    grid->SetRowCount(2);
  }
}

void TKaimeForm::KaimeHyoBtnClick() {
  stored_ = true;
  show();
  raise();
}

void TKaimeForm::DrawCell(int index, QPainter& p, int col, int row, const QRect& rect) const {
  const StringGrid& grid = *grids_[static_cast<size_t>(index)];
  const QString text = grid.Cell(col, row);
  QColor background = Qt::white;
  if (row == 0) {
    background = QColor(201, 146, 146);
  } else if (col == 0) {
    background = QColor(193, 255, 193);
  } else if (col == 1 && day_ != nullptr && race_ >= 0 && race_ < kRaceSlots) {
    std::string combination = FromQ(text).bytes();
    if (!IsBlank(combination)) {
      switch (index) {
        case kQuinella:
          background = CellColour(QuinellaGridColour(*day_, race_, combination));
          break;
        case kExacta:
          background = CellColour(ExactaGridColour(*day_, race_, combination));
          break;
        default:
          background = CellColour(TrioGridColour(*day_, race_, combination));
          break;
      }
    }
  }
  cell::Fill(p, rect, background);
  int x = (rect.width() - QFontMetrics(p.font()).horizontalAdvance(text)) / 2 - 1;
  cell::Text(p, rect, x, 1, text);
}

void TKaimeForm::RestoreGeometry() {
  SettingsFile settings;
  stored_ = settings.ReadInteger(kSection, "top", kMissing) != kMissing;
  int top = settings.ReadInteger(kSection, "top", 50);
  int left = settings.ReadInteger(kSection, "left", 700);
  int width = settings.ReadInteger(kSection, "width", 187);
  int height = settings.ReadInteger(kSection, "height", 500);
  // Wide enough for its three columns in the grid's font.
  width = std::max(width, grids_[0]->FullSize().width() + 24);
  RestorePlace(this, left, top, width, height, QSize(187, 500));
}

void TKaimeForm::SaveGeometry() const {
  SaveWindowPlace(this, kSection);
}

}  // namespace sorvix
