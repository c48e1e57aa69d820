// The サイン検証 result written out: JSON and CSV (UTF-8) that carry the
// inputs (date range, sign points, estimate source) so that a run can be
// repeated, and the rates and labels the tables and charts show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/backtest.h"

namespace sorvix {

// How the result is broken down besides the total.
enum class BacktestBy { None, Month, Venue, MonthAndVenue };

// part / whole × 100 (0 when whole is 0).
double Percent(int64_t part, int64_t whole);

// The JSON text (one object, a newline at the end).
std::string BacktestJson(const BacktestResult& result, BacktestBy by);

// The CSV text (UTF-8 with a byte-order mark): a header line, then the
// state of the run and the inputs (section "input"), then one line per
// group, pool and ticket line with its rates, their 95 % intervals and
// whether they stand out, first for the total (scope "全体") and then for
// each month or venue.
std::string BacktestCsv(const BacktestResult& result, BacktestBy by);

// How the run ended: "complete", "cancelled" or "partly-failed" (some
// dates could not be loaded), and the same said in Japanese (UTF-8) with
// the dates it holds.
const char* StateKey(const BacktestResult& result);
std::string StateText(const BacktestResult& result);

// "racehorse" or "odds".
const char* SourceKey(EstimateSource source);
// The estimate used: "counts-before-meeting" (racehorse data, the counts
// taken back to each date's meeting) or "predicted-odds".
const char* EstimateKey(EstimateSource source);

// Japanese labels (UTF-8) of the groups, as the tables show them.
std::string SignLabel(int sign);      // 赤1, 緑6, 特, 時 …
std::string FamilyLabel(int family);  // 赤, 緑, 橙, 青, 黄
std::string RankLabel(int rank);  // ｱｳｪｲ順位, ﾎｰﾑ順位, 枠順位, 推定順位
std::string BetTypeLabel(int betType);  // 3連複, 馬連, ワイド, 馬単

}  // namespace sorvix
