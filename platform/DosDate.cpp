#include "platform/DosDate.h"

namespace norv {

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValid(const DosDateTime& t) {
  return t.year >= 1980 && t.year <= 2107 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

}  // namespace

std::int32_t PackDosDate(const DosDateTime& t) {
  if (!IsValid(t)) return -1;
  std::uint32_t date =
      (std::uint32_t(t.year - 1980) << 9) | (std::uint32_t(t.month) << 5) | std::uint32_t(t.day);
  std::uint32_t time =
      (std::uint32_t(t.hour) << 11) | (std::uint32_t(t.minute) << 5) | std::uint32_t(t.second / 2);
  return static_cast<std::int32_t>((date << 16) | time);
}

DosDateTime UnpackDosDate(std::int32_t stamp) {
  auto v = static_cast<std::uint32_t>(stamp);
  DosDateTime t;
  t.year = int((v >> 25) & 0x7F) + 1980;
  t.month = int((v >> 21) & 0x0F);
  t.day = int((v >> 16) & 0x1F);
  t.hour = int((v >> 11) & 0x1F);
  t.minute = int((v >> 5) & 0x3F);
  t.second = int(v & 0x1F) * 2;
  return t;
}

bool IsValidDosDate(std::int32_t stamp) {
  return IsValid(UnpackDosDate(stamp));
}

}  // namespace norv
