#include "cli/feed_link.h"

#include <cstdio>
#include <string>

#include "acquisition/feed_jv_link.h"
#include "app/startup_checks.h"
#include "codes/cp932.h"

namespace sorvix::cli {

bool OpenFeedLink(FeedJvLink& link) {
  // No feed to read is said as it is, not as a component error code.
  if (std::string problem = FeedJvLink::FeedFolderProblem(); !problem.empty()) {
    std::fprintf(stderr, "sorvix-cli: %s\n", problem.c_str());
    return false;
  }
  link.SetWarningSink([](const std::string& text) {
    std::fprintf(stderr, "sorvix-cli: 警告: %s\n", text.c_str());
  });
  int init = link.JVInit(kSoftwareId);
  if (init != 0) {
    std::fprintf(stderr, "sorvix-cli: %s\n", Utf8(JvInitErrorMessage(init)).c_str());
    return false;
  }
  return true;
}

}  // namespace sorvix::cli
