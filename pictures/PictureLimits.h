#pragma once
// How much a picture may decode to. Pictures only decorate the installer's
// window (644 x 343 client pixels at 96 dpi, twice that on a 192-dpi
// screen), so anything beyond these bounds is damage or forgery, refused
// before it is allocated.
namespace norv {

// One picture, one GIF screen or one GIF image: 1 Mi pixels, 4 MiB as 32-bit
// pixels (1280 x 800 fits).
constexpr long long kMaxPicturePixels = 1LL << 20;
// Every frame of an animation together, and every image's colour indices
// together: 2 Mi pixels, 8 MiB of frames.
constexpr long long kMaxAnimationPixels = 2LL << 20;

}  // namespace norv
