#include "tools/norvarc/ServeGapMeter.h"

namespace norv::tool {

void ServeGapMeter::ServeMessages() {
  using std::chrono::milliseconds;
  const auto now = std::chrono::steady_clock::now();
  const std::clock_t clock = std::clock();
  if (calls_++ > 0) {
    if (clock - lastClock_ > longestClock_) longestClock_ = clock - lastClock_;
    const auto gap = now - last_;
    if (gap > longest_) longest_ = gap;
    over1ms_ += gap >= milliseconds(1);
    over5ms_ += gap >= milliseconds(5);
  }
  inner_.ServeMessages();
  last_ = std::chrono::steady_clock::now();
  lastClock_ = std::clock();
}

double ServeGapMeter::LongestGapMilliseconds() const {
  return std::chrono::duration<double, std::milli>(longest_).count();
}

double ServeGapMeter::LongestBusyGapMilliseconds() const {
  return 1000.0 * static_cast<double>(longestClock_) / CLOCKS_PER_SEC;
}

}  // namespace norv::tool
