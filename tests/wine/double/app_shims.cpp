// The few program-folder and file helpers FeedJvLink needs, for the test
// double's DLL: the program folder is the folder of the DLL, files are read
// and written through the standard library.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"

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

std::optional<std::string> ReadFileIfExists(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw IoError("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw IoError("cannot write " + path.string());
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

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

}  // namespace sorvix
