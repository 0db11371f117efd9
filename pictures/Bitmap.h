#pragma once
// A decoded picture in memory, and the few operations the window's boxes need.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace norv {

// Pixels are 0xAARRGGBB, row by row from the top. Alpha is 0xFF for an opaque
// pixel and 0 for a transparent one (only GIF canvases have those); in memory
// this is the 32-bit BGRA layout of a Windows DIB.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  Bitmap() = default;
  Bitmap(int w, int h, std::uint32_t fill);

  std::uint32_t& At(int x, int y) { return pixels[Index(x, y)]; }
  std::uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

constexpr std::uint32_t kTransparent = 0;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr bool IsTransparent(std::uint32_t pixel) {
  return (pixel >> 24) == 0;
}

// The w x h part of `source` whose top-left corner is (x, y); pixels that lie
// outside `source` take `fill`.
Bitmap Crop(const Bitmap& source, int x, int y, int w, int h, std::uint32_t fill);

// `above` drawn over `below` (same size): transparent pixels of `above` show `below`.
Bitmap DrawOver(const Bitmap& below, const Bitmap& above);

}  // namespace norv
