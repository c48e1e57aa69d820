// The progress window of long store operations: a box with a drawn border
// (the window has no title bar) above the main window, centred on the
// screen, with a title line, a detail line and a progress bar.  Pending window messages are
// processed after every change so the texts stay live.
#pragma once

#include <QElapsedTimer>
#include <QFrame>

#include "store/load_progress.h"

class QLabel;
class QProgressBar;

namespace sorvix {

class TPrgrsForm : public QFrame, public LoadProgress {
  Q_OBJECT
 public:
  explicit TPrgrsForm(QWidget* parent = nullptr);

  void Show() override;
  void Close() override;
  void SetTitle(Cp932View text) override;
  void SetDetail(Cp932View text) override;
  bool ShowsDetail() const override { return true; }
  void SetRange(int max) override;
  void Advance() override;
  void ProcessEvents() override;

 private:
  QLabel* title_label_ = nullptr;         // TitleLabel
  QLabel* detail_label_ = nullptr;        // DetailLabel
  QProgressBar* progress_bar_ = nullptr;  // ProgressBar1
  // Pending messages are processed at most once a frame: the texts stay
  // live without a repaint for every runner of a 36-race day.
  QElapsedTimer since_events_;
};

}  // namespace sorvix
