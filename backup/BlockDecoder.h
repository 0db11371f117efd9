#pragma once
// Inflates one compressed block of an entry data part: a fresh zlib stream,
// one inflate call into a fixed output buffer, no state kept between blocks.
//
// BlockDecoder gives the same results faster. A block whose headers zlib
// and the whole-buffer decoder (libdeflate, where the build has it) read
// alike (DeflateHeaderScan.h) and that the whole-buffer decoder inflates
// completely, with a sound Adler-32 and within the output buffer, is taken
// from it; every other
// block (a bad checksum, more output than fits, truncated or damaged data)
// goes through the zlib path above, which decides what is written and
// whether the block failed. zlib's allocations come from memory the decoder
// owns, so a block costs no heap allocation.
#include <cstddef>
#include <memory>

namespace norv {

struct InflateResult {
  // Bytes placed in the output buffer (written even after a failure).
  std::size_t produced = 0;
  // The decompressor could not be initialised or reported an error.
  bool failed = false;
  // The stream reached its end (its Adler-32 checked) within the output.
  // Not failed and not ended: it stops short, or the output was full.
  bool ended = false;
  // Bytes of the input after the end of the stream.
  std::size_t trailing = 0;

  bool operator==(const InflateResult&) const = default;
};

// Inflates `inputSize` bytes into at most `outputSize` bytes of `output`;
// anything the block would produce beyond that is dropped. The reference:
// zlib alone, as every archive has been restored.
InflateResult InflateBlock(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                           std::size_t outputSize);

class BlockDecoder {
 public:
  enum class Path { Fast, ZlibOnly };

  explicit BlockDecoder(Path path = Path::Fast);
  ~BlockDecoder();
  BlockDecoder(const BlockDecoder&) = delete;
  BlockDecoder& operator=(const BlockDecoder&) = delete;

  // As InflateBlock, with the same result for every input.
  InflateResult Inflate(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                        std::size_t outputSize);

  // True when the fast decoder takes the whole input as one complete zlib
  // stream with a sound Adler-32 that inflates to at most `outputSize`
  // bytes (then zlib would report no fault either); `produced` tells how
  // many. False says nothing: ask zlib.
  bool InflateWhole(const unsigned char* input, std::size_t inputSize, unsigned char* output,
                    std::size_t outputSize, std::size_t& produced);

  // Whether this build has the fast decoder at all.
  static bool FastPathBuiltIn();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace norv
