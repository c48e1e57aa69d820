#include "export/export_writer.h"

#include <memory>
#include <string>
#include <vector>

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "export/exported_date.h"
#include "export/sqlite_database.h"
#include "export/sqlite_statement.h"

namespace sorvix {
namespace {

std::string Placeholders(int n) {
  std::string text = "(";
  for (int i = 0; i < n; ++i) text += i ? ", ?" : "?";
  return text + ")";
}

std::string Insert(const char* table, int columns, const char* verb = "INSERT") {
  return std::string(verb) + " INTO " + table + " VALUES " + Placeholders(columns);
}

// A code table's name as UTF-8 without trailing blanks.
std::string Name(const Cp932Text& text) {
  return Utf8(Cp932View::FromBytes(TrimBlanksRight(text.bytes())));
}

const char* SurfaceOf(int track) {
  if (track >= 10 && track <= 22) return "芝";
  if (track >= 23 && track <= 29) return "ダート";
  if (track >= 51 && track <= 59) return "障害";
  return "";
}

// " 3-12" → "3-12": the numbers without their padding.
std::string Combination(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

}  // namespace

struct ExportWriter::Statements {
  explicit Statements(SqliteDatabase& db)
      : day(db, Insert("meeting_days", 2)),
        race(db, Insert("races", 15)),
        runner(db, Insert("runners", 28)),
        sign(db, Insert("signs", 4)),
        ring(db, Insert("ring_rows", 4)),
        ticket(db, Insert("tickets", 9)),
        payout(db, Insert("payouts", 9)),
        venue(db, Insert("venue_names", 2, "INSERT OR IGNORE")),
        track(db, Insert("track_names", 3, "INSERT OR IGNORE")),
        raceClass(db, Insert("class_names", 2, "INSERT OR IGNORE")),
        grade(db, Insert("grade_names", 2, "INSERT OR IGNORE")),
        sex(db, Insert("sex_names", 2, "INSERT OR IGNORE")) {
    for (const char* table : {"signs", "ring_rows", "tickets", "payouts", "runners"})
      forget.emplace_back(std::make_unique<SqliteStatement>(
          db, std::string("DELETE FROM ") + table +
                  " WHERE race_key IN (SELECT race_key FROM races WHERE date = ?)"));
    forget.emplace_back(std::make_unique<SqliteStatement>(db, "DELETE FROM races WHERE date = ?"));
    forget.emplace_back(
        std::make_unique<SqliteStatement>(db, "DELETE FROM meeting_days WHERE date = ?"));
  }

