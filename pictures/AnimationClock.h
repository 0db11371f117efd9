#pragma once
// Which frame of an animation shows at a given time after its start.
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace norv {

class AnimationClock {
 public:
  using Duration = std::chrono::milliseconds;

  // `loopCount` as in Animation: 0 = endless, n = n repeats after the first
  // pass, empty = one pass. Frames of zero duration are never shown; an
  // animation whose frames all last zero shows its last frame.
  AnimationClock(std::vector<Duration> durations, std::optional<int> loopCount);

  // The frame shown `elapsed` after the start; after the last pass, the last frame.
  std::size_t FrameAt(Duration elapsed) const;

  // The time after the start at which the next frame begins, counted from
  // `elapsed`; empty when the picture never changes again.
  std::optional<Duration> NextChange(Duration elapsed) const;

 private:
  std::vector<Duration> ends_;  // end of each frame within one pass
  Duration cycle_{0};
  long long passes_ = 1;  // 0 = endless
};

}  // namespace norv
