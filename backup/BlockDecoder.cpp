#include "backup/BlockDecoder.h"

#include <zlib.h>

#include <cstring>

#include "backup/ArchiveFormat.h"

namespace norv {

InflateResult InflateBlock(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                           std::size_t outputSize) {
  InflateResult result;
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  // The archives were made against zlib 1.1.3; newer zlib accepts that
  // version text because it only compares the major number.
  if (inflateInit_(&zs, archive::kZlibVersion, static_cast<int>(sizeof(z_stream))) < 0) {
    result.failed = true;
    return result;
  }
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = static_cast<uInt>(inputSize);
  zs.next_out = output;
  zs.avail_out = static_cast<uInt>(outputSize);
  const int status = inflate(&zs, Z_NO_FLUSH);
  result.produced = static_cast<std::size_t>(zs.total_out);
  result.failed = status < 0;
  inflateEnd(&zs);
  return result;
}

}  // namespace norv
