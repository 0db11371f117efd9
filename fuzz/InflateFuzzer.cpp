// The fast block decoder against zlib alone: for every input the same
// result (bytes produced, failure) and the same output bytes, also with one
// decoder reused across blocks as a restore reuses it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/BlockDecoder.h"

using namespace norv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > archive::kBlockSize) return 0;
  constexpr std::size_t kOut = archive::kBlockSize;
  // Kept across inputs: no state may pass from one block to the next.
  static BlockDecoder fast(BlockDecoder::Path::Fast);
  static BlockDecoder zlibOnly(BlockDecoder::Path::ZlibOnly);

  std::vector<unsigned char> reference(kOut, 0xAA);
  std::vector<unsigned char> quick(kOut, 0xAA);
  std::vector<unsigned char> plain(kOut, 0xAA);
  const InflateResult expected = InflateBlock(data, size, reference.data(), kOut);
  const InflateResult got = fast.Inflate(data, size, quick.data(), kOut);
  const InflateResult again = zlibOnly.Inflate(data, size, plain.data(), kOut);
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
