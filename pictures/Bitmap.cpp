#include "pictures/Bitmap.h"

#include <algorithm>
#include <stdexcept>

namespace norv {

Bitmap::Bitmap(int w, int h, std::uint32_t fill) : width(w), height(h) {
  if (w < 0 || h < 0) throw std::invalid_argument("Bitmap size is negative");
  pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill);
}

Bitmap Crop(const Bitmap& source, int x, int y, int w, int h, std::uint32_t fill) {
  Bitmap out(w, h, fill);
  // Rows and columns of the result that `source` covers.
  const int x0 = std::max(0, -x), x1 = std::min(w, source.width - x);
  const int y0 = std::max(0, -y), y1 = std::min(h, source.height - y);
  for (int row = y0; row < y1; ++row) {
    for (int col = x0; col < x1; ++col) out.At(col, row) = source.At(x + col, y + row);
  }
  return out;
}

Bitmap DrawOver(const Bitmap& below, const Bitmap& above) {
  if (below.width != above.width || below.height != above.height) {
    throw std::invalid_argument("DrawOver needs bitmaps of the same size");
  }
  Bitmap out = below;
  for (std::size_t i = 0; i < out.pixels.size(); ++i) {
    if (!IsTransparent(above.pixels[i])) out.pixels[i] = above.pixels[i];
  }
  return out;
}

}  // namespace norv
