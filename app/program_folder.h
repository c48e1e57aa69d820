// ProgramFolder: the folder every path of the program hangs off.
//
// Paths are written as in the stored data's own convention: a CP932 relative
// part beginning with a backslash ("\Data\2008年01月05日.jvRA").  HomePath turns
// one into a file-system path: backslashes become slashes, the text becomes
// UTF-8, and the store's top folders are matched without regard to case, so
// "\DATA", "\Data" and "\data" are all the one folder "Data".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sorvix {

namespace fs = std::filesystem;

class ProgramFolder {
 public:
  // Chooses the folder: `home` when given, else $SORVIX_HOME, else the
  // folder of the executable `argv0`, or ~/.local/share/sorvix when that
  // folder is not writable (an installed program).  Creates it when missing
  // and makes it the current directory.
  static void Resolve(const std::string& home, const char* argv0);
  static void Set(const fs::path& folder);
  static const fs::path& Get();
};

// ProgramFolder + the relative part `relative` (CP932, "\"-separated).
fs::path HomePath(std::string_view relative);

// The relative part alone, as a UTF-8 path relative to ProgramFolder.
fs::path RelativeStorePath(std::string_view relative);

// Creates the store folders "\SEI", "\SEIR", "\UM2", "\DATA", "\KSCH" when
// missing.  Throws IoError when one cannot be created.
void CreateStoreFolders();

}  // namespace sorvix
