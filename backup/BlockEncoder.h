#pragma once
// Encodes one block of an entry data part. Blocks are independent (a fresh
// compressor each, no shared history), so callers may encode them in any
// order or in parallel and write them in sequence.
#include <cstdint>
#include <string>
#include <string_view>

#include "backup/BackupTypes.h"

namespace norv {

struct EncodedBlock {
  // The block length field: payload size, negated for a stored block.
  std::int32_t length = 0;
  std::string payload;

  bool Stored() const { return length < 0; }
  // Bytes the block takes in a volume: its length field and payload.
  std::int64_t DiskBytes() const { return 4 + static_cast<std::int64_t>(payload.size()); }
};

// The zlib level for a compression level; 0 for clNone (store only).
int ZlibLevel(TCompressionLevel level);

// One complete zlib stream (header, deflate data, Adler-32) of `input`.
std::string CompressBlock(std::string_view input, int zlibLevel);

// A compressed block, or a stored one when compression is off or does not
// make the block smaller. `input` holds 1..16384 bytes.
EncodedBlock EncodeBlock(std::string_view input, TCompressionLevel level);

}  // namespace norv
