#pragma once
// Decides, before the fast decoder is trusted with a zlib stream, whether
// its verdict is zlib's. The whole-buffer decoder accepts some encodings
// that zlib refuses: more than 286 literal/length or 30 distance codes,
// reserved symbols (which the fixed code always has), an incomplete
// code-length code, a length repeat with nothing before it or past the
// last code, incomplete or empty literal/length and distance codes. The scan
// walks the block headers and answers yes only for streams made of stored
// blocks and one final dynamic block whose header zlib accepts with
// complete codes; there both decoders read every bit the same way. A fixed
// or non-final dynamic block answers no (finding the next header would mean
// decoding the block), and so does anything cut short.
#include <cstddef>

namespace norv {

bool DecodersAgreeOn(const unsigned char* input, std::size_t inputSize);

}  // namespace norv
