// The program's three kinds of modal message: information with OK, warning,
// and a Yes/No question.
#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "codes/cp932_text.h"

class QWidget;

namespace sorvix {

void ShowInformation(QWidget* parent, Cp932View text, bool beep = true);
void ShowWarning(QWidget* parent, Cp932View text, bool beep = true);
bool AskYesNo(QWidget* parent, Cp932View text, bool beep = true);

enum class MessageKind { Information, Warning, Question };

// Tests replace the modal boxes: the handler receives each message (UTF-8)
// and returns true for Yes.  An empty handler restores the boxes.
using MessageHandler = std::function<bool(MessageKind, const QString&)>;
void SetMessageHandler(MessageHandler handler);

// The same with UTF-8 texts (platform messages); a failure that is no
// exception (a file not found, an argument not understood) as a warning.
void ShowInformationUtf8(QWidget* parent, const QString& text, bool beep = true);
void ShowWarningUtf8(QWidget* parent, const QString& text, bool beep = true);

// How every window shows a failure: the message of `error` (an Error, or
// any exception as AsError tells it) after `lead`, in an OK box with the
// failure icon (`box` is what a test's handler is told: the print
// commands' failures are warnings).
void ShowError(QWidget* parent, const std::exception& error, const QString& lead = {},
               MessageKind box = MessageKind::Information, bool beep = true);

}  // namespace sorvix
