// The worker of サイン検証, 配点最適化 and SQLite へ書き出し: progress and
// result reach the GUI thread in order and only after the worker ended, a
// job that throws comes back as its message, 中止 reaches the job, and a
// window destroyed mid-run waits for its job and hears nothing from it.
#include "app/ui/background_run.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <chrono>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

#include "common/error.h"

namespace sorvix {
namespace {

struct Outcome {
  std::shared_ptr<int> result;
  QString failure;
  bool running = true;  // Running() as the window sees it when told
};

class BackgroundRunTest : public ::testing::Test {
 protected:
  BackgroundRunTest() { run->ShowOn(&bar, &status); }

  // Starts `job`; the outcome is kept in `outcome` when it comes.
  template <typename Job>
  bool Start(Job job) {
    return run->Start<int>(job, [this](std::shared_ptr<int> result, const QString& failure) {
      outcome = Outcome{std::move(result), failure, run->Running()};
    });
  }
  bool Told() {
    return QTest::qWaitFor([this] { return outcome.has_value(); }, 10000);
  }

  QProgressBar bar;
  QLabel status;
  std::unique_ptr<BackgroundRun> run = std::make_unique<BackgroundRun>();
  std::optional<Outcome> outcome;
};

TEST_F(BackgroundRunTest, ProgressThenResultOnTheGuiThreadAfterTheWorkerEnded) {
  const std::thread::id gui = std::this_thread::get_id();
  std::atomic<bool> onWorker{false};
  ASSERT_TRUE(Start([&] {
    onWorker = std::this_thread::get_id() != gui;
    run->Progress(1, 3, QStringLiteral("検証中: 2024-06-01"));
    run->Progress(3, 3, QStringLiteral("検証中: 2024-06-02"));
    return 42;
  }));
  EXPECT_TRUE(run->Running());
  EXPECT_FALSE(Start([] { return 0; })) << "a second job while one runs";
  ASSERT_TRUE(Told());
  EXPECT_TRUE(onWorker);
  ASSERT_TRUE(outcome->result);
  EXPECT_EQ(*outcome->result, 42);
  EXPECT_TRUE(outcome->failure.isEmpty());
  EXPECT_FALSE(outcome->running);
  EXPECT_EQ(bar.maximum(), 3);
  EXPECT_EQ(bar.value(), 3);
  EXPECT_EQ(status.text(), QStringLiteral("検証中: 2024-06-02"));
}

TEST_F(BackgroundRunTest, AJobThatThrowsComesBackAsItsJapaneseMessage) {
  struct Case {
    std::function<int()> job;
    QString failure;
  } cases[] = {
      {[]() -> int { throw Error("書き込めません: /x.db: ディスクの空き領域がありません"); },
       QStringLiteral("書き込めません: /x.db: ディスクの空き領域がありません")},
      {[]() -> int { throw std::bad_alloc(); }, QStringLiteral("メモリが足りません")},
  };
  for (const Case& c : cases) {
    outcome.reset();
    ASSERT_TRUE(Start(c.job));
    ASSERT_TRUE(Told());
    EXPECT_FALSE(outcome->result);
    EXPECT_EQ(outcome->failure, c.failure);
    EXPECT_FALSE(run->Running()) << "the next job may start";
  }
}

// A job of the core: runs until the flag is set, telling its progress.
int UntilStopped(BackgroundRun* run, std::atomic<bool>* started) {
  int steps = 0;
  while (!run->CancelFlag()->load()) {
    run->Progress(++steps, 1000000, QStringLiteral("書き出し中"));
    *started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return steps;
}

TEST_F(BackgroundRunTest, CancelReachesTheJobAndSaysSoUntilItStops) {
  std::atomic<bool> started{false};
  ASSERT_TRUE(Start([&] { return UntilStopped(run.get(), &started); }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 10000));
  run->Cancel();
  EXPECT_EQ(status.text(), QStringLiteral("中止しています…"));
  ASSERT_TRUE(Told());
  ASSERT_TRUE(outcome->result);
  EXPECT_GT(*outcome->result, 0);

  // The next job starts with the flag clear.
  outcome.reset();
  ASSERT_TRUE(Start([&] { return run->CancelFlag()->load() ? 1 : 0; }));
  ASSERT_TRUE(Told());
  EXPECT_EQ(*outcome->result, 0);
}

TEST_F(BackgroundRunTest, DestroyedMidRunItStopsAndWaitsForTheJobAndDropsItsNews) {
  std::atomic<bool> started{false}, ended{false};
  ASSERT_TRUE(Start([&] {
    int steps = UntilStopped(run.get(), &started);
    ended = true;
    return steps;
  }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 10000));
  const int shown = bar.value();
  run.reset();
  EXPECT_TRUE(ended) << "the job outlived its window";
  QCoreApplication::processEvents();
  QTest::qWait(50);
  EXPECT_FALSE(outcome) << "a destroyed run still handed over its result";
  EXPECT_EQ(bar.value(), shown) << "a destroyed run still moved the bar";
}

}  // namespace
}  // namespace sorvix
