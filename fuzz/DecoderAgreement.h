#pragma once
// The rule the fast block decoder is held to, in one place for the unit
// test and the fuzz target: for every block, the fast path and the zlib-only
// path give what zlib alone (InflateBlock) gives, the same result and the
// same bytes produced.
#include <cstddef>
#include <string>
#include <vector>

#include "backup/BlockDecoder.h"

namespace norv::fuzz {

struct DecoderAgreement {
  InflateResult reference;  // zlib alone
  std::string bytes;        // what zlib alone produced
  std::string difference;   // empty when both paths agree with it
};

inline std::string Describe(const char* who, const InflateResult& r) {
  return std::string(who) + " " + std::to_string(r.produced) + " bytes" +
         (r.failed ? ", failed" : "") + (r.ended ? ", ended" : "") +
         (r.trailing ? ", " + std::to_string(r.trailing) + " trailing" : "");
}

// Decoders are passed in so that a caller can reuse them across blocks, as
// a restore does: no state may pass from one block to the next.
inline DecoderAgreement CompareWithZlib(const unsigned char* block, std::size_t size,
                                        BlockDecoder& fast, BlockDecoder& zlibOnly,
                                        std::size_t outputSize) {
  auto decode = [&](auto inflate, InflateResult& result) {
    std::vector<unsigned char> out(outputSize, 0xA5);
    result = inflate(block, size, out.data(), outputSize);
    const std::size_t kept = result.produced < outputSize ? result.produced : outputSize;
    return std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(kept));
  };
  DecoderAgreement a;
  a.bytes = decode(InflateBlock, a.reference);
  if (a.reference.produced > outputSize) {
    a.difference = Describe("zlib alone", a.reference) + ", beyond the buffer";
    return a;
  }
  for (const auto& path : {std::pair{"fast path", &fast}, std::pair{"zlib-only path", &zlibOnly}}) {
    const char* who = path.first;
    BlockDecoder* decoder = path.second;
    InflateResult result;
    const std::string bytes =
        decode([&](auto... args) { return decoder->Inflate(args...); }, result);
    if (!(result == a.reference)) {
      a.difference = Describe(who, result) + "; " + Describe("zlib alone", a.reference);
    } else if (bytes != a.bytes) {
      a.difference = std::string(who) + ": output bytes differ from zlib's";
    }
    if (!a.difference.empty()) break;
  }
  return a;
}

}  // namespace norv::fuzz
