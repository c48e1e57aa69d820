#include "tools/feedgen/calendar.h"

#include <algorithm>
#include <array>

namespace sorvix::feedgen {
namespace {

// The venues of each block of four weekends of a year (the main venue first).
constexpr int kBlocks = 13;
constexpr std::array<std::array<int, 3>, kBlocks> kBlockVenues = {{
    {6, 8, 0},   // January: two venues
    {6, 8, 7},   //
    {5, 8, 10},  //
    {6, 9, 7},   // March
    {6, 9, 3},   // April
    {5, 8, 4},   // May
    {5, 9, 0},   // June: two venues
    {3, 7, 1},   // July
    {4, 10, 1},  // August
    {4, 10, 2},  //
    {6, 9, 0},   // September: two venues
    {5, 8, 3},   // October
    {6, 9, 7},   // December
}};

bool NewYearBreak(const Date& date) {
  return (date.m == 12 && date.d >= 29) || (date.m == 1 && date.d <= 4);
}

Date FirstSaturday(int year) {
  Date d{year, 1, 1};
  return d.Plus((6 - d.Weekday() + 7) % 7);
}

}  // namespace

MeetingDay MeetingOn(const Date& date) {
  MeetingDay day;
  day.date = date;
  int weekday = date.Weekday();
  if ((weekday != 6 && weekday != 0) || NewYearBreak(date)) return day;
  Date saturday = weekday == 6 ? date : date.Plus(-1);
  int year = saturday.y;
  int week = DaysBetween(FirstSaturday(year), saturday) / 7;
  if (week < 0) return day;
  int block = week / 4;
  if (block >= kBlocks) block = kBlocks - 1;
  int weekInBlock = week - block * 4;
  if (week >= kBlocks * 4) weekInBlock = 3;  // a 53rd weekend continues the last block
  for (int code : kBlockVenues[static_cast<size_t>(block)]) {
    if (code == 0) continue;
    int kai = 0;
    for (int b = 0; b <= block; ++b)
      for (int c : kBlockVenues[static_cast<size_t>(b)])
        if (c == code) ++kai;
    day.venues.push_back(VenueDay{code, kai, weekInBlock * 2 + (weekday == 6 ? 1 : 2)});
  }
  return day;
}

std::vector<Weekend> BuildCalendar(const CalendarPlan& plan) {
  // The feed days, from the first meeting day on or after `from`.
  std::vector<MeetingDay> feed;
  for (Date d = plan.from; static_cast<int>(feed.size()) < plan.feedDays; d = d.Plus(1)) {
    MeetingDay day = MeetingOn(d);
    if (!day.venues.empty()) feed.push_back(day);
  }
  Date firstSaturday = plan.from.Weekday() == 0 ? plan.from.Plus(-1) : plan.from;
  while (firstSaturday.Weekday() != 6) firstSaturday = firstSaturday.Plus(1);
  if (!feed.empty()) {
    firstSaturday =
        feed.front().date.Weekday() == 6 ? feed.front().date : feed.front().date.Plus(-1);
  }
  Date lastDay = feed.empty() ? firstSaturday.Plus(-1) : feed.back().date;

  int weeksBack = std::max(plan.historyWeeks, plan.oldWeeks > 0 ? plan.oldGapWeeks : 0);
  Date start = firstSaturday.Plus(-7 * weeksBack);
  std::vector<Weekend> weekends;
  for (Date sat = start; sat <= lastDay; sat = sat.Plus(7)) {
    int weeksBefore = DaysBetween(sat, firstSaturday) / 7;
    Weekend weekend;
    weekend.saturday = sat;
    if (weeksBefore <= 0) {
      weekend.role = WeekendRole::kFeed;
    } else if (weeksBefore <= plan.historyWeeks) {
      weekend.role = WeekendRole::kHistory;
    } else if (plan.oldWeeks > 0 && weeksBefore > plan.oldGapWeeks - plan.oldWeeks) {
      weekend.role = WeekendRole::kHistory;
    } else {
      weekend.role = WeekendRole::kHidden;
    }
    for (Date d : {sat, sat.Plus(1)}) {
      if (weekend.role == WeekendRole::kFeed) {
        bool inFeed = false;
        for (const MeetingDay& f : feed)
          if (f.date == d) inFeed = true;
        if (!inFeed) continue;
      }
      MeetingDay day = MeetingOn(d);
      if (!day.venues.empty()) weekend.days.push_back(day);
    }
    if (!weekend.days.empty()) weekends.push_back(weekend);
  }
  return weekends;
}

}  // namespace sorvix::feedgen
