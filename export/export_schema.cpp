#include "export/export_schema.h"

#include "analysis/column_texts.h"
#include "common/error.h"
#include "export/sqlite_database.h"
#include "export/sqlite_export.h"
#include "export/sqlite_statement.h"
#include "results/backtest_report.h"

namespace sorvix {
namespace {

// One row per runner and sign (not one column per sign): a runner carries
// few of the 28 signs, a per-sign figure is one GROUP BY, and the mark text
// of each sign has a place of its own.
constexpr const char* kTables = R"SQL(
CREATE TABLE export_info (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE sign_names (sign TEXT PRIMARY KEY, label TEXT NOT NULL, family TEXT NOT NULL,
  column_order INTEGER NOT NULL);
CREATE TABLE sign_points (sign TEXT PRIMARY KEY REFERENCES sign_names, point INTEGER NOT NULL);
CREATE TABLE venue_names (venue_code TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE track_names (track_code TEXT PRIMARY KEY, name TEXT NOT NULL, surface TEXT NOT NULL);
CREATE TABLE class_names (class_code TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE grade_names (grade_code TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE sex_names (sex_code TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE abnormal_names (abnormal_code INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE bet_type_names (bet_type TEXT PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE axis_mark_names (axis_mark INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE meeting_days (date TEXT PRIMARY KEY, races INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE races (race_key TEXT PRIMARY KEY, date TEXT NOT NULL REFERENCES meeting_days,
  list_row INTEGER NOT NULL, venue_code TEXT NOT NULL, meeting_number INTEGER, meeting_day INTEGER,
  race_number INTEGER NOT NULL, race_name TEXT, distance INTEGER, track_code TEXT,
  class_code TEXT, grade_code TEXT, runners INTEGER NOT NULL, post_time TEXT,
  has_results INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE runners (race_key TEXT NOT NULL REFERENCES races, horse_number INTEGER NOT NULL,
  date TEXT NOT NULL, bracket INTEGER, horse_id TEXT, horse_name TEXT, sex_code TEXT,
  age INTEGER, jockey_code TEXT, jockey_name TEXT, trainer_code TEXT, trainer_name TEXT,
  burden REAL, win_odds REAL, popularity INTEGER, final_position INTEGER,
  abnormal_code INTEGER NOT NULL, predicted_odds REAL, away_index INTEGER, home_index INTEGER,
  bracket_average INTEGER, away_rank INTEGER, home_rank INTEGER, bracket_rank INTEGER,
  estimate REAL, estimate_rank INTEGER, axis_mark INTEGER, partner_mark INTEGER,
  PRIMARY KEY (race_key, horse_number)) WITHOUT ROWID;
CREATE TABLE signs (race_key TEXT NOT NULL, horse_number INTEGER NOT NULL,
  sign TEXT NOT NULL REFERENCES sign_names, mark TEXT NOT NULL,
  PRIMARY KEY (race_key, horse_number, sign),
  FOREIGN KEY (race_key, horse_number) REFERENCES runners) WITHOUT ROWID;
CREATE TABLE ring_rows (race_key TEXT NOT NULL REFERENCES races, ring_row INTEGER NOT NULL,
  horse_number INTEGER NOT NULL, sign_sum INTEGER NOT NULL,
  PRIMARY KEY (race_key, ring_row)) WITHOUT ROWID;
CREATE TABLE tickets (race_key TEXT NOT NULL REFERENCES races, bet_type TEXT NOT NULL,
  combination TEXT NOT NULL, horse1 INTEGER, horse2 INTEGER, horse3 INTEGER,
  refunded INTEGER NOT NULL, stake INTEGER NOT NULL, payout INTEGER NOT NULL,
  PRIMARY KEY (race_key, bet_type, combination)) WITHOUT ROWID;
CREATE TABLE payouts (race_key TEXT NOT NULL REFERENCES races, bet_type TEXT NOT NULL,
  entry INTEGER NOT NULL, combination TEXT NOT NULL, number1 INTEGER, number2 INTEGER,
  number3 INTEGER, popularity INTEGER, payout INTEGER NOT NULL,
  PRIMARY KEY (race_key, bet_type, entry)) WITHOUT ROWID;
CREATE VIEW runner_returns AS
SELECT u.race_key, u.horse_number, u.date, u.final_position,
  (SELECT COALESCE(SUM(p.payout), 0) FROM payouts p WHERE p.race_key = u.race_key
     AND p.bet_type = 'win' AND p.number1 = u.horse_number) AS win_return,
  (SELECT COALESCE(SUM(p.payout), 0) FROM payouts p WHERE p.race_key = u.race_key
     AND p.bet_type = 'place' AND p.number1 = u.horse_number) AS place_return
FROM runners u JOIN races r ON r.race_key = u.race_key
WHERE r.has_results = 1 AND u.abnormal_code NOT BETWEEN 1 AND 3;
INSERT INTO abnormal_names VALUES (0, '異常なし'), (1, '出走取消'), (2, '発走除外'),
  (3, '競走除外'), (4, '競走中止'), (5, '失格'), (6, '落馬再騎乗'), (7, '降着');
INSERT INTO bet_type_names VALUES ('win', '単勝'), ('place', '複勝'),
  ('bracket_quinella', '枠連'), ('quinella', '馬連'), ('wide', 'ワイド'), ('exacta', '馬単'),
  ('trio', '3連複'), ('trifecta', '3連単');
)SQL";

// The indexes beside the keys, for the questions users ask most: a date's
// races and runners, a horse's runs, a sign's runners.  Named as queries
// and older files know them.
constexpr const char* kIndexes = R"SQL(
CREATE INDEX IF NOT EXISTS races_date ON races (date);
CREATE INDEX IF NOT EXISTS runners_horse ON runners (horse_id, date);
CREATE INDEX IF NOT EXISTS runners_date ON runners (date);
CREATE INDEX IF NOT EXISTS signs_sign ON signs (sign);
)SQL";

constexpr const char* kDropIndexes = R"SQL(
DROP INDEX IF EXISTS races_date;
DROP INDEX IF EXISTS runners_horse;
DROP INDEX IF EXISTS runners_date;
DROP INDEX IF EXISTS signs_sign;
)SQL";

// `sql` in a transaction of its own.
void InTransaction(SqliteDatabase& db, const char* sql) {
  db.Execute("BEGIN IMMEDIATE");
  try {
    db.Execute(sql);
    db.Execute("COMMIT");
  } catch (...) {
    db.RollBack();
    throw;
  }
}

void CreateTables(SqliteDatabase& db, const SignPoints& points, EstimateSource source) {
  db.Execute(kTables);
  db.Execute(kIndexes);
  SqliteStatement info(db, "INSERT INTO export_info VALUES (?, ?)");
  info.Bind(1, std::string_view("schema_version")).Bind(2, std::string_view(kExportSchemaVersion));
  info.Run();
  info.Bind(1, std::string_view("source")).Bind(2, std::string_view(SourceKey(source))).Run();
  info.Bind(1, std::string_view("source_name"))
      .Bind(2, std::string_view(EstimateSourceName(source)))
      .Run();
  info.Bind(1, std::string_view("estimate"))
      .Bind(2, std::string_view(source == EstimateSource::PredictedOdds
                                    ? "開催日の予想オッズから計算（サイン検証と同じ）"
                                    : "開催日より前の成績だけで計算（サイン検証と同じ）"))
      .Run();
  SqliteStatement name(db, "INSERT INTO sign_names VALUES (?, ?, ?, ?)");
  SqliteStatement point(db, "INSERT INTO sign_points VALUES (?, ?)");
  for (int s = 0; s < kSignCount; ++s) {
    name.Bind(1, std::string_view(kSignInfo[s].key))
        .Bind(2, std::string_view(SignLabel(s)))
        .Bind(3, std::string_view(FamilyName(kSignInfo[s].family)))
        .Bind(4, s + 1)
        .Run();
    point.Bind(1, std::string_view(kSignInfo[s].key)).Bind(2, points.value[s]).Run();
  }
  SqliteStatement axis(db, "INSERT INTO axis_mark_names VALUES (?, ?)");
  for (int mark = 1; mark <= 3; ++mark)
    axis.Bind(1, mark).Bind(2, std::string_view(AxisMarkText(mark))).Run();
}

[[noreturn]] void Refuse(SqliteDatabase& db, const std::string& why) {
  throw Error("SQLite へ書き出せません", db.path().string(),
              why + "。同じ設定で書き出すか、別のファイルを指定してください");
}

void CheckSettings(SqliteDatabase& db, const SignPoints& points, EstimateSource source) {
  if (db.TextOf("SELECT value FROM export_info WHERE key = 'schema_version'") !=
      kExportSchemaVersion)
    throw Error("SQLite へ書き出せません", db.path().string(),
                "このプログラムの別の版で作られたファイルです。別のファイルを指定してください",
                Error::Kind::Damaged);
  std::string stored = db.TextOf("SELECT value FROM export_info WHERE key = 'source'");
  if (stored != SourceKey(source))
    Refuse(db, std::string("このファイルは推定能力「") +
                   EstimateSourceName(stored == "odds" ? EstimateSource::PredictedOdds
                                                       : EstimateSource::RacehorseData) +
                   "」で書き出されています（今回は「" + EstimateSourceName(source) + "」）");
  SqliteStatement query(db, "SELECT sign, point FROM sign_points");
  std::string differ;
  int found = 0;
  while (query.Next()) {
    for (int s = 0; s < kSignCount; ++s) {
      if (query.TextAt(0) != kSignInfo[s].key) continue;
      ++found;
      if (query.IntAt(1) != points.value[s])
        differ += (differ.empty() ? "" : "、") + SignLabel(s) + " " +
                  std::to_string(query.IntAt(1)) + "→" + std::to_string(points.value[s]);
    }
  }
  if (found != kSignCount) differ = "配点の表が欠けています";
  if (!differ.empty()) Refuse(db, "このファイルは別の配点で書き出されています（" + differ + "）");
}

}  // namespace

void PrepareExportFile(SqliteDatabase& db, const SignPoints& points, EstimateSource source) {
  db.Execute("BEGIN IMMEDIATE");
  try {
    if (db.TextOf("SELECT count(*) FROM sqlite_master") == "0") {
      CreateTables(db, points, source);
    } else if (db.TextOf("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = "
                         "'export_info'") == "0") {
      throw Error("SQLite へ書き出せません", db.path().string(),
                  "Sorvix の書き出したファイルではありません。別のファイルを指定してください",
                  Error::Kind::Damaged);
    } else {
      CheckSettings(db, points, source);
    }
    db.Execute("COMMIT");
  } catch (...) {
    db.RollBack();
    throw;
  }
}

void DropIndexes(SqliteDatabase& db) {
  InTransaction(db, kDropIndexes);
}

void CreateIndexes(SqliteDatabase& db) {
  InTransaction(db, kIndexes);
}

std::set<std::string> ExportedDates(SqliteDatabase& db) {
  std::set<std::string> dates;
  SqliteStatement query(db,
                        "SELECT date FROM meeting_days d WHERE EXISTS (SELECT 1 FROM races r "
                        "WHERE r.date = d.date AND r.has_results = 1)");
  while (query.Next()) dates.insert(query.TextAt(0));
  return dates;
}

}  // namespace sorvix
