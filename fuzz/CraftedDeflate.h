#pragma once
// Hand-made zlib streams for the decoder's differential test and fuzz
// target: a bit writer, canonical Huffman codes, and one final block (fixed
// or dynamic) with whatever header fields and data bits a test wants,
// followed by the Adler-32 of the bytes the block is meant to produce.
#include <zlib.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace norv::crafted {

class BitWriter {
 public:
  // Header fields and extra bits: least significant bit first.
  void Bits(unsigned value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) Bit((value >> i) & 1u);
  }
  // Huffman codes: most significant bit first.
  void Code(unsigned code, unsigned length) {
    for (unsigned i = length; i-- > 0;) Bit((code >> i) & 1u);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  void Bit(unsigned bit) {
    if (used_ % 8 == 0) bytes_.push_back('\0');
    bytes_.back() = static_cast<char>(bytes_.back() | (bit << (used_ % 8)));
    ++used_;
  }
  std::string bytes_;
  std::size_t used_ = 0;
};

struct Code {
  std::vector<std::uint8_t> lengths;
  std::vector<unsigned> codes;

  explicit Code(std::vector<std::uint8_t> l) : lengths(std::move(l)), codes(lengths.size()) {
    std::array<unsigned, 16> count{}, next{};
    for (auto length : lengths) ++count[length];
    count[0] = 0;
    for (unsigned bits = 1, code = 0; bits < 16; ++bits) {
      code = (code + count[bits - 1]) << 1;
      next[bits] = code;
    }
    for (std::size_t s = 0; s < lengths.size(); ++s) {
      if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
    }
  }
  void Write(BitWriter& out, unsigned symbol) const {
    out.Code(codes.at(symbol), lengths.at(symbol));
  }
};

// Lengths: `first` symbols of length `a`, then `second` of length `b`.
inline std::vector<std::uint8_t> Lengths(unsigned first, std::uint8_t a, unsigned second = 0,
                                         std::uint8_t b = 0) {
  std::vector<std::uint8_t> out(first, a);
  out.insert(out.end(), second, b);
  return out;
}

// A code-length code symbol with its extra bits.
struct LengthSymbol {
  unsigned symbol, extra = 0;
};

struct DynamicHeader {
  std::vector<std::uint8_t> literalLengths, distanceLengths;
  // The code-length code's 19 lengths (default: complete, 13 of 4 bits
  // and 6 of 5 bits).
  std::vector<std::uint8_t> lengthCodeLengths = Lengths(13, 4, 6, 5);
  // How the lengths are sent; empty: one plain symbol per length.
  std::vector<LengthSymbol> lengthSymbols{};
};

using DataWriter = std::function<void(BitWriter&, const Code& literals, const Code& distances)>;

inline std::string ZlibStream(const BitWriter& body, const std::string& output) {
  std::string out = "\x78\x9C" + body.Bytes();
  const uLong adler = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(output.data()),
                              static_cast<uInt>(output.size()));
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(adler >> shift));
  return out;
}

inline std::string DynamicStream(const DynamicHeader& h, const DataWriter& data,
                                 const std::string& output) {
  static constexpr unsigned kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
  BitWriter out;
  out.Bits(1, 1);  // final
  out.Bits(2, 2);  // dynamic
  out.Bits(static_cast<unsigned>(h.literalLengths.size() - 257), 5);
  out.Bits(static_cast<unsigned>(h.distanceLengths.size() - 1), 5);
  out.Bits(19 - 4, 4);
  for (unsigned i = 0; i < 19; ++i) out.Bits(h.lengthCodeLengths[kOrder[i]], 3);
  const Code lengthCode(h.lengthCodeLengths);
  std::vector<LengthSymbol> symbols = h.lengthSymbols;
  if (symbols.empty()) {
    for (auto l : h.literalLengths) symbols.push_back({l});
    for (auto l : h.distanceLengths) symbols.push_back({l});
  }
  for (const LengthSymbol& s : symbols) {
    lengthCode.Write(out, s.symbol);
    if (s.symbol == 16) out.Bits(s.extra, 2);
    if (s.symbol == 17) out.Bits(s.extra, 3);
    if (s.symbol == 18) out.Bits(s.extra, 7);
  }
  data(out, Code(h.literalLengths), Code(h.distanceLengths));
  return ZlibStream(out, output);
}

// The fixed code's literal/length and distance codes.
inline Code FixedDistances() {
  return Code(Lengths(32, 5));
}

inline std::string FixedStream(const DataWriter& data, const std::string& output) {
  BitWriter out;
  out.Bits(1, 1);  // final
  out.Bits(1, 2);  // fixed
  std::vector<std::uint8_t> literals = Lengths(144, 8, 112, 9);
  literals.insert(literals.end(), 24, 7);
  literals.insert(literals.end(), 8, 8);
  data(out, Code(literals), FixedDistances());
  return ZlibStream(out, output);
}

}  // namespace norv::crafted
