// The tables of the SQLite export and the settings it was written with.
#pragma once

#include <set>
#include <string>

#include "analysis/sign_points.h"
#include "store/estimate.h"

namespace sorvix {

class SqliteDatabase;

// The schema's version in export_info.
// 2: the racehorse estimate reads only the results before each date, so a
// file of version 1 (estimates from every stored result) is not added to.
inline constexpr const char kExportSchemaVersion[] = "2";

// Makes the tables, indexes, views and fixed code tables of an empty file
// and records `points` and `source`; in a file made before, checks that it
// is an export of this schema written with the same sign points and source.
// Throws Error saying what differs.
void PrepareExportFile(SqliteDatabase& db, const SignPoints& points, EstimateSource source);

// The secondary indexes (on the date, the horse and the sign) off while
// many dates are added, and on again: built once from the rows, they cost a
// sort; kept up row by row, every date's commit rewrites pages all over
// them.  CreateIndexes makes only those missing, so it also mends a file
// whose export was killed while they were off.
void DropIndexes(SqliteDatabase& db);
void CreateIndexes(SqliteDatabase& db);

// The ISO dates the file holds whole with results.  A date written before
// any of its races had results (a race day exported in the morning) is
// written again by the next export, in place of what it held.
std::set<std::string> ExportedDates(SqliteDatabase& db);

}  // namespace sorvix
