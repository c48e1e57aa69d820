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
  grade_label_ = make("Label3D115", 10, true);
  venue_label_ = make("Label3D1", 14, true);
  race_number_label_ = make("Label3D2", 16, true);
  race_number_label_->setAlignment(Qt::AlignCenter);
  race_number_label_->setMinimumWidth(34);
  race_number_label_->setStyleSheet(
      QStringLiteral("background: black; color: white; padding: 1px 4px;"));
  race_number_label_->setAutoFillBackground(true);
  date_meeting_label_ = make("Label3D3", 9, false);
  race_name_label_ = make("Label3D4", 14, true);
  weight_rule_label_ = make("Label3D5", 9, false);
  class_label_ = make("Label3D6", 9, false);
  track_label_ = make("Label3D7", 9, false);
  distance_label_ = make("Label3D8", 9, false);
  post_time_label_ = make("Label3D9", 9, false);
  runners_label_ = make("Label3D110", 9, false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(0);
  grid->addWidget(venue_label_, 0, 0, 2, 1);
  grid->addWidget(race_number_label_, 0, 1, 2, 1);
  grid->addWidget(grade_label_, 0, 2);
  grid->addWidget(date_meeting_label_, 1, 2, 1, 6);
  grid->addWidget(race_name_label_, 0, 3, 1, 5);
  grid->addWidget(weight_rule_label_, 0, 8);
  grid->addWidget(class_label_, 0, 9);
  grid->addWidget(track_label_, 1, 8);
  grid->addWidget(distance_label_, 1, 9);
  grid->addWidget(post_time_label_, 0, 10);
  grid->addWidget(runners_label_, 1, 10);
  grid->setColumnStretch(7, 1);
  Clear();
}

void RaceHeaderBar::Show(const RaceHeaderText& t) {
  grade_label_->setText(Q(t.grade));
  venue_label_->setText(Q(t.venue).trimmed());
  race_number_label_->setText(Q(t.raceNumber));
  date_meeting_label_->setText(Q(t.dateMeeting));
  race_name_label_->setText(Q(t.raceName).trimmed());
  weight_rule_label_->setText(Q(t.weightRule));
  class_label_->setText(Q(t.raceClass));
  track_label_->setText(Q(t.track));
  distance_label_->setText(Q(t.distance));
  post_time_label_->setText(Q(t.postTime));
  runners_label_->setText(Q(t.runners));
  race_number_label_->setVisible(true);
}

void RaceHeaderBar::Clear() {
  for (QLabel* label : findChildren<QLabel*>()) label->clear();
  race_number_label_->setVisible(false);
}

}  // namespace sorvix
