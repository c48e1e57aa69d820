// UpDown1: the race stepper beside DateCombo, a horizontal pair of arrow
// buttons with a position between 0 and a maximum.
#pragma once

#include <QWidget>

class QToolButton;

namespace sorvix {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

  int Position() const { return position_; }
  int Max() const { return max_; }
  void SetMax(int max);
  // Sets the position without announcing it.
  void SetPosition(int position);

 signals:
  // An arrow moved the position.
  void Clicked(int position);

 private:
  void Step(int delta);

  QToolButton* previous_button_ = nullptr;  // Left
  QToolButton* next_button_ = nullptr;      // Right
  int position_ = 0;
  int max_ = 0;
};

}  // namespace sorvix
