#include "app/ui/background_run.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "common/error.h"

namespace sorvix {

BackgroundRun::~BackgroundRun() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void BackgroundRun::ShowOn(QProgressBar* bar, QLabel* status) {
  bar_ = bar;
  status_ = status;
}

void BackgroundRun::Cancel() {
  if (!Running()) return;
  cancel_ = true;
  status_->setText(QStringLiteral("中止しています…"));
}

void BackgroundRun::Progress(int done, int total, const QString& text) {
  QMetaObject::invokeMethod(
      this,
      [this, done, total, text] {
        bar_->setMaximum(std::max(1, total));
        bar_->setValue(std::min(done, std::max(1, total)));
        status_->setText(text);
      },
      Qt::QueuedConnection);
}

bool BackgroundRun::Launch(std::function<void()> work, std::function<void(const QString&)> finish) {
  if (Running()) return false;
  cancel_ = false;
  worker_ = std::thread([this, work = std::move(work), finish = std::move(finish)] {
    QString failure;
    try {
      work();
    } catch (const std::exception& e) {
      failure = QString::fromStdString(AsError(e).what());
    }
    // Queued to this object, so dropped if it is destroyed first; run here
    // after the worker is done, so the window sees Running() false.
    QMetaObject::invokeMethod(
        this,
        [this, finish, failure] {
          worker_.join();
          finish(failure);
        },
        Qt::QueuedConnection);
  });
  return true;
}

}  // namespace sorvix
