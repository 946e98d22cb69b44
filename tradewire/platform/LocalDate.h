#pragma once
// Calendar dates in the user's time zone. Safe from any thread.

#include <ctime>

namespace LocalDate {

// The local date of `seconds` since 1 January 1970: year (e.g. 2024), month 1 to 12, day of
// month. False when the time cannot be converted (the outputs are then untouched).
bool FromSeconds(long seconds, int& year, int& month, int& day);

// The system half: `time` broken down in the user's time zone as it is now set. False when the
// system cannot convert it.
bool BreakDown(std::time_t time, std::tm& local);

}  // namespace LocalDate
