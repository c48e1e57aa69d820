// The SettingsFile accessor: an INI file read and written with the rules of
// the Windows profile functions, plus the program's own quote rules for
// texts.  Every window opens the same file; each read goes to the file, so a
// value written by one window is seen by the next read of any other.
//
// Texts are CP932, like the file.  A read of a file that cannot be read
// gives the defaults; the front ends check the file once at start
// (CheckReadable) and tell the user.  A write that fails throws Error: the
// caller that asked for it tells the user (one message per write).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sorvix {

class SettingsFile {
 public:
  // The settings file of the program: "sorvix.ini" in ProgramFolder.
  SettingsFile();
  // A settings file elsewhere; a name without a folder part is placed in
  // ProgramFolder.
  explicit SettingsFile(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return path_; }

  // The key's value as a decimal integer; `def` when the key is missing or
  // its value is not a number.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  void WriteInteger(std::string_view section, std::string_view key, int value);

  // The key's value with the quote rules applied; `def` when missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Stores the text unchanged, without adding quotes, keeping every other
  // line and the file's mode, under the ProgramFolder's writer lock.  A file
  // that exists but cannot be read is never replaced: the write throws
  // Error.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Several keys of one section (key, value text) in one write: the file is
  // replaced once, with all of them or, when the write fails, none.
  using Entries = std::vector<std::pair<std::string, std::string>>;
  void WriteSection(std::string_view section, const Entries& entries);

  // Throws Error naming the file when it exists but cannot be read (a
  // folder, a FIFO, no permission).  A missing file is fine.
  void CheckReadable() const;

  // The raw profile read: the value with one enclosing pair of single or
  // double quotes dropped, or `def` when the key is missing.
  std::string ReadProfileString(std::string_view section, std::string_view key,
                                std::string_view def) const;

 private:
  std::filesystem::path path_;
};

// The text-read quote rule: "" and ｢｣ become empty; a longer value enclosed
// in double quotes or in ｢ ｣ loses them; anything else is unchanged.
std::string UnquoteSetting(std::string_view value);

}  // namespace sorvix
