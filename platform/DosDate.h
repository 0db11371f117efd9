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
// before 1980 or after 2107, fields out of range).
std::int32_t PackDosDate(const DosDateTime& t);
DosDateTime UnpackDosDate(std::int32_t stamp);

}  // namespace norv
