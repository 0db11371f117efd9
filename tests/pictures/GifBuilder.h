#pragma once
// Writes small GIF files for tests, every structural choice explicit.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace norv::testing {

struct FramePlan {
  int left = 0, top = 0, width = 1, height = 1;
  std::vector<std::uint8_t> indices;        // width * height, rows from the top
  std::vector<std::uint32_t> localPalette;  // 0xRRGGBB; empty: none
  bool interlaced = false;
  bool control = true;  // write a graphic control extension
  int delay = 0, disposal = 0, transparent = -1;
};

struct GifPlan {
  int width = 1, height = 1;
  std::vector<std::uint32_t> globalPalette;  // 0xRRGGBB; empty: none
  int loop = -1;                             // -1: no NETSCAPE2.0 extension
  std::vector<FramePlan> frames;
};

std::vector<std::uint8_t> BuildGif(const GifPlan& plan);

// A frame filling the rectangle with one colour index.
inline FramePlan Solid(int left, int top, int width, int height, std::uint8_t index) {
  FramePlan f;
  f.left = left, f.top = top, f.width = width, f.height = height;
  f.indices.assign(static_cast<std::size_t>(width * height), index);
  return f;
}

}  // namespace norv::testing
