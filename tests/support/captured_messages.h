// The program's message boxes caught in a test: every text shown is kept
// in order instead of opening a box, and questions are answered yes.  The
// catch lasts as long as the object.
#pragma once

#include <QString>
#include <vector>

#include "app/ui/message_box.h"

namespace sorvix::test {

class CapturedMessages : public std::vector<QString> {
 public:
  CapturedMessages() {
    SetMessageHandler([this](MessageKind, const QString& text) {
      push_back(text);
      return true;
    });
  }
  ~CapturedMessages() { SetMessageHandler({}); }
  CapturedMessages(const CapturedMessages&) = delete;
  CapturedMessages& operator=(const CapturedMessages&) = delete;
};

}  // namespace sorvix::test
