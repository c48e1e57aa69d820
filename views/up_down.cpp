#include "views/up_down.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <algorithm>

namespace sorvix {

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("UpDown1"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  previous_button_ = new QToolButton(this);
  previous_button_->setObjectName(QStringLiteral("Left"));
  previous_button_->setArrowType(Qt::LeftArrow);
  next_button_ = new QToolButton(this);
  next_button_->setObjectName(QStringLiteral("Right"));
  next_button_->setArrowType(Qt::RightArrow);
  for (QToolButton* b : {previous_button_, next_button_}) {
    b->setAutoRepeat(true);
    b->setFixedSize(22, 24);
    layout->addWidget(b);
  }
  previous_button_->setStatusTip(QStringLiteral("前のレースを表示します"));
  next_button_->setStatusTip(QStringLiteral("次のレースを表示します"));
  connect(previous_button_, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(next_button_, &QToolButton::clicked, this, [this] { Step(1); });
}

void UpDown::SetMax(int max) {
  max_ = std::max(0, max);
  position_ = std::clamp(position_, 0, max_);
}

void UpDown::SetPosition(int position) {
  position_ = std::clamp(position, 0, max_);
}

void UpDown::Step(int delta) {
  int next = std::clamp(position_ + delta, 0, max_);
  if (next == position_) return;
  position_ = next;
  emit Clicked(position_);
}

}  // namespace sorvix
