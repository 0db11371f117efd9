#pragma once
// MS-DOS date-time stamps: date in the high 16 bits, time in the low 16 bits,
// bits 31-25 year-1980, 24-21 month, 20-16 day, 15-11 hour, 10-5 minute,
// 4-0 seconds/2.
#include <cstdint>

namespace norv {

struct DosDateTime {
  int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Packs a local date-time; returns -1 when it cannot be expressed (years
// before 1980 or after 2107, a day the month does not have, fields out of
// range).
std::int32_t PackDosDate(const DosDateTime& t);
DosDateTime UnpackDosDate(std::int32_t stamp);

// Whether the stamp names a real date-time: month 1-12, a day the month has
// (29 February in leap years only), hour < 24, minute < 60, seconds/2 < 30.
// A file is never given an invalid stamp: it keeps its time instead.
bool IsValidDosDate(std::int32_t stamp);

}  // namespace norv
