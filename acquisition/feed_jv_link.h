// FeedJvLink: the JV-Link of this platform.  It serves JV-Data from a local
// feed folder instead of downloading it, with the calling order and result
// codes of the download component.  The folder layout, the settings file
// and the fault-injection keys are described in docs/feed-layout.md.
//
// Feed folder:
//   <SPEC><yyyymmddhhnnss>.jvd   accumulating data, served by JVOpen
//   rt/<yyyymmdd>/*.jvd          real-time data, served by JVRTOpen
//   fault.ini                    optional injected failures (tests)
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/jv_link.h"

namespace sorvix {

class FeedJvLink : public JvLink {
 public:
  // The component's settings dialog: gets the current feed folder (UTF-8
  // path) and returns the chosen one, or nullopt when the user cancels.
  using FolderChooser = std::function<std::optional<std::string>(const std::string& current)>;

  FeedJvLink() = default;
  explicit FeedJvLink(FolderChooser chooser) : chooser_(std::move(chooser)) {}
  ~FeedJvLink() override;
  FeedJvLink(const FeedJvLink&) = delete;
  FeedJvLink& operator=(const FeedJvLink&) = delete;

  // Where the component says what it passed over (data files whose time
  // stamp is not a real date and time), UTF-8; standard error by default.
  void SetWarningSink(std::function<void(const std::string&)> sink) { warn_ = std::move(sink); }

  void SetFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }

  // The feed folder: [Feed] Folder of ProgramFolder + "/jvlink.ini" (a
  // relative value hangs off ProgramFolder), else ProgramFolder + "/JVLink";
  // empty when jvlink.ini is there but cannot be read.
  static std::filesystem::path FeedFolder();
  // Why there is no feed folder to read (jvlink.ini cannot be read, the
  // folder is missing or not a folder), naming the file or folder (UTF-8);
  // empty when there is one.
  static std::string FeedFolderProblem();
  // The settings file of the component.
  static std::filesystem::path SettingsPath();
  // The component counts as installed when its feed folder exists.
  static bool IsInstalled();

  int JVInit(const std::string& sid) override;
  int JVSetUIProperties() override;
  int JVOpen(const std::string& dataspec, const std::string& fromTime, int option, int& readCount,
             int& downloadCount, std::string& lastFileTimestamp) override;
  int JVStatus() override;
  int JVRead(std::string& buffer, int size, std::string& fileName) override;
  void JVCancel() override;
  int JVClose() override;
  int JVRTOpen(const std::string& dataspec, const std::string& key) override;
  std::string Version() const override;

 private:
  // One injected failure: the code, and the call (1-based) it applies to;
  // 0 applies to every call.
  struct Fault {
    int code = 0;
    int call = 0;
    bool fired = false;
  };

  // One file of an open: its path and name.
  struct FeedFile {
    std::filesystem::path path;
    std::string name;
  };

  void LoadFaults();
  // A new JVOpen or JVRTOpen: the previous session ends, the per-open call
  // counts restart and fault.ini is read again.
  void BeginOpen();
  // The code to return for the `call`-th call of `operation`, or 0.
  int FaultFor(const std::string& operation, int call);
  int OpenCheck() const;
  void StartSession(std::vector<FeedFile> files, int downloadCount);
  void EndSession();
  // Opens the current file when needed; 0 or an error code.
  int LoadCurrentFile();
  void CloseCurrentFile();
  // The next line of the current file without its line end: 1 with
  // `content` and the offset after it in `end`, 0 at the end of the file,
  // or an error code.
  int NextLine(std::string_view& content, size_t& end);
  void Warn(const std::string& text) const;

  FolderChooser chooser_;
  std::function<void(const std::string&)> warn_;
  bool initialized_ = false;

  // Faults of the last JVInit, JVOpen or JVRTOpen, and the settings read
  // with them.
  std::map<std::string, Fault> faults_;
  std::optional<int> download_step_;
  bool downloaded_ = false;

  // Calls of JVInit, JVSetUIProperties, JVOpen and JVRTOpen over the life of
  // the instance; calls of JVStatus and JVClose and records returned by
  // JVRead since the last open.
  std::map<std::string, int> calls_;

  // The open session.
  bool open_ = false;
  bool cancelled_ = false;
  std::vector<FeedFile> files_;
  int download_count_ = 0;
  int downloaded_files_ = 0;
  size_t file_index_ = 0;
  // The current file is read in pieces, a record at a time, so that a file
  // of any size needs only its longest line in memory.
  bool file_loaded_ = false;
  int file_fd_ = -1;
  bool file_eof_ = false;
  std::string file_buffer_;
  size_t file_pos_ = 0;
};

}  // namespace sorvix
