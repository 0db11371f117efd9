// Which frame shows when, and when it next changes.
#include <gtest/gtest.h>

#include <array>

#include "pictures/AnimationClock.h"

namespace norv {
namespace {

using ms = std::chrono::milliseconds;
const std::vector<ms> kLogo(4, ms(600));
constexpr long long kNever = -1;

// Each sample: time, frame shown, time of the next change (kNever: none).
void Check(const AnimationClock& clock, std::vector<std::array<long long, 3>> samples) {
  for (const auto& [at, frame, next] : samples) {
    EXPECT_EQ(clock.FrameAt(ms(at)), std::size_t(frame)) << "at " << at;
    EXPECT_EQ(clock.NextChange(ms(at)).value_or(ms(kNever)), ms(next)) << "after " << at;
  }
}

TEST(AnimationClock, EndlessLoop) {
  Check(AnimationClock(kLogo, 0), {{-50, 0, 600},
                                   {0, 0, 600},
                                   {599, 0, 600},
                                   {600, 1, 1200},
                                   {2399, 3, 2400},
                                   {2400, 0, 3000},
                                   {240000001799, 2, 240000001800}});
}

TEST(AnimationClock, CountedPassesEndOnTheLastFrame) {
  // No loop extension: one pass.
  Check(AnimationClock(kLogo, std::nullopt),
        {{1000, 1, 1200}, {1800, 3, kNever}, {99999, 3, kNever}});
  // Loop count 1: the first pass and one repeat.
  Check(AnimationClock(kLogo, 1),
        {{2399, 3, 2400}, {2400, 0, 3000}, {4200, 3, kNever}, {4800, 3, kNever}});
}

TEST(AnimationClock, ZeroLengthAndSingleFrames) {
  Check(AnimationClock({ms(0), ms(100), ms(0), ms(100)}, 0),
        {{0, 1, 100}, {99, 1, 100}, {100, 3, 200}, {200, 1, 300}});
  Check(AnimationClock({ms(0), ms(0), ms(0)}, 0), {{0, 2, kNever}, {500, 2, kNever}});
  Check(AnimationClock({ms(600)}, 0), {{0, 0, kNever}, {100000, 0, kNever}});
  EXPECT_THROW(AnimationClock({}, 0), std::invalid_argument);
}

}  // namespace
}  // namespace norv
