// The settings file: any bytes read through every reader of the program's
// settings, and a value written to a new section reads back as written
// while every value that was there before reads the same afterwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "acquisition/acquisition_time.h"
#include "analysis/sign_points.h"
#include "app/io_error.h"
#include "app/settings_file.h"
#include "fuzz/fuzz_home.h"
#include "store/estimate.h"

using namespace sorvix;

namespace {

// The section and key names the text shows, as a reader would ask for them.
std::vector<std::pair<std::string, std::string>> NamedKeys(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  while (!text.empty() && keys.size() < 64) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (size_t eq = line.find('='); eq != std::string_view::npos && eq > 0) {
      keys.emplace_back(section, std::string(line.substr(0, eq)));
    }
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  fuzz::WriteFuzzFile(fuzz::FuzzHome() / "sorvix.ini", text);
  try {
    SettingsFile settings(fuzz::FuzzHome() / "sorvix.ini");
    SignPoints::Load(settings);
    ReadEstimateSource(settings);
    ReadAcquisitionDefaults(settings, std::time_t{1700000000});

    auto keys = NamedKeys(text);
    std::vector<std::string> before;
    for (const auto& [section, key] : keys) {
      before.push_back(settings.ReadProfileString(section, key, "\x01missing"));
      settings.ReadInteger(section, key, -1);
      settings.ReadString(section, key, "");
    }

    std::string value;
    for (char c : text.substr(0, 40))
      if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) value += c;
    settings.WriteString("FuzzCheck\x7f", "Written", value);
    if (settings.ReadProfileString("FuzzCheck\x7f", "Written", "\x01missing") != value)
      std::abort();
    for (size_t i = 0; i < keys.size(); ++i)
      if (settings.ReadProfileString(keys[i].first, keys[i].second, "\x01missing") != before[i])
        std::abort();
  } catch (const Error&) {
  }
  return 0;
}
