#include "app/settings_file.h"

#include <optional>
#include <vector>

#include "app/file_io.h"
#include "app/home_lock.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "codes/text.h"

namespace sorvix {
namespace {

constexpr char kOpenBracket = '\xA2';   // ｢ (half-width, one byte)
constexpr char kCloseBracket = '\xA3';  // ｣

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// "[name]" → name; nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// "key=value" → key; nullopt for lines without "=".
std::optional<std::string_view> KeyName(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

// A byte-order mark that an editor put at the start of the file is no part
// of its first line (it would hide the first section).
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view WithoutBom(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  return bytes;
}

// Reads fall back to the defaults when the file cannot be read (the front
// ends say so once at start, see CheckReadable); writes never do.
std::vector<std::string> LoadLines(const std::filesystem::path& path) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileIfExists(path);
  } catch (const Error&) {
    return {};
  }
  return bytes ? SplitLines(WithoutBom(*bytes)) : std::vector<std::string>{};
}

// Reads a whole-text integer: blanks, sign, digits (or $hex / 0xhex).
std::optional<int> ParseInteger(std::string_view s) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 1 && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  long long value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * base + digit;
    if (value > 0x7FFFFFFFLL + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 0x7FFFFFFFLL || value < -0x80000000LL) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

SettingsFile::SettingsFile() : path_(ProgramFolder::Get() / "sorvix.ini") {}

SettingsFile::SettingsFile(const std::filesystem::path& path)
    : path_(path.has_parent_path() ? path : ProgramFolder::Get() / path) {}

std::string SettingsFile::ReadProfileString(std::string_view section, std::string_view key,
                                            std::string_view def) const {
  bool inSection = false;
  for (const std::string& line : LoadLines(path_)) {
    if (auto name = SectionName(line)) {
      inSection = EqualsIgnoreCase(*name, section);
      continue;
    }
    if (!inSection) continue;
    auto name = KeyName(line);
    if (!name || !EqualsIgnoreCase(*name, key)) continue;
    std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value);
  }
  std::string_view d = def;
  while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
  return std::string(d);
}

std::string UnquoteSetting(std::string_view value) {
  if (value.size() == 2 && ((value[0] == '"' && value[1] == '"') ||
                            (value[0] == kOpenBracket && value[1] == kCloseBracket)))
    return {};
  if (value.size() > 2 && ((value.front() == '"' && value.back() == '"') ||
                           (value.front() == kOpenBracket && value.back() == kCloseBracket)))
    return std::string(value.substr(1, value.size() - 2));
  return std::string(value);
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
  std::string wrapped;
  wrapped += kOpenBracket;
  wrapped += def;
  wrapped += kCloseBracket;
  return UnquoteSetting(ReadProfileString(section, key, wrapped));
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  std::string value = ReadProfileString(section, key, "");
  return ParseInteger(value).value_or(def);
}

void SettingsFile::CheckReadable() const {
  ReadFileIfExists(path_);
}

namespace {

// Sets key=value in the section of `lines`: the key's line replaced, or
// added after the section's last key line, or with a new section at the end.
void SetEntry(std::vector<std::string>& lines, std::string_view section, std::string_view key,
              std::string_view value) {
  std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::optional<size_t> sectionEnd;  // index after the last key line of the section
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      if (inSection) break;
      inSection = EqualsIgnoreCase(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) sectionEnd = i + 1;
    auto name = KeyName(lines[i]);
    if (name && EqualsIgnoreCase(*name, key)) {
      lines[i] = entry;
      return;
    }
  }
  if (sectionEnd) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
}

}  // namespace

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  WriteSection(section, {{std::string(key), std::string(value)}});
}

void SettingsFile::WriteSection(std::string_view section, const Entries& entries) {
  // One writer at a time: the read, the change and the write below must not
  // interleave with another program's.
  HomeLock lock = HomeLock::Acquire(HomeLock::kShortWait);
  // A file that exists but cannot be read is never replaced: every other
  // key in it would be lost.
  std::optional<std::string> bytes = ReadFileIfExists(path_);
  std::vector<std::string> lines =
      bytes ? SplitLines(WithoutBom(*bytes)) : std::vector<std::string>{};
  // The file keeps its mark.
  const std::string mark =
      bytes && WithoutBom(*bytes).size() != bytes->size() ? std::string(kBom) : "";
  for (const auto& [key, value] : entries) SetEntry(lines, section, key, value);
  WriteFileAtomic(path_, mark + JoinLines(lines));
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

}  // namespace sorvix
