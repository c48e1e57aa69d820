// The demo feed acquired into a home, made once per build of the test
// program in the build folder and shared by its tests (ctest runs each in
// a process of its own).
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "tools/feedgen/generator.h"

namespace sorvix::test {

inline std::filesystem::path DemoHome() {
  namespace fs = std::filesystem;
  fs::path base = fs::path(SORVIX_BINARY_DIR) / "tune-demo-store";
  fs::path home = base / "home";
  fs::create_directories(base);
  int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR, 0644);
  if (lock >= 0) flock(lock, LOCK_EX);
  std::string build =
      std::to_string(fs::last_write_time("/proc/self/exe").time_since_epoch().count());
  std::optional<std::string> made = ReadFileIfExists(base / "stamp");
  if (!made || *made != build) {
    fs::remove_all(home);
    fs::create_directories(home);
    feedgen::FeedOptions demo = feedgen::DemoOptions(home / "JVLink");
    demo.legacyUmaHome = home;
    feedgen::GenerateFeed(demo);
    fs::path previous = ProgramFolder::Get();
    ProgramFolder::Set(home);
    WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + (home / "JVLink").string() + "\r\n");
    CreateStoreFolders();
    FeedJvLink link;
    link.JVInit("SORVIX");
    AcquisitionObserver observer;
    SettingsFile settings;
    AcquisitionRun run(link, observer, settings);
    run.Start("20220101000000", true, 2026);
    for (int i = 0; i < 1000000 && run.state() == AcquisitionRun::State::Downloading; ++i)
      run.Tick();
    ProgramFolder::Set(previous);
    if (run.outcome() == AcquisitionRun::Outcome::Completed) WriteFileAtomic(base / "stamp", build);
  }
  if (lock >= 0) close(lock);
  return home;
}

}  // namespace sorvix::test
