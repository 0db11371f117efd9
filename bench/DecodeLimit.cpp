// norv_bench_decode: the decode-only limit of a restore. Reads an archive's
// blocks and inflates each compressed one into a 16384-byte buffer that is
// then dropped, either as the restore's zlib path does (a fresh stream, one
// inflate call per block), with libdeflate's whole-buffer decoder alone, or
// as the restore's fast path does ("checked": the block header scan first,
// then libdeflate or zlib).
//
//   norv_bench_decode zlib|libdeflate|checked ARCHIVE.001
//
// Prints "bytes N blocks N failed N" (TAB-separated) on stdout.
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "backup/BlockDecoder.h"
#include "bench/ArchiveBlocks.h"

namespace {

constexpr std::size_t kBlockSize = 16384;

std::size_t InflateWithZlib(const norv::bench::Block& block, unsigned char* out, bool& failed) {
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  if (inflateInit_(&zs, "1.1.3", static_cast<int>(sizeof zs)) < 0) {
    failed = true;
    return 0;
  }
  zs.next_in = const_cast<Bytef*>(block.data);
  zs.avail_in = static_cast<uInt>(block.size);
  zs.next_out = out;
  zs.avail_out = kBlockSize;
  failed = inflate(&zs, Z_NO_FLUSH) < 0;
  const std::size_t produced = zs.total_out;
  inflateEnd(&zs);
  return produced;
}

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string engine = argc == 3 ? argv[1] : "";
  if (engine != "zlib" && engine != "libdeflate" && engine != "checked") {
    std::fprintf(stderr, "usage: norv_bench_decode zlib|libdeflate|checked ARCHIVE\n");
    return 2;
  }
  std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
      libdeflate_alloc_decompressor());
  norv::BlockDecoder checked;
  static unsigned char out[kBlockSize];
  std::uint64_t bytes = 0;
  std::uint64_t blocks = 0;
  std::uint64_t failures = 0;
  try {
    norv::bench::ForEachBlock(argv[2], [&](const norv::bench::Block& block) {
      ++blocks;
      if (!block.compressed) {
        bytes += block.size;
        return;
      }
      bool failed = false;
      std::size_t produced = 0;
      if (engine == "zlib") {
        produced = InflateWithZlib(block, out, failed);
      } else if (engine == "checked") {
        const norv::InflateResult r = checked.Inflate(block.data, block.size, out, kBlockSize);
        produced = r.produced;
        failed = r.failed;
      } else {
        failed = libdeflate_zlib_decompress(decompressor.get(), block.data, block.size, out,
                                            kBlockSize, &produced) != LIBDEFLATE_SUCCESS;
      }
      failures += failed;
      bytes += produced;
    });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "norv_bench_decode: %s\n", e.what());
    return 1;
  }
  std::printf("bytes\t%llu\tblocks\t%llu\tfailed\t%llu\n", static_cast<unsigned long long>(bytes),
              static_cast<unsigned long long>(blocks), static_cast<unsigned long long>(failures));
  return failures == 0 ? 0 : 1;
}
