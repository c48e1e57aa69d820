// The few program-folder and file helpers FeedJvLink needs, for the test
// double's DLL: the program folder is the folder of the DLL, files are read
// and written through the standard library and the C runtime.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"

extern HMODULE jvlink_double_module;

namespace sorvix {

const fs::path& ProgramFolder::Get() {
  static const fs::path folder = [] {
    wchar_t name[MAX_PATH];
    DWORD n = GetModuleFileNameW(jvlink_double_module, name, MAX_PATH);
    return fs::path(std::wstring(name, n)).parent_path();
  }();
  return folder;
}

int OpenRegularFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    if (!fs::exists(path, ec)) return -1;
    throw Error("not a regular file: " + path.string());
  }
  // Binary: the records' CR LF must reach the reader unchanged.
  int fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) throw Error("cannot read " + path.string());
  return fd;
}

std::optional<std::string> ReadFileIfExists(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (end != std::string_view::npos || !line.empty()) lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The component's settings file (jvlink.ini beside the DLL): read only; the
// double has no settings dialog to write it.
SettingsFile::SettingsFile(const fs::path& path) : path_(ProgramFolder::Get() / path) {}

std::string SettingsFile::ReadProfileString(std::string_view section, std::string_view key,
                                            std::string_view def) const {
  auto lower = [](std::string_view text) {
    std::string out(text);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  };
  std::optional<std::string> bytes = ReadFileIfExists(path_);
  if (!bytes) return std::string(def);
  bool inSection = false;
  for (const std::string& line : SplitLines(*bytes)) {
    if (!line.empty() && line.front() == '[') {
      inSection = lower(line) == "[" + lower(section) + "]";
    } else if (size_t eq = line.find('=');
               inSection && eq != std::string::npos && lower(line.substr(0, eq)) == lower(key)) {
      std::string value = line.substr(eq + 1);
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      return value;
    }
  }
  return std::string(def);
}

// A file that is there but cannot be read says so at its first read.
void SettingsFile::CheckReadable() const {
  ReadFileIfExists(path_);
}

void SettingsFile::WriteString(std::string_view, std::string_view, std::string_view) {
  throw Error("the double does not write its settings");
}

}  // namespace sorvix
