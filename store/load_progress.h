// What a long store operation (loading a date, the assignment) reports while
// it runs: a title line, a detail line and a progress bar, as the progress
// window shows them.  ProcessEvents() is called after every
// text change so that a window can stay live; every method does nothing by
// default.
#pragma once

#include "codes/cp932_text.h"

namespace sorvix {

class LoadProgress {
 public:
  virtual ~LoadProgress() = default;

  virtual void Show() {}
  virtual void Close() {}
  virtual void SetTitle(Cp932View /*text*/) {}
  virtual void SetDetail(Cp932View /*text*/) {}
  // Whether the detail line is shown at all: a step may skip making texts
  // that nobody reads.  A progress that overrides SetDetail returns true.
  virtual bool ShowsDetail() const { return false; }
  // Bar maximum; the position goes back to 0.
  virtual void SetRange(int /*max*/) {}
  // Position + 1.
  virtual void Advance() {}
  virtual void ProcessEvents() {}
};

}  // namespace sorvix
