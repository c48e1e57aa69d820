#include "store/ui/prgrs_form.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/fonts.h"
#include "app/ui/qt_text.h"

namespace sorvix {

TPrgrsForm::TPrgrsForm(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("PrgrsForm"));
  setAutoFillBackground(true);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(2);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
  setPalette(colours);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(16, 12, 16, 12);
  title_label_ = new QLabel(QStringLiteral("データを読み込んでいます"), this);
  title_label_->setObjectName(QStringLiteral("TitleLabel"));
  title_label_->setFont(GothicFont(10, true));
  detail_label_ = new QLabel(this);
  detail_label_->setObjectName(QStringLiteral("DetailLabel"));
  detail_label_->setFont(GothicFont(10));
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_bar_->setTextVisible(false);
  frame->addWidget(title_label_);
  frame->addWidget(detail_label_);
  frame->addWidget(progress_bar_);
  for (QLabel* label : {title_label_, detail_label_}) {
    // The labels keep the normal text colour, not the border's.
    QPalette text = label->palette();
    text.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    label->setPalette(text);
  }
  // Wide enough for the longest detail line, high enough for the font.
  QFontMetrics metrics(detail_label_->font());
  setFixedSize(std::max(420, metrics.horizontalAdvance(QStringLiteral("0")) * 60),
               sizeHint().height());
}

void TPrgrsForm::Show() {
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen();
  if (screen) move(screen->availableGeometry().center() - rect().center());
  show();
  raise();
  since_events_.invalidate();
  ProcessEvents();
}

void TPrgrsForm::Close() {
  hide();
}

void TPrgrsForm::SetTitle(Cp932View text) {
  title_label_->setText(Q(text));
  ProcessEvents();
}

void TPrgrsForm::SetDetail(Cp932View text) {
  detail_label_->setText(Q(text));
  ProcessEvents();
}

void TPrgrsForm::SetRange(int max) {
  progress_bar_->setRange(0, std::max(1, max));
  progress_bar_->setValue(0);
}

void TPrgrsForm::Advance() {
  progress_bar_->setValue(std::min(progress_bar_->maximum(), progress_bar_->value() + 1));
  ProcessEvents();
}

void TPrgrsForm::ProcessEvents() {
  if (since_events_.isValid() && since_events_.elapsed() < 16) return;
  QCoreApplication::processEvents();
  since_events_.start();
}

}  // namespace sorvix
