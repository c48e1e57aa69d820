#include "tools/feedgen/generator.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "codes/text.h"
#include "tools/feedgen/calendar.h"
#include "tools/feedgen/feed_folder.h"
#include "tools/feedgen/odds_files.h"
#include "tools/feedgen/payouts.h"
#include "tools/feedgen/race_program.h"
#include "tools/feedgen/race_sim.h"
#include "tools/feedgen/records.h"
#include "tools/feedgen/world.h"

namespace sorvix::feedgen {
namespace {

struct DayRaces {
  MeetingDay day;
  std::vector<Race> races;
  std::vector<Payouts> payouts;  // per race, once run
  bool showcase = false;
};

class Generator {
 public:
  Generator(const FeedOptions& options, FeedFolder& folder, const Date& worldStart)
      : options_(options),
        folder_(folder),
        world_(options.seed, worldStart),
        sim_(world_, options.seed),
        programRng_(Rng::For(options.seed, "program")) {}

  FeedSummary Run(const std::vector<Weekend>& weekends);

 private:
  bool Legacy(const Horse& h) const { return h.legacy && !options_.legacyUmaHome.empty(); }
  void EntryFiles(const Weekend& w, const std::vector<DayRaces>& days);
  void Masters(const Date& made, int hhnnss, const std::set<int>& horses,
               const std::set<int>& jockeys, const std::set<int>& trainers);
  void RealTime(const DayRaces& d);
  void Results(const Date& monday, const std::vector<DayRaces>& days);
  void Odds(const DayRaces& d);
  void LegacyFiles();

