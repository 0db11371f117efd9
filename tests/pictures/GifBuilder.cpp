#include "GifBuilder.h"

#include <algorithm>

namespace norv::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Two push_backs: GCC 12 at -O3 takes an insert of a brace list here for a
// copy past the vector's end (a false -Warray-bounds).
void Put16(Bytes& out, int v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

// The packed-byte size field of a table holding `entries` colours.
int SizeField(std::size_t entries) {
  int field = 0;
  while ((std::size_t{2} << field) < entries) ++field;
  return field;
}

void PutTable(Bytes& out, const std::vector<std::uint32_t>& rgb) {
  for (std::size_t i = 0; i < (std::size_t{2} << SizeField(rgb.size())); ++i) {
    const std::uint32_t c = i < rgb.size() ? rgb[i] : 0;
    out.insert(out.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
  }
}

// LZW without compression, 8-bit minimum code size: a clear code before the
// decoder's table would need wider codes keeps every code 9 bits wide.
Bytes Lzw(const Bytes& indices) {
  Bytes out;
  std::uint32_t acc = 0;
  int bits = 0, run = 0;
  auto emit = [&](int code) {
    for (acc |= std::uint32_t(code) << bits, bits += 9; bits >= 8; acc >>= 8, bits -= 8) {
      out.push_back(std::uint8_t(acc));
    }
  };
  emit(256);
  for (std::uint8_t index : indices) {
    if (run++ == 254) emit(256), run = 1;
    emit(index);
  }
  emit(257);
  if (bits) out.push_back(std::uint8_t(acc));
  return out;
}

// Rows in the order an interlaced image stores them.
Bytes Interlace(const FramePlan& f) {
  Bytes out;
  const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int row = start[pass]; row < f.height; row += step[pass]) {
      const auto first = f.indices.begin() + row * f.width;
      out.insert(out.end(), first, first + f.width);
    }
  }
  return out;
}

}  // namespace

Bytes BuildGif(const GifPlan& plan) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, plan.width);
  Put16(out, plan.height);
  const bool global = !plan.globalPalette.empty();
  out.insert(out.end(),
             {std::uint8_t(global ? 0xF0 | SizeField(plan.globalPalette.size()) : 0x70), 0, 0});
  if (global) PutTable(out, plan.globalPalette);
  if (plan.loop >= 0) {
    const char app[] = "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
    out.insert(out.end(), app, app + 16);
    Put16(out, plan.loop);
    out.push_back(0);
  }
  for (const FramePlan& f : plan.frames) {
    if (f.control) {
      out.insert(out.end(),
                 {0x21, 0xF9, 4, std::uint8_t((f.disposal << 2) | (f.transparent >= 0))});
      Put16(out, f.delay);
      out.insert(out.end(), {std::uint8_t(std::max(f.transparent, 0)), 0});
    }
    out.push_back(0x2C);
    for (int v : {f.left, f.top, f.width, f.height}) Put16(out, v);
    const bool local = !f.localPalette.empty();
    out.push_back(std::uint8_t((f.interlaced ? 0x40 : 0) |
                               (local ? 0x80 | SizeField(f.localPalette.size()) : 0)));
    if (local) PutTable(out, f.localPalette);
    out.push_back(8);  // minimum code size: any index fits, whatever the table size
    const Bytes data = Lzw(f.interlaced ? Interlace(f) : f.indices);
    for (std::size_t i = 0; i < data.size(); i += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - i);
      out.push_back(std::uint8_t(n));
      out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                 data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace norv::testing
