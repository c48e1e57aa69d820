// What a long store operation (loading a date, the assignment) reports while
// it runs: a title line, a detail line and a progress bar, as the progress
// window shows them.  Texts are CP932.  ProcessEvents() is called after every
// text change so that a window can stay live; every method does nothing by
// default.
#pragma once

#include <string_view>

namespace sorvix {

class LoadProgress {
 public:
  virtual ~LoadProgress() = default;

  virtual void Show() {}
  virtual void Close() {}
  virtual void SetTitle(std::string_view /*cp932*/) {}
  virtual void SetDetail(std::string_view /*cp932*/) {}
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
