#include "bench/bench_feed.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "tools/feedgen/generator.h"

namespace sorvix::bench {

namespace fs = std::filesystem;

namespace {

fs::path Base() {
  return fs::path(SORVIX_BENCH_DIR) / "bench-data";
}

// The stamp tells data made by this build of the program from older data.
std::string BuildStamp() {
  return std::to_string(fs::last_write_time("/proc/self/exe").time_since_epoch().count());
}

// Runs `make` into `folder` unless a stamp of this build is there already.
template <typename Make>
void MakeOnce(const fs::path& folder, Make make, const std::string& version = BuildStamp()) {
  fs::path stamp = folder / "stamp";
  std::optional<std::string> made = ReadFileIfExists(stamp);
  if (made && *made == version) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  make();
  WriteFileAtomic(stamp, version);
}

// A feed of `options` acquired into `home`, made once under `folder`.
AcquiredFeed MakeAcquired(const std::string& name, feedgen::FeedOptions options,
                          const std::string& version) {
  AcquiredFeed f{Base() / name / "feed", Base() / name / "home"};
  fs::create_directories(Base());
  int lock = open((Base() / "lock").c_str(), O_CREAT | O_RDWR, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  MakeOnce(
      Base() / name,
      [&] {
        options.out = f.feed;
        options.replace = true;
        feedgen::GenerateFeed(options);
        AcquireInto(f.feed, f.home);
      },
      version);
  if (lock >= 0) close(lock);
  return f;
}

}  // namespace

void AcquireInto(const fs::path& feed, const fs::path& home) {
  fs::path previous = ProgramFolder::Get();
  fs::create_directories(home);
  ProgramFolder::Set(home);
  WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + feed.string() + "\r\n");
  CreateStoreFolders();
  FeedJvLink link;
  if (link.JVInit("SORVIX") != 0) throw std::runtime_error("JVInit failed");
  AcquisitionObserver observer;
  SettingsFile settings;
  AcquisitionRun run(link, observer, settings);
  run.Start("20000101000000", true, 2026);
  for (int i = 0; i < 10000000 && run.state() == AcquisitionRun::State::Downloading; ++i)
    run.Tick();
  ProgramFolder::Set(previous);
  if (run.outcome() != AcquisitionRun::Outcome::Completed)
    throw std::runtime_error("acquisition of " + feed.string() + " did not complete");
}

const AcquiredFeed& DayFeed() {
  static const AcquiredFeed feed = [] {
    AcquiredFeed f{Base() / "day" / "feed", Base() / "day" / "home"};
    fs::create_directories(Base());
    int lock = open((Base() / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    MakeOnce(Base() / "day", [&] {
      feedgen::FeedOptions o;
      o.out = f.feed;
      o.from = feedgen::Date{2024, 6, 15};
      o.days = 2;
      o.seed = 20240615;
      o.replace = true;
      feedgen::GenerateFeed(o);
      AcquireInto(f.feed, f.home);
    });
    if (lock >= 0) close(lock);
    return f;
  }();
  return feed;
}

const fs::path& YearFeed() {
  static const fs::path feed = [] {
    fs::path f = Base() / "year" / "feed";
    fs::create_directories(Base());
    int lock = open((Base() / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    MakeOnce(Base() / "year", [&] {
      feedgen::FeedOptions o;
      o.out = f;
      o.from = feedgen::Date{2023, 1, 7};
      o.days = 100;
      o.seed = 2023;
      o.replace = true;
      feedgen::GenerateFeed(o);
    });
    if (lock >= 0) close(lock);
    return f;
  }();
  return feed;
}

const AcquiredFeed& DemoFeed() {
  static const AcquiredFeed feed = [] {
    feedgen::FeedOptions o = feedgen::DemoOptions({});
    o.legacyUmaHome = Base() / "demo" / "home";
    return MakeAcquired("demo", o, BuildStamp());
  }();
  return feed;
}

const AcquiredFeed& TenSeasonsFeed() {
  static const AcquiredFeed feed = [] {
    feedgen::FeedOptions o;
    o.from = feedgen::Date{2015, 1, 3};
    o.days = 1000;
    o.seed = 10;
    o.historyWeeks = 0;
    o.oldWeeks = 0;
    // Some minutes to make and about 1.5 GB: kept across builds (delete
    // the folder to make it again).
    return MakeAcquired("ten-seasons", o, "ten-seasons-3");
  }();
  return feed;
}

}  // namespace sorvix::bench
