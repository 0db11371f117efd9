#include "pictures/AnimationClock.h"

#include <algorithm>
#include <stdexcept>

namespace norv {

AnimationClock::AnimationClock(std::vector<Duration> durations, std::optional<int> loopCount) {
  if (durations.empty()) throw std::invalid_argument("An animation needs at least one frame");
  for (Duration d : durations) {
    cycle_ += std::max(d, Duration{0});
    ends_.push_back(cycle_);
  }
  if (!loopCount) {
    passes_ = 1;
  } else if (*loopCount <= 0) {
    passes_ = 0;
  } else {
    passes_ = static_cast<long long>(*loopCount) + 1;
  }
}

std::size_t AnimationClock::FrameAt(Duration elapsed) const {
  const std::size_t last = ends_.size() - 1;
  if (cycle_.count() == 0) return last;
  elapsed = std::max(elapsed, Duration{0});
  if (passes_ != 0 && elapsed.count() / cycle_.count() >= passes_) return last;
  const Duration within = elapsed % cycle_;
  // The first frame that ends after `within`; zero-length frames end where they start.
  return static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), within) -
                                  ends_.begin());
}

std::optional<AnimationClock::Duration> AnimationClock::NextChange(Duration elapsed) const {
  if (cycle_.count() == 0 || ends_.size() < 2) return std::nullopt;
  elapsed = std::max(elapsed, Duration{0});
  const long long pass = elapsed.count() / cycle_.count();
  if (passes_ != 0 && pass >= passes_) return std::nullopt;
  const Duration passStart = pass * cycle_;
  const Duration end = *std::upper_bound(ends_.begin(), ends_.end(), elapsed - passStart);
  // The end of the last pass's last frame is not a change: that frame stays.
  if (passes_ != 0 && pass == passes_ - 1 && end == cycle_) return std::nullopt;
  return passStart + end;
}

}  // namespace norv
