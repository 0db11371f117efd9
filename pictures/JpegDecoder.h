#pragma once
// Decodes a JPEG (JFIF) picture held in memory.
#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace norv {

// The picture at its own size, every pixel opaque. Greyscale pictures come out
// as grey RGB. Throws PictureError on anything libjpeg rejects or warns about
// (a truncated or corrupt file is an error, not a grey bottom half), and a
// picture larger than kMaxPicturePixels before decoding it.
Bitmap DecodeJpeg(std::span<const std::uint8_t> data);

}  // namespace norv
