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
  // Chooses the folder: `home` when given, else $SORVIX_HOME, else
  // DefaultProgramFolder of the executable's folder; a relative one is
  // taken from the folder the program was started in.  Creates it when
  // missing (a user data folder made on the first start gets an empty feed
  // folder "JVLink" with it) and returns whether it did.  Throws Error
  // when it is not a folder that can be listed (a file, /proc, a loop), or
  // its "Data" is not.  The working folder is left as it is.
  static bool Resolve(const std::string& home, const char* argv0);
  static void Set(const fs::path& folder);
  static const fs::path& Get();

  // The folder the program was started in (taken from the system, not from
  // $PWD), and a path given by the user resolved against it.
  static const fs::path& StartFolder();
  static fs::path FromStartFolder(const fs::path& path);
};

// The program folder for an executable in `exeFolder`: that folder, or for
// an installed program (a "bin" folder, or one it cannot write) the user's
// data folder $XDG_DATA_HOME/sorvix, by default ~/.local/share/sorvix.
fs::path DefaultProgramFolder(const fs::path& exeFolder);

// ProgramFolder + the relative part `relative` (CP932, "\"-separated).
fs::path HomePath(std::string_view relative);

// The relative part alone, as a UTF-8 path relative to ProgramFolder.
fs::path RelativeStorePath(std::string_view relative);

// Creates the store folders "\SEI", "\SEIR", "\UM2", "\DATA", "\KSCH" when
// missing.  Throws Error when one cannot be created.
void CreateStoreFolders();

}  // namespace sorvix
