// A setup acquisition of a feed folder into the current ProgramFolder, in
// this process, as JVデータ取得 makes it: the home's jvlink.ini names the
// feed, the store folders are made, and the run is ticked to its end.
#pragma once

#include <filesystem>
#include <string>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "app/file_io.h"
#include "app/program_folder.h"
#include "app/settings_file.h"

namespace sorvix::test {

// Acquires `feed` from `from` ("yyyymmddhhnnss") into `home` (the current
// ProgramFolder); returns how the run ended.
inline AcquisitionRun::Outcome AcquireFeedInto(const std::filesystem::path& home,
                                               const std::filesystem::path& feed,
                                               const std::string& from = "20220101000000") {
  WriteFileAtomic(home / "jvlink.ini", "[Feed]\r\nFolder=" + feed.string() + "\r\n");
  CreateStoreFolders();
  FeedJvLink link;
  if (link.JVInit("SORVIX") != 0) return AcquisitionRun::Outcome::JvError;
  AcquisitionObserver observer;
  SettingsFile settings;
  AcquisitionRun run(link, observer, settings);
  run.Start(from, true, 2026);
  for (int i = 0; i < 100000 && run.state() == AcquisitionRun::State::Downloading; ++i) run.Tick();
  return run.outcome();
}

}  // namespace sorvix::test
