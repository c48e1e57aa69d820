// What an accumulating acquisition shows while it runs.  The window turns
// these events into its status line, bars, list and message boxes; the
// command-line tool prints them.
#pragma once

#include <string>

#include "codes/cp932_text.h"
#include "common/error.h"

namespace sorvix {

class AcquisitionObserver {
 public:
  virtual ~AcquisitionObserver() = default;

  // The status line.
  virtual void OnStatus(Cp932View /*text*/) {}
  // The download bar (files downloaded) and the read bar (files read).
  virtual void OnDownloadBar(int /*position*/, int /*maximum*/) {}
  virtual void OnReadBar(int /*position*/, int /*maximum*/) {}
  // The list of stored data: one line added, or the whole list cleared.
  virtual void OnStoredLine(Cp932View /*line*/) {}
  virtual void OnStoredListCleared() {}
  virtual void OnBeep() {}
  // An information box (always preceded by OnBeep).
  virtual void OnMessage(Cp932View /*text*/) {}
  // A store file could not be read or written; the text is UTF-8 and names
  // the file and the reason.  The read has ended.
  virtual void OnError(const Error& /*error*/) {}
  // A record (or its past-run copy) was not stored: `reason` (UTF-8) says
  // why (a damaged record, a date that is not a date, a race number outside
  // 1–12, a code that cannot name a file); `fileName` is the feed file.
  virtual void OnSkippedRecord(const std::string& /*recordType*/, const std::string& /*reason*/,
                               Cp932View /*fileName*/) {}
  // A warning that does not end the run (UTF-8).
  virtual void OnWarning(const std::string& /*text*/) {}
  // Another program is writing to this ProgramFolder (`message`, UTF-8).
  // Return true to wait until it is done, false to give up: the run then
  // ends with OnError(error).
  virtual bool WaitForOtherWriter(const std::string& /*message*/) { return false; }
  // The busy cursor on or off.
  virtual void OnBusy(bool /*busy*/) {}
  // The status polling timer (10 ms) started or stopped.
  virtual void OnTimer(bool /*running*/) {}
  // The new LastTime ("yyyy/mm/dd hh:nn:ss") after a complete read: the
  // date picker shows it.
  virtual void OnLastTime(const std::string& /*lastTime*/) {}
  // Called before each record is read: the window processes its pending
  // messages here, so that the cancel button can act.
  virtual void ProcessEvents() {}
};

}  // namespace sorvix
