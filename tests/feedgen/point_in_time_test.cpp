// The estimate of a backtest is the one a user had on the race morning.
//
// For every meeting of the shared feed, a store is acquired from the feed
// files up to the Friday before it (entries, race cards and the masters of
// that week; no results of the meeting itself), the way the store stood on
// the morning of the races.  Each date of the meeting loaded there must get
// the same result counts, estimate ranks, axis and partner marks and
// proposed tickets as the same date loaded from the whole store with the
// counts taken back (RunLedger), as the backtest loads it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "acquisition/acquisition_run.h"
#include "acquisition/feed_jv_link.h"
#include "analysis/run_analysis.h"
#include "analysis/sign_points.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "codes/cp932.h"
#include "results/betting_combinations.h"
#include "shared_feed.h"
#include "store/meeting_list.h"
#include "store/race_day.h"
#include "store/race_day_loader.h"
#include "store/run_ledger.h"
#include "store/store_paths.h"
#include "support/acquire_feed.h"

namespace sorvix::feedgen::test {
namespace {

// A ProgramFolder in memory where /dev/shm is there (store writes sync).
class ShmHome {
 public:
  explicit ShmHome(const fs::path& feed) {
    fs::path base =
        ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "sorvix-morning-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? fs::path(pattern) : MakeTempFolder("sorvix-morning");
    previous_ = ProgramFolder::Get();
    Use();
    EXPECT_EQ(sorvix::test::AcquireFeedInto(path_, feed), AcquisitionRun::Outcome::Completed)
        << feed;
  }
  ~ShmHome() {
    ProgramFolder::Set(previous_);
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  void Use() const { ProgramFolder::Set(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_, previous_;
};

// The accumulating files of the shared feed stamped up to `lastStamp`
// (yyyymmddhhnnss), copied into `folder`.
void CopyFeedUpTo(const fs::path& folder, const std::string& lastStamp) {
  fs::create_directories(folder);
  for (const auto& e : fs::directory_iterator(Feed().root)) {
    std::string stem = e.path().stem().string();
    if (e.path().extension() != ".jvd" || stem.size() < 14) continue;
    if (stem.substr(stem.size() - 14) <= lastStamp)
      fs::copy_file(e.path(), folder / e.path().filename());
  }
}

// What the estimate decides of one loaded date, race by race.
struct Decided {
  std::vector<std::string> races;
};

std::string Numbers(const int32_t* values, int n) {
  std::string out;
  for (int h = 0; h < n; ++h) out += std::to_string(values[h]) + " ";
  return out;
}

Decided Decide(Cp932View label, const RunLedger* ledger) {
  auto day = RaceDay::Create();
  LoadOptions options;
  options.analysis = DayAnalysisSteps(SignPoints::Defaults());
  options.countsBefore = ledger;
  options.readOnly = ledger != nullptr;
  LoadOutcome outcome = LoadRaceDay(*day, label, options);
  EXPECT_TRUE(outcome.loaded) << Utf8(label);
  EXPECT_EQ(outcome.countsNotRebuilt, 0) << Utf8(label);
  Decided decided;
  for (int r = 0; r < day->RaceListRows; ++r) {
    const RaceCalc& c = day->Calc[r];
    int n = day->Runners(r);
    std::string race = Utf8(day->RaceListRow(r)) + "\n";
    for (int h = 0; h < n; ++h)
      race += "horse " + std::to_string(h + 1) + ": uma " + Numbers(c.UmaStat[h], 4) + "kishu " +
              Numbers(c.KishuStat[h], 6) + "chokyo " + Numbers(c.ChokyoStat[h], 6) + "\n";
    race += "推定順位 " + Numbers(c.SuiteiRank, n) + "\n軸 " + Numbers(c.AxisMark, n) + "\n相手 " +
            Numbers(c.PartnerMark, n) + "\n";
    KaimeTables kaime = KaimeTablesOf(*day, r);
    for (const auto* rows : {&kaime.trio, &kaime.quinella, &kaime.exacta}) {
      race += "買い目";
      for (const KaimeRow& row : *rows) race += " " + row.combination;
      race += "\n";
    }
    decided.races.push_back(race);
  }
  return decided;
}

TEST(PointInTimeTest, TheBacktestEstimateIsTheRaceMorningEstimate) {
  const std::vector<Date>& days = Feed().summary.feedDays;
  ASSERT_FALSE(days.empty());
  ShmHome whole(Feed().root);
  ASSERT_FALSE(HasFailure());
  const RunLedger ledger = RunLedger::Read(ListMeetingDates());

  // The meetings: feed days on consecutive days share the Friday before.
  std::map<Date, std::vector<Date>> meetings;
  Date friday;
  for (size_t i = 0; i < days.size(); ++i) {
    if (i == 0 || days[i - 1].Plus(1) != days[i]) friday = days[i].Plus(-1);
    while (friday.Weekday() != 5) friday = friday.Plus(-1);
    meetings[friday].push_back(days[i]);
  }
  int races = 0;
  for (const auto& [fri, dates] : meetings) {
    fs::path feed = whole.path() / ("morning-" + fri.Ymd());
    CopyFeedUpTo(feed, fri.Ymd() + "235959");
    ShmHome morning(feed);
    ASSERT_FALSE(HasFailure());
    for (const Date& date : dates) {
      Cp932Text label = DateLabelFromYmd(date.Ymd());
      morning.Use();
      Decided then = Decide(label, nullptr);
      whole.Use();
      Decided now = Decide(label, &ledger);
      ASSERT_EQ(then.races.size(), now.races.size()) << date.Ymd();
      for (size_t r = 0; r < then.races.size(); ++r) {
        EXPECT_EQ(now.races[r], then.races[r]) << date.Ymd() << " row " << r;
        ++races;
      }
    }
  }
  EXPECT_GT(races, 90);
}

}  // namespace
}  // namespace sorvix::feedgen::test
