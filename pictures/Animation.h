#pragma once
// A decoded animation: composed frames ready to draw, with their display times.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pictures/Bitmap.h"

namespace norv {

// Each GIF delay unit is shown for 12 ms.
constexpr std::chrono::milliseconds kGifDelayUnit{12};

struct AnimationFrame {
  Bitmap canvas;  // the whole logical screen as it looks while this frame shows
  std::chrono::milliseconds duration{0};
};

struct Animation {
  int width = 0, height = 0;
  std::vector<AnimationFrame> frames;
  // NETSCAPE2.0 loop count: 0 repeats without end, n repeats n more times
  // after the first pass; empty when the file has none (one pass).
  std::optional<int> loopCount;
};

// Decodes a GIF87a/GIF89a file held in memory. Throws PictureError on
// malformed, truncated or oversized input.
Animation DecodeGif(std::span<const std::uint8_t> data);

}  // namespace norv
