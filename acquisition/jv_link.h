// The JV-Link boundary: the operations of JRA-VAN's download component with
// its calling order and result conventions.  Every call comes from the one
// thread that owns the instance.
//
// Calling order: JVInit once; per accumulating acquisition JVOpen →
// (JVStatus polling while the download count is above 0) → JVRead loop →
// JVClose; per real-time fetch JVRTOpen → JVRead loop → JVClose.  JVCancel may
// come at any time during an acquisition.
#pragma once

#include <memory>
#include <string>

namespace sorvix {

class JvLink {
 public:
  virtual ~JvLink() = default;

  // 0 on success; −101..−103 for a missing, long or blank software id.
  virtual int JVInit(const std::string& sid) = 0;

  // Shows the component's own settings dialog; 0 on success.
  virtual int JVSetUIProperties() = 0;

  // Opens the data of `dataspec` newer than `fromTime` ("yyyymmddhhnnss").
  // Option 1 is normal data, 3 setup data.  Out: the number of files to
  // read, the number of them still to download, and the time stamp of the
  // newest file.  −201 before JVInit, −202 while a previous open is not
  // closed.
  virtual int JVOpen(const std::string& dataspec, const std::string& fromTime, int option,
                     int& readCount, int& downloadCount, std::string& lastFileTimestamp) = 0;

  // Files downloaded so far (0 … download count); negative on error.
  virtual int JVStatus() = 0;

  // Reads the next record into `buffer` (CP932, ending with CR LF).
  // > 0: the record's length; 0: all data read; −1: the next file begins;
  // −2, −3: nothing yet, call again; below −3: an error.
  virtual int JVRead(std::string& buffer, int size, std::string& fileName) = 0;

  // Stops a running download.
  virtual void JVCancel() = 0;

  // Ends an open JVOpen or JVRTOpen.
  virtual int JVClose() = 0;

  // Opens the real-time data `dataspec` ("0B12") for the key "yyyymmdd".
  virtual int JVRTOpen(const std::string& dataspec, const std::string& key) = 0;

  // The component's version, four characters such as "0490".
  virtual std::string Version() const = 0;
};

}  // namespace sorvix
