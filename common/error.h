// The one way an operation of Sorvix fails: it throws Error.
//
// what() is one UTF-8 Japanese message that says what failed, on which file
// and the system's reason ("書き込めません: /home/x/Data/x.ra: ディスクの空き
// 領域がありません"); a front end shows it as it is (the GUI with
// ShowError, the CLI after "sorvix-cli: ").  The parts stay readable on
// their own, and the kind lets a front end treat the few cases that differ
// without reading the text.  Outcomes that are not failures (a date that is
// not stored, an archive without odds) are reported in the operation's
// result, not thrown.  Only the JV-Link result codes stay codes: they are
// the component's contract.
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sorvix {

class Error : public std::runtime_error {
 public:
  enum class Kind {
    Io,         // a file or folder could not be read or written
    Damaged,    // a stored file is not what it must be
    Busy,       // another process holds the data folder
    NoPrinter,  // printing without a printer
  };

  // A failure told in one message (UTF-8).
  explicit Error(const std::string& message, Kind kind = Kind::Io)
      : std::runtime_error(message), kind_(kind) {}
  // "operation: file: reason"; an empty file or reason is left out.
  Error(std::string_view operation, std::string_view file, std::string_view reason,
        Kind kind = Kind::Io)
      : std::runtime_error(Compose(operation, file, reason)),
        kind_(kind),
        operation_(operation),
        file_(file),
        reason_(reason) {}

  Kind kind() const { return kind_; }
  // The parts, when the error was made from them (else empty).
  const std::string& operation() const { return operation_; }
  const std::string& file() const { return file_; }
  const std::string& reason() const { return reason_; }

 private:
  static std::string Compose(std::string_view operation, std::string_view file,
                             std::string_view reason) {
    std::string message(operation);
    for (std::string_view part : {file, reason})
      if (!part.empty()) message.append(": ").append(part);
    return message;
  }

  Kind kind_;
  std::string operation_;
  std::string file_;
  std::string reason_;
};

// `e` as an Error: itself when it is one, else an Error of kind Io that
// tells its text (a memory shortage in Japanese).
inline Error AsError(const std::exception& e) {
  if (const auto* error = dynamic_cast<const Error*>(&e)) return *error;
  if (dynamic_cast<const std::bad_alloc*>(&e)) return Error("メモリが足りません");
  return Error(e.what());
}

}  // namespace sorvix
