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

  QLabel* Label3D115 = nullptr;  // grade
  QLabel* Label3D1 = nullptr;    // venue
  QLabel* Label3D2 = nullptr;    // race number
  QLabel* Label3D3 = nullptr;    // date and meeting
  QLabel* Label3D4 = nullptr;    // race name
  QLabel* Label3D5 = nullptr;    // weight rule
  QLabel* Label3D6 = nullptr;    // class
  QLabel* Label3D7 = nullptr;    // track
  QLabel* Label3D8 = nullptr;    // distance
  QLabel* Label3D9 = nullptr;    // post time
  QLabel* Label3D110 = nullptr;  // runners
};

}  // namespace sorvix
