#include "pictures/GifReader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "pictures/PictureError.h"
#include "pictures/PictureLimits.h"

namespace norv {
namespace {

struct MemorySource {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  const std::size_t wanted = count < 0 ? 0 : static_cast<std::size_t>(count);
  const std::size_t n = std::min(wanted, source->data.size() - source->position);
  std::memcpy(buffer, source->data.data() + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(const std::string& what) {
  throw PictureError("Cannot decode GIF picture: " + what);
}

[[noreturn]] void FailWithCode(int code) {
  const char* text = GifErrorString(code);
  Fail(text ? text : "error " + std::to_string(code));
}

void Check(GifFileType* gif, int result) {
  if (result == GIF_ERROR) FailWithCode(gif->Error);
}

std::vector<std::uint32_t> ToPalette(const ColorMapObject* map) {
  std::vector<std::uint32_t> palette;
  if (!map) return palette;
  for (int i = 0; i < map->ColorCount; ++i) {
    const GifColorType& c = map->Colors[i];
    palette.push_back(0xFF000000u | (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) |
                      c.Blue);
  }
  return palette;
}

// Graphic control settings waiting for the next image.
struct PendingControl {
  int delay = 0;
  GifDisposal disposal = GifDisposal::kNone;
  int transparentIndex = -1;
};

void ReadExtension(GifFileType* gif, GifContents& contents, PendingControl& control) {
  int code = 0;
  GifByteType* block = nullptr;
  Check(gif, DGifGetExtension(gif, &code, &block));
  if (block && code == GRAPHICS_EXT_FUNC_CODE) {
    GraphicsControlBlock gcb{};
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_ERROR) {
      Fail("malformed graphic control extension");
    }
    control.delay = gcb.DelayTime;
    control.disposal = static_cast<GifDisposal>(gcb.DisposalMode);
    control.transparentIndex = gcb.TransparentColor;
  }
  bool looping = block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11 &&
                 (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                  std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
  while (block) {
    Check(gif, DGifGetExtensionNext(gif, &block));
    // The looping sub-block: id 1, then the count, least significant byte first.
    if (looping && block && block[0] >= 3 && block[1] == 1) {
      contents.loopCount = block[2] | (block[3] << 8);
      looping = false;
    }
  }
}

GifImage ReadImage(GifFileType* gif, const GifContents& contents, const PendingControl& control) {
  Check(gif, DGifGetImageDesc(gif));
  const GifImageDesc& desc = gif->Image;
  GifImage image;
  image.left = desc.Left;
  image.top = desc.Top;
  image.width = desc.Width;
  image.height = desc.Height;
  image.interlaced = desc.Interlace;
  image.hasLocalPalette = desc.ColorMap != nullptr;
  image.delay = control.delay;
  image.disposal = control.disposal;
  image.transparentIndex = control.transparentIndex;
  image.palette = desc.ColorMap ? ToPalette(desc.ColorMap) : contents.globalPalette;
  if (image.palette.empty()) Fail("image without a colour table");
  if (image.width < 0 || image.height < 0 ||
      static_cast<long long>(image.width) * image.height > kMaxPicturePixels) {
    Fail("image too large");
  }
  if (image.width == 0 || image.height == 0) {
    // Nothing to draw; skip the image's data sub-blocks.
    int codeSize = 0;
    GifByteType* block = nullptr;
    Check(gif, DGifGetCode(gif, &codeSize, &block));
    while (block) Check(gif, DGifGetCodeNext(gif, &block));
    return image;
  }
  const auto width = static_cast<std::size_t>(image.width);
  image.indices.resize(width * static_cast<std::size_t>(image.height));
  auto readRow = [&](int row) {
    Check(gif, DGifGetLine(gif, image.indices.data() + static_cast<std::size_t>(row) * width,
                           image.width));
  };
  if (desc.Interlace) {
    // Four passes: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int row = kStart[pass]; row < image.height; row += kStep[pass]) readRow(row);
    }
  } else {
    for (int row = 0; row < image.height; ++row) readRow(row);
  }
  return image;
}

}  // namespace

GifContents ReadGif(std::span<const std::uint8_t> data) {
  if (data.empty()) Fail("the data is empty");
  MemorySource source{data};
  int error = 0;
  GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
  if (!gif) FailWithCode(error);

  GifContents contents;
  contents.width = gif->SWidth;
  contents.height = gif->SHeight;
  contents.backgroundIndex = gif->SBackGroundColor;
  contents.globalPalette = ToPalette(gif->SColorMap);
  const long long screen = static_cast<long long>(contents.width) * contents.height;
  if (screen <= 0) Fail("the logical screen is empty");
  if (screen > kMaxPicturePixels) Fail("the logical screen is too large");

  PendingControl control;
  long long composed = 0;
  long long indices = 0;  // the images' colour indices, all held until composed
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    Check(gif.get(), DGifGetRecordType(gif.get(), &type));
    if (type == TERMINATE_RECORD_TYPE) break;
    if (type == EXTENSION_RECORD_TYPE) {
      ReadExtension(gif.get(), contents, control);
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      // Each image becomes one composed frame of the screen's size.
      composed += screen;
      if (composed > kMaxAnimationPixels) Fail("too many frames");
      contents.images.push_back(ReadImage(gif.get(), contents, control));
      indices += static_cast<long long>(contents.images.back().indices.size());
      if (indices > kMaxAnimationPixels) Fail("too many frames");
      control = PendingControl{};  // a graphic control extension applies to one image
    } else {
      Fail("unexpected record");
    }
  }
  if (contents.images.empty()) Fail("no images");
  return contents;
}

}  // namespace norv
