// sorvix-feedgen: writes a synthetic JV-Data feed folder.
//
//   sorvix-feedgen --out FEED --from 2024-01-06 --days N --seed S [--legacy-uma HOME]
//   sorvix-feedgen --demo --out FEED [--legacy-uma HOME]
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/feedgen/generator.h"

namespace {

void Usage() {
  std::fprintf(
      stderr,
      "使い方: sorvix-feedgen --out FEED --from yyyy-mm-dd --days N --seed S [オプション]\n"
      "        sorvix-feedgen --demo --out FEED [オプション]\n"
      "オプション:\n"
      "  --legacy-uma HOME    旧形式の馬ファイルを HOME/UMA/<yyyy>/ に書く\n"
      "  --history-weeks N    フィードより前の成績の週数（既定 8）\n"
      "  --old-weeks N        約 80 週前の成績の週数（既定 2）\n"
      "  --hold-last-results  最後の週末の成績ファイルを書かない\n"
      "  --force              FEED にあるフィードを置き換える\n");
}

bool ParseInt(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return end && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit fails with EFBIG and is reported
  // like any other failed write, instead of ending the program silently.
  std::signal(SIGXFSZ, SIG_IGN);
  using sorvix::feedgen::Date;
  using sorvix::feedgen::FeedOptions;
  FeedOptions options;
  bool demo = false, haveOut = false;
  std::string legacy;
  int historyWeeks = -1, oldWeeks = -1;
  bool hold = false, force = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "sorvix-feedgen: %s の値がありません\n", arg.c_str());
        std::exit(2);
      }
      out = argv[++i];
    };
    auto number = [&](long long min, long long max) {
      std::string text;
      value(text);
      long long n = 0;
      if (!ParseInt(text, n) || n < min || n > max) {
        std::fprintf(stderr, "sorvix-feedgen: %s: %lld～%lld の数ではありません: %s\n", arg.c_str(),
                     min, max, text.c_str());
        std::exit(2);
      }
      return n;
    };
    if (arg == "--out") {
      std::string v;
      value(v);
      options.out = v;
      haveOut = true;
    } else if (arg == "--from") {
      std::string v;
      value(v);
      auto date = Date::Parse(v);
      if (!date) {
        std::fprintf(stderr, "sorvix-feedgen: --from: 日付（yyyy-mm-dd）ではありません: %s\n",
                     v.c_str());
        return 2;
      }
      options.from = *date;
    } else if (arg == "--days") {
      options.days = static_cast<int>(number(1, 2000));
    } else if (arg == "--seed") {
      options.seed = static_cast<uint64_t>(number(0, 9223372036854775807LL));
    } else if (arg == "--legacy-uma") {
      value(legacy);
    } else if (arg == "--history-weeks") {
      historyWeeks = static_cast<int>(number(0, 60));
    } else if (arg == "--old-weeks") {
      oldWeeks = static_cast<int>(number(0, 8));
    } else if (arg == "--hold-last-results") {
      hold = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg == "--demo") {
      demo = true;
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "sorvix-feedgen: 不明なオプションです: %s\n", arg.c_str());
      Usage();
      return 2;
    }
  }
  if (!haveOut) {
    Usage();
    return 2;
  }
  if (demo) options = sorvix::feedgen::DemoOptions(options.out);
  if (!legacy.empty()) options.legacyUmaHome = legacy;
  if (historyWeeks >= 0) options.historyWeeks = historyWeeks;
  if (oldWeeks >= 0) options.oldWeeks = oldWeeks;
  options.holdLastResults = hold;
  options.replace = force;
  try {
    auto started = std::chrono::steady_clock::now();
    sorvix::feedgen::FeedSummary s = sorvix::feedgen::GenerateFeed(options);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "feed %s: %zu meeting day%s %s … %s (+%zu days of earlier results), %d races, %d "
        "runners,\n",
        options.out.string().c_str(), s.feedDays.size(), s.feedDays.size() == 1 ? "" : "s",
        s.feedDays.front().Iso().c_str(), s.feedDays.back().Iso().c_str(), s.historyDays.size(),
        s.races, s.runners);
    std::printf("%d files, %.1f MB, %zu odds archives, %d old horse files, %.1f s\n", s.files,
                static_cast<double>(s.bytes) / 1e6, s.oddsArchives.size(), s.legacyHorseFiles,
                seconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sorvix-feedgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
