#include "pictures/GifComposer.h"

#include <algorithm>

#include "pictures/PictureError.h"

namespace norv {
namespace {

struct Rect {
  int x0, y0, x1, y1;  // half-open
};

// The part of an image's rectangle that lies on the screen.
Rect VisiblePart(const GifImage& image, int width, int height) {
  return Rect{std::clamp(image.left, 0, width), std::clamp(image.top, 0, height),
              std::clamp(image.left + image.width, 0, width),
              std::clamp(image.top + image.height, 0, height)};
}

void Draw(const GifImage& image, const Rect& r, Bitmap& canvas) {
  constexpr std::uint32_t kBlack = Opaque(0, 0, 0);
  const auto stride = static_cast<std::size_t>(image.width);
  for (int y = r.y0; y < r.y1; ++y) {
    const std::uint8_t* row =
        image.indices.data() + static_cast<std::size_t>(y - image.top) * stride;
    for (int x = r.x0; x < r.x1; ++x) {
      const int index = row[x - image.left];
      if (index == image.transparentIndex) continue;
      canvas.At(x, y) =
          static_cast<std::size_t>(index) < image.palette.size() ? image.palette[index] : kBlack;
    }
  }
}

void Fill(const Rect& r, std::uint32_t colour, Bitmap& canvas) {
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) canvas.At(x, y) = colour;
  }
}

}  // namespace

Animation ComposeGif(const GifContents& contents) {
  Animation animation;
  animation.width = contents.width;
  animation.height = contents.height;
  animation.loopCount = contents.loopCount;
  Bitmap canvas(contents.width, contents.height, kTransparent);
  for (const GifImage& image : contents.images) {
    const Rect r = VisiblePart(image, contents.width, contents.height);
    Bitmap before;
    if (image.disposal == GifDisposal::kPrevious) before = canvas;
    if (image.indices.size() !=
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
      throw PictureError("GIF image data does not match its size");
    }
    if (!image.indices.empty()) Draw(image, r, canvas);
    animation.frames.push_back(AnimationFrame{canvas, image.delay * kGifDelayUnit});
    if (image.disposal == GifDisposal::kBackground) {
      Fill(r, kTransparent, canvas);
    } else if (image.disposal == GifDisposal::kPrevious) {
      canvas = std::move(before);
    }
  }
  return animation;
}

Animation DecodeGif(std::span<const std::uint8_t> data) {
  return ComposeGif(ReadGif(data));
}

}  // namespace norv
