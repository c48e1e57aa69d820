// What the SQLite export writes of one meeting date, taken from the day as
// the backtest loads and analyses it: races, runners with their signs,
// sign index, ranks, estimate and marks, ring rows with their sign sums,
// the proposed tickets with what each paid, and the payouts.  Texts are
// UTF-8 with their trailing blanks removed; codes stay codes; a value that
// is not stored is empty (NULL in the file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/backtest.h"

namespace sorvix {

class RaceDay;

struct ExportedRunner {
  int horseNumber = 0;
  int bracket = 0;
  std::string horseId;  // 血統登録番号
  std::string horseName;
  std::string sexCode;
  int age = 0;
  std::string jockeyCode, jockeyName;
  std::string trainerCode, trainerName;
  std::optional<double> burden;  // kg
  std::optional<double> winOdds;
  std::optional<int> popularity;
  std::optional<int> finalPosition;  // 確定着順 as stored (dead heats share it)
  int abnormalCode = 0;              // 異常区分
  std::optional<double> predictedOdds;
  int awayIndex = 0, homeIndex = 0, bracketAverage = 0;
  int awayRank = 0, homeRank = 0, bracketRank = 0;
  double estimate = 0;
  int estimateRank = 0;
  int axisMark = 0, partnerMark = 0;
  // The signs the runner carries: sign index (sign-table order) and the
  // mark of its first ring row that carries it.
  std::vector<std::pair<int, std::string>> signs;
};

struct ExportedPayout {
  std::string betType;      // win, place, bracket_quinella, quinella, wide, exacta, trio, trifecta
  int entry = 0;            // from 1, in the record's order
  std::string combination;  // "3", " 3-12", " 1- 5-13" as the payout record gives them
  int numbers[3] = {};      // the horse (or bracket) numbers, 0 when fewer
  int popularity = 0;
  int64_t payout = 0;
};

struct ExportedRace {
  std::string raceKey;  // 16 characters: yyyymmdd, venue, meeting, day, race
  int listRow = 0;      // the race list's row
  std::string venueCode;
  int meetingNumber = 0, meetingDay = 0, raceNumber = 0;
  std::string raceName;
  int distance = 0;
  std::string trackCode, classCode, gradeCode;
  int runners = 0;
  std::string postTime;  // "HH:MM"
  bool hasResults = false;
  std::vector<ExportedRunner> runnerRows;
  std::vector<std::pair<int, int>> ringRows;  // (horse number, sign sum) of ring rows 0..17
  std::vector<ProposedTicket> tickets;
  std::vector<ExportedPayout> payouts;
};

struct ExportedDate {
  std::string date;  // "YYYY-MM-DD"
  std::vector<ExportedRace> races;
};

// The export of a day loaded by a BacktestDateLoader (`finish` its stored
// finishes).
ExportedDate ExportedDateOf(const RaceDay& day, const std::vector<StoredFinish>& finish);

}  // namespace sorvix
