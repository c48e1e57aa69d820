// The race header on the tool bar's light-yellow band: grade, venue, race
// number (white on black), date and meeting, race name, weight rule, class,
// track, distance, post time and runners of the selected race.
#pragma once

#include <QFrame>

class QLabel;

namespace sorvix {

struct RaceHeaderText;

class RaceHeaderBar : public QFrame {
  Q_OBJECT
 public:
  explicit RaceHeaderBar(QWidget* parent = nullptr);
  void Show(const RaceHeaderText& text);
  void Clear();

 private:
  // Each label's objectName is its name in the program (Label3D115…).
  QLabel* grade_label_ = nullptr;         // Label3D115
  QLabel* venue_label_ = nullptr;         // Label3D1
  QLabel* race_number_label_ = nullptr;   // Label3D2
  QLabel* date_meeting_label_ = nullptr;  // Label3D3
  QLabel* race_name_label_ = nullptr;     // Label3D4
  QLabel* weight_rule_label_ = nullptr;   // Label3D5
  QLabel* class_label_ = nullptr;         // Label3D6
  QLabel* track_label_ = nullptr;         // Label3D7
  QLabel* distance_label_ = nullptr;      // Label3D8
  QLabel* post_time_label_ = nullptr;     // Label3D9
  QLabel* runners_label_ = nullptr;       // Label3D110
};

}  // namespace sorvix
