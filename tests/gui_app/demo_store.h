// A LocalStore acquired from a generated feed, made once per build of the
// test program and copied into each test's own home.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "support/temp_home.h"
#include "tools/feedgen/generator.h"

namespace sorvix::test {

namespace fs = std::filesystem;

// The store: 2024年06月15日 and 2024年06月16日 (three venues each) with their
// results and payouts, and two weekends of earlier results.
inline const fs::path& DemoStore() {
  static fs::path store = [] {
    fs::path base = fs::path(SORVIX_BINARY_DIR) / "gui-test-store";
    fs::create_directories(base);
    int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::string build =
        std::to_string(fs::last_write_time("/proc/self/exe").time_since_epoch().count());
    auto made = ReadFileIfExists(base / "stamp");
    fs::path home = base / "home";
    if (!made || *made != build) {
      fs::remove_all(home);
      fs::remove_all(base / "feed");
      feedgen::FeedOptions o;
      o.out = base / "feed";
      o.from = feedgen::Date{2024, 6, 15};
      o.days = 2;
      o.seed = 77;
      o.historyWeeks = 2;
      o.oldWeeks = 0;
      o.replace = true;
      feedgen::GenerateFeed(o);
      fs::path previous = ProgramFolder::Get();
      fs::create_directories(home);
      ProgramFolder::Set(home);
      WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + (base / "feed").string() + "\r\n");
      CreateStoreFolders();
      FeedJvLink link;
      link.JVInit("SORVIX");
      AcquisitionObserver observer;
      SettingsFile settings;
      AcquisitionRun run(link, observer, settings);
      run.Start("20240101000000", true, 2026);
      for (int i = 0; i < 100000 && run.state() == AcquisitionRun::State::Downloading; ++i)
        run.Tick();
      ProgramFolder::Set(previous);
      WriteFileAtomic(base / "stamp", build);
    }
    if (lock >= 0) close(lock);
    return home;
  }();
  return store;
}

// A test home holding a copy of the demo store.
class DemoHome : public TempHome {
 public:
  DemoHome() {
    for (const char* folder : {"Data", "SEI", "UM2", "KSCH", "JVLink"}) {
      std::error_code ec;
      fs::copy(DemoStore() / folder, path() / folder, fs::copy_options::recursive, ec);
    }
    fs::create_directories(path() / "JVLink");
  }
};

}  // namespace sorvix::test
