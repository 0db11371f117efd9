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
//   192..255 the same with one final dynamic block made from the rest:
//            code counts up to 288 and 32, literal/length and distance
//            codes complete by construction (or empty, or one codeword of
//            an incomplete code, on request), the lengths sent plainly or
//            with a repeat at the start or past the end, then symbols of
//            those codes, so that the block mostly decodes.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/BlockDecoder.h"
#include "fuzz/CraftedDeflate.h"
#include "fuzz/DecoderAgreement.h"

#ifdef NORV_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

using namespace norv;

namespace {

constexpr std::size_t kOut = archive::kBlockSize;

// The fuzzer's bytes, then zeros.
class ByteSource {
 public:
  ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  unsigned Next() { return at_ < size_ ? data_[at_++] : 0; }
  unsigned Below(unsigned n) { return (Next() << 8 | Next()) % n; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Lengths of a complete code over `symbols` (at least two): the code with
// two codewords of one bit, then codewords split in two, chosen by the input.
std::vector<std::uint8_t> CompleteLengths(const std::vector<unsigned>& symbols, unsigned count,
                                          ByteSource& in) {
  std::vector<std::uint8_t> leaves = {1, 1};
  while (leaves.size() < symbols.size()) {
    std::size_t pick = in.Below(static_cast<unsigned>(leaves.size()));
    while (leaves[pick] == 15) pick = (pick + 1) % leaves.size();
    ++leaves[pick];
    leaves.push_back(leaves[pick]);
  }
  std::vector<std::uint8_t> lengths(count, 0);
  for (std::size_t i = 0; i < symbols.size(); ++i) lengths[symbols[i]] = leaves[i];
  return lengths;
}

// Distinct symbols below `count`: `first` (when below count), then more.
std::vector<unsigned> PickSymbols(unsigned count, unsigned wanted, int first, ByteSource& in) {
  std::vector<unsigned> symbols;
  if (first >= 0 && static_cast<unsigned>(first) < count) symbols.push_back(first);
  for (unsigned tries = 0; symbols.size() < wanted && tries < 4 * wanted; ++tries) {
    const unsigned s = in.Below(count);
    if (std::find(symbols.begin(), symbols.end(), s) == symbols.end()) symbols.push_back(s);
  }
  while (symbols.size() < 2) symbols.push_back(symbols.empty() ? 0 : (symbols[0] + 1) % count);
  return symbols;
}

unsigned LengthExtraBits(unsigned symbol) {
  return symbol < 265 || symbol >= 285 ? 0 : (symbol - 261) / 4;
}
unsigned DistanceExtraBits(unsigned symbol) {
  return symbol < 4 ? 0 : std::min(symbol / 2 - 1, 13u);
}

std::vector<unsigned char> DynamicBlock(const std::uint8_t* data, std::size_t size) {
  using namespace crafted;
  ByteSource in(data, size);
  const unsigned flags = in.Next();
  const unsigned literalCount = 257 + in.Next() % 32;
  const unsigned distanceCount = 1 + in.Next() % 32;

  std::vector<std::uint8_t> literals(literalCount, 0);
  std::vector<unsigned> usedLiterals = {256};
  if (flags & 1) {
    literals[256] = 1;  // one codeword of an incomplete code
  } else {
    usedLiterals = PickSymbols(literalCount, 2 + in.Next() % 40, 256, in);
    literals = CompleteLengths(usedLiterals, literalCount, in);
  }
  std::vector<std::uint8_t> distances(distanceCount, 0);
  std::vector<unsigned> usedDistances;
  if (flags & 2) {
    // empty
  } else if (flags & 4) {
    distances[0] = 1;
    usedDistances = {0};
  } else {
    usedDistances = PickSymbols(distanceCount, 2 + in.Next() % 8, -1, in);
    distances = CompleteLengths(usedDistances, distanceCount, in);
  }

  BitWriter out;
  out.Bits(1, 1);
  out.Bits(2, 2);
  out.Bits(literalCount - 257, 5);
  out.Bits(distanceCount - 1, 5);
  out.Bits(15, 4);
  const DynamicHeader plain;
  static constexpr unsigned kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
  for (unsigned i = 0; i < 19; ++i) out.Bits(plain.lengthCodeLengths[kOrder[i]], 3);
  const Code lengthCode(plain.lengthCodeLengths);
  if (flags & 8) {  // a repeat with no length before it
    lengthCode.Write(out, 16);
    out.Bits(0, 2);
  }
  for (auto l : literals) lengthCode.Write(out, l);
  for (auto l : distances) lengthCode.Write(out, l);
  if (flags & 16) {  // zeros past the last length
    lengthCode.Write(out, 17);
    out.Bits(in.Next() & 7u, 3);
  }

  const Code literalCode(literals), distanceCode(distances);
  for (unsigned n = in.Next() % 64; n > 0; --n) {
    const unsigned symbol = usedLiterals[in.Next() % usedLiterals.size()];
    if (symbol == 256) continue;
    literalCode.Write(out, symbol);
    if (symbol < 256) continue;
    out.Bits(in.Next(), LengthExtraBits(symbol));
    if (usedDistances.empty() || (flags & 32)) {
      out.Bits(in.Next() & 1u, 1);  // a codeword the distance code may not have
    } else {
      const unsigned distance = usedDistances[in.Next() % usedDistances.size()];
      distanceCode.Write(out, distance);
      out.Bits(in.Next() << 8 | in.Next(), DistanceExtraBits(distance));
    }
  }
  if (flags & 1 && flags & 64) {
    out.Bits(1, 1);  // the incomplete code's unused codeword
  } else {
    literalCode.Write(out, 256);
  }
  const std::string& bytes = out.Bytes();
  return {bytes.begin(), bytes.end()};
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
  const fuzz::DecoderAgreement agreement =
      fuzz::CompareWithZlib(block.data(), block.size(), fast, zlibOnly, kOut);
  if (!agreement.difference.empty()) {
    std::fprintf(stderr, "%s\n", agreement.difference.c_str());
    std::abort();
  }
  return 0;
}
