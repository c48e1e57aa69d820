// The demo store (feedgen --demo, acquired as the demo does through the two
// programs), made once per build of the programs and shared by every test
// that reads it (ctest runs each test as its own process).
#pragma once

#include <filesystem>
#include <string>

#include "support/made_once.h"
#include "support/shell.h"

namespace sorvix::test {

// The demo store's home, made when missing or older than the programs;
// empty when the programs are not built.
inline std::string DemoStoreHome() {
  namespace fs = std::filesystem;
  if (!fs::exists(kCli) || !fs::exists(kFeedgen)) return "";
  fs::path base = fs::path(SORVIX_BINARY_DIR) / "backtest-demo-store";
  return MadeOnce(base, WrittenAt(kCli) + WrittenAt(kFeedgen),
                  [](const fs::path& home) {
                    std::string h = home.string();
                    return Shell(kFeedgen.string() + " --demo --out " + h +
                                 "/JVLink --legacy-uma " + h + " --force >/dev/null 2>&1 && " +
                                 kCli.string() + " --home " + h +
                                 " acquire --setup --from 2022-01-01 >/dev/null 2>&1")
                               .status == 0;
                  })
      .string();
}

}  // namespace sorvix::test