  SqliteStatement day, race, runner, sign, ring, ticket, payout;
  SqliteStatement venue, track, raceClass, grade, sex;
  // What a date written before holds (written again when it had no results).
  std::vector<std::unique_ptr<SqliteStatement>> forget;
};

ExportWriter::ExportWriter(SqliteDatabase& db) : db_(db), s_(std::make_unique<Statements>(db)) {}
ExportWriter::~ExportWriter() = default;

namespace {

void WriteCodes(ExportWriter::Statements& s, const ExportedRace& race) {
  if (!race.venueCode.empty())
    s.venue.Bind(1, race.venueCode).Bind(2, Name(VenueName(race.venueCode))).Run();
  if (!race.trackCode.empty()) {
    int track = ReadInt(race.trackCode);
    s.track.Bind(1, race.trackCode)
        .Bind(2, Name(TrackText(race.trackCode)))
        .Bind(3, std::string_view(SurfaceOf(track)))
        .Run();
  }
  if (!race.classCode.empty())
    s.raceClass.Bind(1, race.classCode).Bind(2, Name(RaceClassText(race.classCode))).Run();
  if (!race.gradeCode.empty())
    s.grade.Bind(1, race.gradeCode).Bind(2, Name(GradeText(race.gradeCode))).Run();
}

void WriteRace(ExportWriter::Statements& s, const std::string& date, const ExportedRace& r) {
  s.race.Bind(1, r.raceKey).Bind(2, date).Bind(3, r.listRow).Bind(4, r.venueCode);
  s.race.Bind(5, r.meetingNumber).Bind(6, r.meetingDay).Bind(7, r.raceNumber).Bind(8, r.raceName);
  s.race.Bind(9, r.distance).Bind(10, r.trackCode).Bind(11, r.classCode).Bind(12, r.gradeCode);
  s.race.Bind(13, r.runners).Bind(14, r.postTime).Bind(15, r.hasResults ? 1 : 0).Run();
  WriteCodes(s, r);
}

void WriteRunner(ExportWriter::Statements& s, const std::string& date, const std::string& key,
                 const ExportedRunner& u) {
  SqliteStatement& st = s.runner;
  st.Bind(1, key).Bind(2, u.horseNumber).Bind(3, date).Bind(4, u.bracket).Bind(5, u.horseId);
  st.Bind(6, u.horseName).Bind(7, u.sexCode).Bind(8, u.age).Bind(9, u.jockeyCode);
  st.Bind(10, u.jockeyName).Bind(11, u.trainerCode).Bind(12, u.trainerName).Bind(13, u.burden);
  st.Bind(14, u.winOdds);
  if (u.popularity)
    st.Bind(15, *u.popularity);
  else
    st.BindNull(15);
  if (u.finalPosition)
    st.Bind(16, *u.finalPosition);
  else
    st.BindNull(16);
  st.Bind(17, u.abnormalCode).Bind(18, u.predictedOdds).Bind(19, u.awayIndex);
  st.Bind(20, u.homeIndex).Bind(21, u.bracketAverage).Bind(22, u.awayRank).Bind(23, u.homeRank);
  st.Bind(24, u.bracketRank).Bind(25, u.estimate).Bind(26, u.estimateRank).Bind(27, u.axisMark);
  st.Bind(28, u.partnerMark).Run();
  for (const auto& [sign, mark] : u.signs)
    s.sign.Bind(1, key)
        .Bind(2, u.horseNumber)
        .Bind(3, std::string_view(kSignInfo[sign].key))
        .Bind(4, mark)
        .Run();
  if (!u.sexCode.empty()) s.sex.Bind(1, u.sexCode).Bind(2, Name(HorseSexText(u.sexCode))).Run();
}

void BindNumbers(SqliteStatement& st, int first, const int* numbers) {
  for (int i = 0; i < 3; ++i) {
    if (numbers[i] > 0)
      st.Bind(first + i, numbers[i]);
    else
      st.BindNull(first + i);
  }
}

void WriteBets(ExportWriter::Statements& s, const ExportedRace& r) {
  for (const ProposedTicket& t : r.tickets) {
    std::string combination = Combination(t.combination);
    int numbers[3] = {};
    size_t at = 0;
    for (int i = 0; i < 3 && at <= combination.size(); ++i) {
      size_t dash = combination.find('-', at);
      numbers[i] = ReadInt(std::string_view(combination).substr(at, dash - at));
      if (dash == std::string::npos) break;
      at = dash + 1;
    }
    s.ticket.Bind(1, r.raceKey)
        .Bind(2, std::string_view(kBetTypeKeys[static_cast<int>(t.type)]))
        .Bind(3, combination);
    BindNumbers(s.ticket, 4, numbers);
    s.ticket.Bind(7, t.refunded ? 1 : 0).Bind(8, t.refunded ? 0 : 100).Bind(9, t.paid).Run();
  }
  for (const ExportedPayout& p : r.payouts) {
    s.payout.Bind(1, r.raceKey)
        .Bind(2, p.betType)
        .Bind(3, p.entry)
        .Bind(4, Combination(p.combination));
    BindNumbers(s.payout, 5, p.numbers);
    s.payout.Bind(8, p.popularity).Bind(9, p.payout).Run();
  }
}

}  // namespace

void ExportWriter::Write(const ExportedDate& date) {
  db_.Execute("BEGIN IMMEDIATE");
  try {
    for (auto& forget : s_->forget) forget->Bind(1, date.date).Run();
    for (const ExportedRace& race : date.races) {
      WriteRace(*s_, date.date, race);
      for (const ExportedRunner& runner : race.runnerRows)
        WriteRunner(*s_, date.date, race.raceKey, runner);
      for (size_t k = 0; k < race.ringRows.size(); ++k)
        s_->ring.Bind(1, race.raceKey)
            .Bind(2, static_cast<int>(k))
            .Bind(3, race.ringRows[k].first)
            .Bind(4, race.ringRows[k].second)
            .Run();
      WriteBets(*s_, race);
    }
    s_->day.Bind(1, date.date).Bind(2, static_cast<int>(date.races.size())).Run();
    db_.Execute("COMMIT");
  } catch (...) {
    db_.RollBack();
    throw;
  }
}

}  // namespace sorvix
