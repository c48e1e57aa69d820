// Calendar dates written in records as digit fields (year 4, month 2, day 2).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sorvix {

// The day number (days since 1970-01-01) of the date given by the three
// digit fields, or nullopt when they are not a date: a field with anything
// but digits, year 0, month outside 1–12, or a day the month does not have.
std::optional<int64_t> CalendarDay(std::string_view year, std::string_view month,
                                   std::string_view day);

// The same for a record's positions 12–15, 16–17 and 18–19.
std::optional<int64_t> RecordDay(std::string_view record);

}  // namespace sorvix
