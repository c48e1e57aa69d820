// A long job of the core that a window runs on a worker thread while its
// progress bar and status line follow it and 中止 stops it.  The window
// owns one (as its last member, so that it goes first): it holds the
// thread and the flag the core's job polls, posts the job's progress to
// the GUI thread, and brings the job's result, or the message of what it
// threw, back there once the thread has ended.  Destroying it stops the
// job through the flag and waits for it; what the job had still to say is
// then dropped, so nothing reaches a window that is gone.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QProgressBar;

namespace sorvix {

class BackgroundRun : public QObject {
 public:
  BackgroundRun() = default;
  ~BackgroundRun() override;
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // Where the progress shows: the bar and the status line of the window.
  void ShowOn(QProgressBar* bar, QLabel* status);

  // From 実行 until the result has been handed over.
  bool Running() const { return worker_.joinable(); }
  // The flag for the core's options: cleared by Start, set by 中止.
  std::atomic<bool>* CancelFlag() { return &cancel_; }
  // 中止: the job stops at its next check and the status line says so
  // (nothing when no job runs).
  void Cancel();
  // From the worker: the bar at `done` of `total` and `text` on the status
  // line, shown on the GUI thread in the order posted.
  void Progress(int done, int total, const QString& text);

  // Runs `job` (returning a Result) on the worker thread; `done` gets on
  // the GUI thread, after the thread has ended, the result and an empty
  // message, or nullptr and the message of what the job threw.  False,
  // doing nothing, while a job runs.
  template <typename Result, typename Job, typename Done>
  bool Start(Job job, Done done) {
    auto result = std::make_shared<std::shared_ptr<Result>>();
    return Launch([job = std::move(job), result] { *result = std::make_shared<Result>(job()); },
                  [done = std::move(done), result](const QString& failure) {
                    done(std::move(*result), failure);
                  });
  }

 private:
  bool Launch(std::function<void()> work, std::function<void(const QString&)> finish);

  QProgressBar* bar_ = nullptr;
  QLabel* status_ = nullptr;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
};

}  // namespace sorvix
