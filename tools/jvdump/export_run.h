// The exporter's work, apart from the Windows component it talks to: it
// drives a JvLink in the calling order of an acquisition (JVInit, JVOpen,
// JVStatus polling, the JVRead loop, JVClose) or of a real-time fetch
// (JVRTOpen, the JVRead loop, JVClose) and writes every record into the feed
// folder layout that FeedJvLink serves (docs/feed-layout.md):
//
//   <out>/RACEDIFN<yyyymmddhhnnss>.jvd   one file per accumulating run
//   <out>/rt/<yyyymmdd>/0B12<yyyymmddhhnnss>.jvd   one file per real-time run
//   <out>/sorvix-jvdump.state            where the last complete run ended
//
// A file is written under "<name>.tmp" and renamed when the run is
// complete, so a reader of the folder never sees half a run under a .jvd
// name.  Its time stamp orders it after every earlier file of the folder.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#include "acquisition/jv_link.h"

namespace sorvix::jvdump {

// Exit codes of sorvix-jvdump.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNothingNew = 1;  // JVOpen/JVRTOpen found no newer data
inline constexpr int kExitFailed = 2;      // a JV-Link error, a file error, no component
inline constexpr int kExitCancelled = 3;   // Ctrl+C
inline constexpr int kExitLossy = 4;       // complete, but some record did not come across exactly
inline constexpr int kExitBusy = 5;        // another exporter is writing into the folder
inline constexpr int kExitUsage = 64;      // bad arguments

// The buffer every record is read with, in bytes (JV-Link's own samples
// read with 110,000; the longest record, H6, has 102,890).
inline constexpr int kReadBufferSize = 110000;

// JVRead results of the exporter's own, below every code of the component:
// the component took a record without handing it over (a form of JVGets
// that does not work here; the open is read again from its start), and a
// positive result that came with no bytes.
inline constexpr int kRecordLost = -10001;
inline constexpr int kRecordEmpty = -10002;
// A record whose text does not go back into the bytes it was made from
// (the component converted it with a code page other than CP932's).
inline constexpr int kRecordUnconvertible = -10003;

struct ExportOptions {
  std::filesystem::path out;
  bool setup = false;    // JVOpen option 3 (setup data) instead of 1
  std::string from;      // "yyyymmddhhnnss"; empty: continue from the state file
  std::string realtime;  // "yyyymmdd": a real-time run of that day instead
  std::string sid;       // the software id for JVInit; empty: kSoftwareId
};

// What the exporter asks of the component beyond the JvLink calls.
class ComponentExtras {
 public:
  virtual ~ComponentExtras() = default;
  // JVFiledelete: removes a cached file that JVRead found damaged (−402,
  // −403), so that the next JVOpen downloads it again; 0 on success.
  virtual int JVFiledelete(const std::string& fileName) = 0;
};

// Where the exporter's texts go.  Texts are CP932.
class ExportReporter {
 public:
  virtual ~ExportReporter() = default;
  // A message on its own line.
  virtual void Line(const std::string& text) = 0;
  // A progress line; the next progress line replaces it where the output
  // is a console.
  virtual void Progress(const std::string& text) = 0;
  // A record that did not come across exactly; counted.
  void Warning(const std::string& text) {
    ++warnings_;
    Line(text);
  }
  int warnings() const { return warnings_; }
  // The pause between two polls of the component (about 10 ms).  The
  // Windows program pumps its thread's window messages meanwhile, which a
  // single-threaded COM component may need to make progress.
  virtual void Wait();
  // Before every read: the Windows program handles its pending window
  // messages (the component's windows, its timers).
  virtual void Pump() {}

 private:
  int warnings_ = 0;
};

// The state file of an export folder.
std::filesystem::path StatePath(const std::filesystem::path& out);

// "yyyymmddhhnnss" one second later; empty when `stamp` is not 14 digits.
std::string NextStamp(const std::string& stamp);

// The stamp for a new file of `folder`: `wanted`, or one second after the
// newest .jvd file of the folder when that is not earlier than `wanted`.
std::string OrderedStamp(const std::filesystem::path& folder, const std::string& wanted);

// The lock file that keeps a second exporter out of a folder while one
// writes into it.
std::filesystem::path LockPath(const std::filesystem::path& out);

// One export; returns its exit code.  `cancel` is set by Ctrl+C.  A record
// the component lost while the reading form was found out, and a damaged
// cached file (deleted through `extras` once), make the run open and read
// again from its start.
int RunExport(JvLink& link, ComponentExtras& extras, const ExportOptions& options,
              ExportReporter& reporter, const std::atomic<bool>& cancel);

}  // namespace sorvix::jvdump
