#pragma once
// Measures how long a restore goes without serving messages: the longest
// time between two calls of ServeMessages. "extract --measure-serve-gap"
// puts it in front of the console; without that option nothing measures.
#include <chrono>
#include <cstdint>
#include <ctime>

#include "platform/UserInterface.h"

namespace norv::tool {

class ServeGapMeter : public UserInterface {
 public:
  explicit ServeGapMeter(UserInterface& inner) : inner_(inner) {}

  DialogResult MessageDialog(const std::string& text, DialogKind kind,
                             DialogButtons buttons) override {
    return inner_.MessageDialog(text, kind, buttons);
  }
  void ServeMessages() override;

  double LongestGapMilliseconds() const;
  // The longest gap counted in processor time of this process, which leaves
  // out the time other processes had the processor or the disk made us wait.
  double LongestBusyGapMilliseconds() const;
  std::int64_t Calls() const { return calls_; }
  // Gaps of at least 1 ms and at least 5 ms.
  std::int64_t GapsOver1ms() const { return over1ms_; }
  std::int64_t GapsOver5ms() const { return over5ms_; }

 private:
  UserInterface& inner_;
  std::chrono::steady_clock::time_point last_{};
  std::chrono::steady_clock::duration longest_{};
  std::clock_t lastClock_ = 0;
  std::clock_t longestClock_ = 0;
  std::int64_t calls_ = 0;
  std::int64_t over1ms_ = 0;
  std::int64_t over5ms_ = 0;
};

}  // namespace norv::tool
