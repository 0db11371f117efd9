#pragma once
// Inflates one compressed block of an entry data part: a fresh zlib stream,
// one inflate call into a fixed output buffer, no state kept between blocks.
#include <cstddef>

namespace norv {

struct InflateResult {
  // Bytes placed in the output buffer (written even after a failure).
  std::size_t produced = 0;
  // The decompressor could not be initialised or reported an error.
  bool failed = false;
};

// Inflates `inputSize` bytes into at most `outputSize` bytes of `output`;
// anything the block would produce beyond that is dropped.
InflateResult InflateBlock(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                           std::size_t outputSize);

}  // namespace norv
