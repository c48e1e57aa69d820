#include "app/program_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <array>
#include <cstdlib>
#include <system_error>

#include "app/io_error.h"
#include "codes/cp932.h"
#include "codes/text.h"

namespace sorvix {
namespace {

fs::path& Folder() {
  static fs::path folder = fs::current_path();
  return folder;
}

// The canonical spelling of the top folders that the stored data name in
// several letter cases.
constexpr std::array<std::string_view, 9> kTopFolders = {"SEI", "SEIR", "UM2",      "Data",  "KSCH",
                                                         "UMA", "ylzh", "HPupload", "JVLink"};

bool Writable(const fs::path& folder) {
  return access(folder.c_str(), W_OK) == 0;
}

// $XDG_DATA_HOME/sorvix, else ~/.local/share/sorvix.  Without either there
// is no folder of the user's own: a shared one such as /tmp would be lost at
// reboot and open to other users, so that is an error.
fs::path UserDataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && fs::path(xdg).is_absolute())
    return fs::path(xdg) / "sorvix";
  const char* user = std::getenv("HOME");
  if (user && *user && fs::path(user).is_absolute()) return fs::path(user) / ".local/share/sorvix";
  throw Error("データフォルダを決められません", "",
              "環境変数 HOME と XDG_DATA_HOME がどちらも設定されていません。"
              "--home DIR または環境変数 SORVIX_HOME でデータフォルダを指定してください");
}

fs::path& Start() {
  static fs::path start = [] {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    return ec ? fs::path("/") : here;
  }();
  return start;
}

// Throws Error when `folder` (or its "Data" folder, where it exists) is
// not a folder that can be listed.
void CheckFolder(const fs::path& folder, const char* what) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) ThrowIoError(std::string(what) + "を開けません", folder);
  if (!S_ISDIR(st.st_mode)) {
    errno = 0;
    ThrowIoError(std::string(what) + "がフォルダではありません", folder);
  }
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) ThrowIoError(std::string(what) + "を読み込めません", folder);
  ::closedir(dir);
}

}  // namespace

fs::path DefaultProgramFolder(const fs::path& exeFolder) {
  // An installed program sits in the "bin" folder of a prefix (/usr/bin,
  // /usr/local/bin, ~/.local/bin), which is no place for data even when it
  // can be written (root), or in a folder it cannot write.
  if (exeFolder.filename() == "bin" || !Writable(exeFolder)) return UserDataFolder();
  return exeFolder;
}

const fs::path& ProgramFolder::StartFolder() {
  return Start();
}

fs::path ProgramFolder::FromStartFolder(const fs::path& path) {
  if (path.empty() || path.is_absolute()) return path;
  return (Start() / path).lexically_normal();
}

bool ProgramFolder::Resolve(const std::string& home, const char* argv0) {
  Start();  // the folder the program was started in, before anything else
  fs::path folder;
  bool userFolder = false;  // the default user data folder of an installed program
  if (!home.empty()) {
    folder = FromStartFolder(home);
  } else if (const char* env = std::getenv("SORVIX_HOME"); env && *env) {
    folder = FromStartFolder(env);
  } else {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0) exe = fs::absolute(argv0, ec);
    folder = DefaultProgramFolder(exe.parent_path());
    userFolder = folder != exe.parent_path();
  }
  std::error_code ec;
  bool made = false;
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 && errno == ENOENT) {
    made = fs::create_directories(folder, ec);
    if (ec) {
      errno = ec.value();
      ThrowIoError("データフォルダを作成できません", folder);
    }
    // The installed program brings its feed component along: a user data
    // folder made on the first start gets the default feed folder with it.
    if (userFolder) fs::create_directory(folder / "JVLink", ec);
  }
  CheckFolder(folder, "データフォルダ");
  fs::path data = folder / "Data";
  if (::lstat(data.c_str(), &st) == 0) CheckFolder(data, "データフォルダ内の Data ");
  // Every path is built from this absolute folder; the working folder stays
  // where the program was started, so relative names given by the user keep
  // their meaning.
  Set(fs::absolute(folder, ec).lexically_normal());
  return made;
}

void ProgramFolder::Set(const fs::path& folder) {
  Folder() = folder;
}

const fs::path& ProgramFolder::Get() {
  return Folder();
}

fs::path RelativeStorePath(std::string_view relative) {
  fs::path out;
  bool first = true;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = start;
    // Split on backslashes and slashes; a trail byte of a CP932 character can
    // be 0x5C, so step over double-byte characters.
    while (end < relative.size() && relative[end] != '\\' && relative[end] != '/') {
      unsigned char c = static_cast<unsigned char>(relative[end]);
      end += ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
    }
    if (end > relative.size()) end = relative.size();
    std::string_view part = relative.substr(start, end - start);
    // "." and ".." never leave ProgramFolder: names come from record fields.
    if (!part.empty() && part != "." && part != "..") {
      std::string name = Utf8(Cp932View::FromBytes(part));
      if (first) {
        for (std::string_view top : kTopFolders)
          if (EqualsIgnoreCase(name, top)) name = std::string(top);
      }
      out /= name;
      first = false;
    }
    start = end + 1;
  }
  return out;
}

fs::path HomePath(std::string_view relative) {
  return ProgramFolder::Get() / RelativeStorePath(relative);
}

void CreateStoreFolders() {
  for (const char* name : {"\\SEI", "\\SEIR", "\\UM2", "\\DATA", "\\KSCH"}) {
    fs::path folder = HomePath(name);
    std::error_code ec;
    if (fs::is_directory(folder, ec)) continue;
    if (!fs::create_directory(folder, ec)) {
      errno = ec.value();
      ThrowIoError("フォルダを作成できません", folder);
    }
  }
}

}  // namespace sorvix
