// The fast block decoder against zlib alone: for every input the same
// result (bytes produced, failure) and the same output bytes, also with one
// decoder reused across blocks as a restore reuses it.
//
// The first byte picks how the rest becomes a block:
//   0..127   the whole input as it is (a zlib header starts 0x78);
//   128..191 the rest as deflate data, between a zlib header and the
//            Adler-32 of what a whole-buffer decoder makes of it, so that
//            an encoding only that decoder accepts reaches the comparison
//            with a matching checksum;
//   192..255 the same with a dynamic block header built from fields: HLIT,
//            HDIST, HCLEN and the 19 code-length code lengths from one byte
//            each, then the rest as the block's bits.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/BlockDecoder.h"

#ifdef NORV_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

using namespace norv;

namespace {

constexpr std::size_t kOut = archive::kBlockSize;

class BitAppender {
 public:
  void Bits(unsigned value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      bytes_.back() =
          static_cast<unsigned char>(bytes_.back() | (((value >> i) & 1u) << (used_ % 8)));
      ++used_;
    }
  }
  std::vector<unsigned char> bytes_;
  std::size_t used_ = 0;
};

// A final dynamic block's header from one byte per field, then the data.
std::vector<unsigned char> DynamicBlock(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kFields = 3 + 19;
  if (size < kFields) return {data, data + size};
  BitAppender out;
  out.Bits(1, 1);
  out.Bits(2, 2);
  out.Bits(data[0] & 31u, 5);
  out.Bits(data[1] & 31u, 5);
  out.Bits(data[2] & 15u, 4);
  const unsigned lengths = 4 + (data[2] & 15u);
  for (unsigned i = 0; i < lengths; ++i) out.Bits(data[3 + i] & 7u, 3);
  for (std::size_t i = kFields; i < size; ++i) out.Bits(data[i], 8);
  return out.bytes_;
}

// Header, deflate data, and the Adler-32 of what the whole-buffer decoder
// makes of the data (of nothing when it refuses them).
std::vector<unsigned char> AsZlibStream(const std::vector<unsigned char>& deflate) {
  std::vector<unsigned char> stream = {0x78, 0x9C};
  stream.insert(stream.end(), deflate.begin(), deflate.end());
  std::vector<unsigned char> decoded(kOut);
  std::size_t produced = 0;
#ifdef NORV_HAVE_LIBDEFLATE
  static libdeflate_decompressor* raw = libdeflate_alloc_decompressor();
  if (libdeflate_deflate_decompress(raw, deflate.data(), deflate.size(), decoded.data(),
                                    decoded.size(), &produced) != LIBDEFLATE_SUCCESS) {
    produced = 0;
  }
#endif
  const uLong adler = adler32(adler32(0, nullptr, 0), decoded.data(), static_cast<uInt>(produced));
  for (int shift = 24; shift >= 0; shift -= 8)
    stream.push_back(static_cast<unsigned char>(adler >> shift));
  return stream;
}

std::vector<unsigned char> Block(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || data[0] < 128) return {data, data + size};
  if (data[0] < 192) return AsZlibStream({data + 1, data + size});
  return AsZlibStream(DynamicBlock(data + 1, size - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > archive::kBlockSize) return 0;
  // Kept across inputs: no state may pass from one block to the next.
  static BlockDecoder fast(BlockDecoder::Path::Fast);
  static BlockDecoder zlibOnly(BlockDecoder::Path::ZlibOnly);

  const std::vector<unsigned char> block = Block(data, size);
  std::vector<unsigned char> reference(kOut, 0xAA);
  std::vector<unsigned char> quick(kOut, 0xAA);
  std::vector<unsigned char> plain(kOut, 0xAA);
  const InflateResult expected = InflateBlock(block.data(), block.size(), reference.data(), kOut);
  const InflateResult got = fast.Inflate(block.data(), block.size(), quick.data(), kOut);
  const InflateResult again = zlibOnly.Inflate(block.data(), block.size(), plain.data(), kOut);
  if (!(got == expected) || !(again == expected)) {
    std::fprintf(stderr, "results differ: zlib %zu/%d fast %zu/%d zlib-only %zu/%d\n",
                 expected.produced, expected.failed, got.produced, got.failed, again.produced,
                 again.failed);
    std::abort();
  }
  if (expected.produced > kOut) std::abort();
  if (std::memcmp(reference.data(), quick.data(), expected.produced) != 0 ||
      std::memcmp(reference.data(), plain.data(), expected.produced) != 0) {
    std::fprintf(stderr, "output bytes differ\n");
    std::abort();
  }
  return 0;
}
