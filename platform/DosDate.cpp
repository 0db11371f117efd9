#include "platform/DosDate.h"

namespace norv {

std::int32_t PackDosDate(const DosDateTime& t) {
  if (t.year < 1980 || t.year > 2107 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 ||
      t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 ||
      t.second > 59) {
    return -1;
  }
  std::uint32_t date = (std::uint32_t(t.year - 1980) << 9) | (std::uint32_t(t.month) << 5) |
                       std::uint32_t(t.day);
  std::uint32_t time = (std::uint32_t(t.hour) << 11) | (std::uint32_t(t.minute) << 5) |
                       std::uint32_t(t.second / 2);
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

}  // namespace norv