  const FeedOptions& options_;
  FeedFolder& folder_;
  World world_;
  Simulator sim_;
  Rng programRng_;
  FeedSummary summary_;
  std::set<int> retiredSinceMasters_;
  bool deletionWritten_ = false;
  std::set<Date> oddsDays_;
};

char UmKind(const Horse& h) {
  return !h.umSent ? '1' : h.retired ? '9' : '4';
}

void Generator::EntryFiles(const Weekend& w, const std::vector<DayRaces>& days) {
  Date thursday = w.saturday.Plus(-2), friday = w.saturday.Plus(-1);
  std::string lists, cards;
  for (const DayRaces& d : days) {
    for (const Race& race : d.races) {
      lists += RaRecord(race, '1', thursday);
      for (const Entry& e : race.entries) lists += SeRecord(race, e, world_, '1', thursday);
      for (int id : race.alsoEntered)
        lists += SeListedRecord(race, world_.horses[static_cast<size_t>(id)], world_, thursday);
      cards += RaRecord(race, '2', friday);
      for (const Entry& e : race.entries) cards += SeRecord(race, e, world_, '2', friday);
    }
  }
  folder_.WriteData("RACE", thursday, 173000, lists);
  folder_.WriteData("RACE", friday, 110000, cards);
}

void Generator::Masters(const Date& made, int hhnnss, const std::set<int>& horses,
                        const std::set<int>& jockeys, const std::set<int>& trainers) {
  std::string out;
  std::set<int> all = horses;
  all.insert(retiredSinceMasters_.begin(), retiredSinceMasters_.end());
  for (int id : all) {
    Horse& h = world_.horses[static_cast<size_t>(id)];
    if (Legacy(h)) continue;
    out += UmRecord(h, world_, UmKind(h), made);
    h.umSent = true;
  }
  retiredSinceMasters_.clear();
  for (int id : jockeys) {
    Jockey& j = world_.jockeys[static_cast<size_t>(id)];
    out += KsRecord(j, world_, j.masterSent ? '2' : '1', made);
    j.masterSent = true;
  }
  if (!deletionWritten_ && !world_.jockeys.empty()) {
    // A master withdrawn by the provider: a deletion record of a rider
    // who never appears in any race.
    Jockey gone = world_.jockeys.back();
    gone.code = "00999";
    out += KsRecord(gone, world_, '0', made);
    deletionWritten_ = true;
  }
  for (int id : trainers) {
    Trainer& t = world_.trainers[static_cast<size_t>(id)];
    out += ChRecord(t, t.masterSent ? '2' : '1', made);
    t.masterSent = true;
  }
  folder_.WriteData("DIFN", made, hhnnss, out);
}

void Generator::RealTime(const DayRaces& d) {
  for (const Race& race : d.races) {
    int venueIndex = 0;
    for (size_t i = 0; i < d.day.venues.size(); ++i)
      if (d.day.venues[i].venue == race.venue) venueIndex = static_cast<int>(i);
    int published = AddMinutes(race.startTime, 8 + race.distance / 1000);
    std::string name =
        "0B12" + race.date.Ymd() + Format("%04d%02d", published, 10 * venueIndex + 7) + ".jvd";
    std::string bytes = RaRecord(race, '6', race.date);
    for (const Entry& e : race.entries) bytes += SeRecord(race, e, world_, '6', race.date);
    bytes += HrRecord(race, d.payouts[static_cast<size_t>(&race - d.races.data())], '1', race.date);
    folder_.WriteRealTime(race.date, name, bytes);
  }
}

void Generator::Results(const Date& monday, const std::vector<DayRaces>& days) {
  std::string out;
  for (const DayRaces& d : days) {
    for (const Race& race : d.races) {
      out += RaRecord(race, '7', monday);
      for (const Entry& e : race.entries) out += SeRecord(race, e, world_, '7', monday);
      out += HrRecord(race, d.payouts[static_cast<size_t>(&race - d.races.data())], '2', monday);
    }
    // RACE data carries odds and vote counts too; one race a day keeps the
    // feed small while every reader meets records longer than its buffer.
    if (!d.races.empty()) out += OddsAndVoteRecords(d.races.front(), '4', monday);
  }
  folder_.WriteData("RACE", monday, 160000, out);
}

void Generator::Odds(const DayRaces& d) {
  std::vector<const Race*> races;
  for (const Race& r : d.races) races.push_back(&r);
  for (const OddsArchive& a : OddsArchives(races, options_.seed, d.day.date.Weekday() == 0)) {
    folder_.WriteOdds(a.fileName, a.bytes);
    summary_.oddsArchives.push_back(a.fileName);
  }
}

void Generator::LegacyFiles() {
  if (options_.legacyUmaHome.empty()) return;
  Date made = summary_.feedDays.empty() ? Date{} : summary_.feedDays.back();
  for (const Horse& h : world_.horses) {
    if (!h.legacy || !h.visible) continue;
    std::filesystem::path path =
        options_.legacyUmaHome / "UMA" / h.pedigree.substr(0, 4) / (h.pedigree + ".jvUMA");
    WriteBinaryFile(path, OldUmRecord(h, world_, made));
    ++summary_.legacyHorseFiles;
  }
}

FeedSummary Generator::Run(const std::vector<Weekend>& weekends) {
  for (const Weekend& w : weekends)
    if (w.role == WeekendRole::kFeed)
      for (const MeetingDay& d : w.days) summary_.feedDays.push_back(d.date);
  size_t feedCount = summary_.feedDays.size();
  for (size_t i = feedCount > 3 ? feedCount - 3 : 0; i < feedCount; ++i)
    summary_.showcaseDays.push_back(summary_.feedDays[i]);
  for (size_t i = 0; i < feedCount; ++i)
    if (i % 6 == 0 || i + 3 >= feedCount) oddsDays_.insert(summary_.feedDays[i]);
  auto isShowcase = [&](const Date& d) {
    return std::find(summary_.showcaseDays.begin(), summary_.showcaseDays.end(), d) !=
           summary_.showcaseDays.end();
  };
  const Weekend* lastFeed = nullptr;
  for (const Weekend& w : weekends)
    if (w.role == WeekendRole::kFeed) lastFeed = &w;

  bool historyMastersDue = false;
  Date lastHistoryMonday;
  for (const Weekend& w : weekends) {
    if (w.role == WeekendRole::kFeed && historyMastersDue) {
      // The masters of every horse, rider and trainer seen so far.
      std::set<int> horses, jockeys, trainers;
      for (const Horse& h : world_.horses)
        if (h.visible) horses.insert(h.id);
      for (size_t j = 0; j < world_.jockeys.size(); ++j) jockeys.insert(static_cast<int>(j));
      for (size_t t = 0; t < world_.trainers.size(); ++t) trainers.insert(static_cast<int>(t));
      Masters(lastHistoryMonday.Plus(1), 100000, horses, jockeys, trainers);
      historyMastersDue = false;
    }
    std::vector<DayRaces> days;
    for (const MeetingDay& d : w.days) {
      DayRaces dr;
      dr.day = d;
      dr.showcase = w.role == WeekendRole::kFeed && isShowcase(d.date);
      dr.races = BuildProgram(d, programRng_, dr.showcase);
      sim_.Enter(dr.races, d);
      days.push_back(std::move(dr));
    }
    bool written = w.role != WeekendRole::kHidden;
    if (w.role == WeekendRole::kFeed) {
      EntryFiles(w, days);
      std::set<int> horses, jockeys, trainers;
      for (const DayRaces& d : days)
        for (const Race& r : d.races)
          for (const Entry& e : r.entries) {
            horses.insert(e.horse);
            jockeys.insert(e.jockey);
            trainers.insert(world_.horses[static_cast<size_t>(e.horse)].trainer);
          }
      Masters(w.saturday.Plus(-1), 113000, horses, jockeys, trainers);
      for (const DayRaces& d : days)
        if (oddsDays_.count(d.day.date)) Odds(d);
    }
    for (DayRaces& d : days) {
      sim_.Run(d.races, d.showcase);
      if (written) {
        for (const Race& r : d.races) d.payouts.push_back(ComputePayouts(r, options_.seed));
        for (const Race& r : d.races) {
          ++summary_.races;
          summary_.runners += static_cast<int>(r.entries.size());
          for (const Entry& e : r.entries) {
            Horse& h = world_.horses[static_cast<size_t>(e.horse)];
            h.visible = true;
            if (h.retired && h.umSent) retiredSinceMasters_.insert(h.id);
          }
        }
        if (w.role == WeekendRole::kHistory) summary_.historyDays.push_back(d.day.date);
      }
      if (w.role == WeekendRole::kFeed) RealTime(d);
    }
    Date monday = w.saturday.Plus(2);
    if (w.role == WeekendRole::kHistory) {
      Results(monday, days);
      historyMastersDue = true;
      lastHistoryMonday = monday;
    } else if (w.role == WeekendRole::kFeed && !(options_.holdLastResults && &w == lastFeed)) {
      Results(monday, days);
    }
  }
  LegacyFiles();
  summary_.files = folder_.files();
  summary_.bytes = folder_.bytes();
  summary_.horses = static_cast<int>(world_.horses.size());
  return summary_;
}

}  // namespace

FeedSummary GenerateFeed(const FeedOptions& options) {
  if (options.days < 1) throw std::runtime_error("--days must be at least 1");
  if (options.historyWeeks < 0 || options.oldWeeks < 0)
    throw std::runtime_error("--history-weeks は 0 以上にしてください");
  CalendarPlan plan;
  plan.from = options.from;
  plan.feedDays = options.days;
  plan.historyWeeks = options.historyWeeks;
  plan.oldWeeks = options.oldWeeks;
  std::vector<Weekend> weekends = BuildCalendar(plan);
  if (weekends.empty()) throw std::runtime_error("指定した期間に開催日がありません");
  FeedFolder folder(options.out, options.replace);
  Generator generator(options, folder, weekends.front().saturday);
  return generator.Run(weekends);
}

FeedOptions DemoOptions(const std::filesystem::path& out) {
  FeedOptions o;
  o.out = out;
  o.from = Date{2024, 3, 2};
  o.days = 33;
  o.seed = 20240622;
  return o;
}

}  // namespace sorvix::feedgen
