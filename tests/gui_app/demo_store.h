// A LocalStore acquired from a generated feed, made once per build of the
// test program and copied into each test's own home.
#pragma once

#include <filesystem>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "support/made_once.h"
#include "support/temp_home.h"
#include "tools/feedgen/generator.h"

namespace sorvix::test {

namespace fs = std::filesystem;

// The store: 2024年06月15日 and 2024年06月16日 (three venues each) with their
// results and payouts, and two weekends of earlier results.
inline const fs::path& DemoStore() {
  static fs::path store = MadeOnce(
      fs::path(SORVIX_BINARY_DIR) / "gui-test-store", WrittenAt("/proc/self/exe"),
      [](const fs::path& home) {
        fs::path feed = home.parent_path() / "feed";
        fs::remove_all(feed);
        feedgen::FeedOptions o;
        o.out = feed;
        o.from = feedgen::Date{2024, 6, 15};
        o.days = 2;
        o.seed = 77;
        o.historyWeeks = 2;
        o.oldWeeks = 0;
        o.replace = true;
        feedgen::GenerateFeed(o);
        fs::path previous = ProgramFolder::Get();
        ProgramFolder::Set(home);
        WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + feed.string() + "\r\n");
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
        return run.outcome() == AcquisitionRun::Outcome::Completed;
      });
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
