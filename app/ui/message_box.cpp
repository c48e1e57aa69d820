#include "app/ui/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/ui/qt_text.h"
#include "common/error.h"

namespace sorvix {
namespace {

QString Title() {
  return QApplication::applicationName();
}

MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}

}  // namespace

void SetMessageHandler(MessageHandler handler) {
  Handler() = std::move(handler);
}

void ShowInformation(QWidget* parent, Cp932View text, bool beep) {
  ShowInformationUtf8(parent, Q(text), beep);
}

void ShowInformationUtf8(QWidget* parent, const QString& text, bool beep) {
  if (beep) QApplication::beep();
  if (Handler()) {
    Handler()(MessageKind::Information, text);
    return;
  }
  QMessageBox::information(parent, Title(), text, QMessageBox::Ok);
}

void ShowWarning(QWidget* parent, Cp932View text, bool beep) {
  ShowWarningUtf8(parent, Q(text), beep);
}

void ShowWarningUtf8(QWidget* parent, const QString& text, bool beep) {
  if (beep) QApplication::beep();
  if (Handler()) {
    Handler()(MessageKind::Warning, text);
    return;
  }
  QMessageBox::warning(parent, Title(), text, QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, Cp932View text, bool beep) {
  if (beep) QApplication::beep();
  if (Handler()) return Handler()(MessageKind::Question, Q(text));
  return QMessageBox::question(parent, Title(), Q(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void ShowError(QWidget* parent, const std::exception& error, const QString& lead, MessageKind box,
               bool beep) {
  const QString text = lead + QString::fromUtf8(AsError(error).what());
  if (beep) QApplication::beep();
  if (Handler()) {
    Handler()(box == MessageKind::Warning ? MessageKind::Warning : MessageKind::Information, text);
    return;
  }
  // A failure, with the failure's icon (an OK box like the others).
  QMessageBox::critical(parent, Title(), text, QMessageBox::Ok);
}

}  // namespace sorvix
