#pragma once
// Reads the records of a GIF file held in memory: the logical screen, the
// colour tables, every image with its graphic control settings and the
// NETSCAPE2.0 loop count. Composing the images into frames is GifComposer's job.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace norv {

enum class GifDisposal : std::uint8_t {
  kNone = 0,        // not specified: leave the image in place
  kKeep = 1,        // leave the image in place
  kBackground = 2,  // clear the image's rectangle
  kPrevious = 3,    // restore what the rectangle showed before the image
};

struct GifImage {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  bool hasLocalPalette = false;
  // The colour table in force for this image (local, else global), as opaque 0xAARRGGBB.
  std::vector<std::uint32_t> palette;
  // width * height colour indices, rows from the top (interlacing already undone).
  std::vector<std::uint8_t> indices;
  // From the graphic control extension before the image (defaults without one).
  int delay = 0;  // in the file's delay units
  GifDisposal disposal = GifDisposal::kNone;
  int transparentIndex = -1;  // -1: no transparent colour
};

struct GifContents {
  int width = 0, height = 0;  // the logical screen
  int backgroundIndex = 0;
  std::vector<std::uint32_t> globalPalette;  // empty when the file has none
  // NETSCAPE2.0 loop count (0 = forever); empty when the file has no such extension.
  std::optional<int> loopCount;
  std::vector<GifImage> images;
};

// Throws PictureError when the data is not a complete, well-formed GIF, or
// when it would decode to more than the bounds of PictureLimits.h.
GifContents ReadGif(std::span<const std::uint8_t> data);

}  // namespace norv
