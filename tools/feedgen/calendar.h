// The meeting calendar: meeting days on Saturdays and Sundays, two or three
// venues a day, with meeting (回) and day (日目) numbers that advance through
// the season the way a racing year is organised in blocks of four weekends.
#pragma once

#include <vector>

#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

struct VenueDay {
  int venue = 0;  // venue code 1 … 10
  int kai = 0;    // meeting number of the venue in the year
  int day = 0;    // day number within the meeting
};

struct MeetingDay {
  Date date;
  std::vector<VenueDay> venues;  // the main venue first
};

// What becomes of a weekend's races in the written feed.
enum class WeekendRole {
  kHidden,   // simulated only: its results shape the horses' careers and counts
  kHistory,  // written as results only, the way a set-up download delivers them
  kFeed,     // written with the whole weekly flow (entries, cards, real time, results)
};

struct Weekend {
  Date saturday;
  WeekendRole role = WeekendRole::kHidden;
  std::vector<MeetingDay> days;  // in date order; a weekend may hold one day
};

// The venues and numbering of one date, or an empty day when no meeting is
// held then (a weekday, or the New Year break).
MeetingDay MeetingOn(const Date& date);

struct CalendarPlan {
  Date from;             // first feed day: this date or the next meeting day
  int feedDays = 0;      // meeting days written with the whole weekly flow
  int historyWeeks = 8;  // weekends right before the feed, written as results
  int oldWeeks = 2;      // weekends about 80 weeks before the feed, as results
  int oldGapWeeks = 80;  // how far back the old weekends lie
};

// Every weekend from the first old weekend to the last feed day, hidden
// weekends included, in date order.
std::vector<Weekend> BuildCalendar(const CalendarPlan& plan);

}  // namespace sorvix::feedgen
