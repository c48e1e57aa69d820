#include "store/ui/prgrs_form.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/fonts.h"
#include "app/ui/qt_text.h"

namespace sorvix {

TPrgrsForm::TPrgrsForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("PrgrsForm"));
  setFixedSize(420, 110);
  setAutoFillBackground(true);
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
  setStyleSheet(QStringLiteral("TPrgrsForm { border: 2px solid #808080; }"));
}

void TPrgrsForm::Show() {
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
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
