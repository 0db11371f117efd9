#include "backup/BlockEncoder.h"

#include <zlib.h>

#include "backup/ArchiveFormat.h"
#include "platform/Errors.h"

namespace norv {

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case clNone:
      return 0;
    case clFastest:
      return 1;
    case clDefault:
      return 6;
    case clMax:
      return 9;
  }
  return 9;
}

std::string CompressBlock(std::string_view input, int zlibLevel) {
  uLongf size = compressBound(static_cast<uLong>(input.size()));
  std::string out(size, '\0');
  int status = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(input.data()),
                         static_cast<uLong>(input.size()), zlibLevel);
  if (status != Z_OK) throw Exception("zlib could not compress a block");
  out.resize(size);
  return out;
}

EncodedBlock EncodeBlock(std::string_view input, TCompressionLevel level) {
  if (input.empty() || input.size() > archive::kBlockSize) {
    throw std::invalid_argument("a block holds 1 to 16384 bytes");
  }
  EncodedBlock block;
  int zlibLevel = ZlibLevel(level);
  if (zlibLevel > 0) {
    block.payload = CompressBlock(input, zlibLevel);
    if (block.payload.size() < input.size()) {
      block.length = static_cast<std::int32_t>(block.payload.size());
      return block;
    }
  }
  block.payload.assign(input);
  block.length = -static_cast<std::int32_t>(input.size());
  return block;
}

}  // namespace norv
