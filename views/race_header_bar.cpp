#include "views/race_header_bar.h"

#include <QGridLayout>
#include <QLabel>

#include "app/ui/qt_text.h"
#include "views/string_grid.h"
#include "views/text/race_selection.h"

namespace sorvix {

RaceHeaderBar::RaceHeaderBar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("RaceHeader"));
  setStyleSheet(QStringLiteral("QFrame#RaceHeader { background: #FFFFE0; }"));
  setFrameShape(QFrame::StyledPanel);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  auto make = [this](const char* name, int points, bool bold) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(cell::Gothic(points, bold));
    return label;
  };
  Label3D115 = make("Label3D115", 10, true);
  Label3D1 = make("Label3D1", 14, true);
  Label3D2 = make("Label3D2", 16, true);
  Label3D2->setAlignment(Qt::AlignCenter);
  Label3D2->setMinimumWidth(34);
  Label3D2->setStyleSheet(QStringLiteral("background: black; color: white; padding: 1px 4px;"));
  Label3D2->setAutoFillBackground(true);
  Label3D3 = make("Label3D3", 9, false);
  Label3D4 = make("Label3D4", 14, true);
  Label3D5 = make("Label3D5", 9, false);
  Label3D6 = make("Label3D6", 9, false);
  Label3D7 = make("Label3D7", 9, false);
  Label3D8 = make("Label3D8", 9, false);
  Label3D9 = make("Label3D9", 9, false);
  Label3D110 = make("Label3D110", 9, false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(0);
  grid->addWidget(Label3D1, 0, 0, 2, 1);
  grid->addWidget(Label3D2, 0, 1, 2, 1);
  grid->addWidget(Label3D115, 0, 2);
  grid->addWidget(Label3D3, 1, 2, 1, 6);
  grid->addWidget(Label3D4, 0, 3, 1, 5);
  grid->addWidget(Label3D5, 0, 8);
  grid->addWidget(Label3D6, 0, 9);
  grid->addWidget(Label3D7, 1, 8);
  grid->addWidget(Label3D8, 1, 9);
  grid->addWidget(Label3D9, 0, 10);
  grid->addWidget(Label3D110, 1, 10);
  grid->setColumnStretch(7, 1);
  Clear();
}

void RaceHeaderBar::Show(const RaceHeaderText& t) {
  Label3D115->setText(Q(t.grade));
  Label3D1->setText(Q(t.venue).trimmed());
  Label3D2->setText(Q(t.raceNumber));
  Label3D3->setText(Q(t.dateMeeting));
  Label3D4->setText(Q(t.raceName).trimmed());
  Label3D5->setText(Q(t.weightRule));
  Label3D6->setText(Q(t.raceClass));
  Label3D7->setText(Q(t.track));
  Label3D8->setText(Q(t.distance));
  Label3D9->setText(Q(t.postTime));
  Label3D110->setText(Q(t.runners));
  Label3D2->setVisible(true);
}

void RaceHeaderBar::Clear() {
  for (QLabel* label : findChildren<QLabel*>()) label->clear();
  Label3D2->setVisible(false);
}

}  // namespace sorvix
