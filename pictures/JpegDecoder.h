#pragma once
// Decodes a JPEG (JFIF) picture held in memory.
#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace norv {

// Largest picture we agree to decode, so a forged header cannot make us
// allocate gigabytes.
constexpr long long kMaxJpegPixels = 32LL * 1024 * 1024;

// The picture at its own size, every pixel opaque. Greyscale pictures come out
// as grey RGB. Throws PictureError on anything libjpeg rejects or warns about
// (a truncated or corrupt file is an error, not a grey bottom half).
Bitmap DecodeJpeg(std::span<const std::uint8_t> data);

}  // namespace norv
