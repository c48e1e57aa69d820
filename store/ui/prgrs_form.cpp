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
  TitleLabel = new QLabel(QStringLiteral("データを読み込んでいます"), this);
  TitleLabel->setFont(GothicFont(10, true));
  DetailLabel = new QLabel(this);
  DetailLabel->setFont(GothicFont(10));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setTextVisible(false);
  frame->addWidget(TitleLabel);
  frame->addWidget(DetailLabel);
  frame->addWidget(ProgressBar1);
  for (QLabel* label : {TitleLabel, DetailLabel}) {
    // The labels keep the normal text colour, not the border's.
    QPalette text = label->palette();
    text.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    label->setPalette(text);
  }
  // Wide enough for the longest detail line, high enough for the font.
  QFontMetrics metrics(DetailLabel->font());
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

void TPrgrsForm::SetTitle(std::string_view cp932) {
  TitleLabel->setText(Q(cp932));
  ProcessEvents();
}

void TPrgrsForm::SetDetail(std::string_view cp932) {
  DetailLabel->setText(Q(cp932));
  ProcessEvents();
}

void TPrgrsForm::SetRange(int max) {
  ProgressBar1->setRange(0, std::max(1, max));
  ProgressBar1->setValue(0);
}

void TPrgrsForm::Advance() {
  ProgressBar1->setValue(std::min(ProgressBar1->maximum(), ProgressBar1->value() + 1));
  ProcessEvents();
}

void TPrgrsForm::ProcessEvents() {
  if (since_events_.isValid() && since_events_.elapsed() < 16) return;
  QCoreApplication::processEvents();
  since_events_.start();
}

}  // namespace sorvix
