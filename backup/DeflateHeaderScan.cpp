#include "backup/DeflateHeaderScan.h"

#include <array>
#include <cstdint>

namespace norv {

namespace {

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kMaxLiteralLengthCodes = 286;
constexpr unsigned kMaxDistanceCodes = 30;
constexpr unsigned kCodeLengthCodes = 19;
constexpr unsigned kEndOfBlock = 256;
// The order in which a dynamic header lists the code-length code's lengths.
constexpr std::array<std::uint8_t, kCodeLengthCodes> kCodeLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Reads a deflate stream's bits, least significant first; every read fails
// once the input has ended.
class BitReader {
 public:
  BitReader(const unsigned char* input, std::size_t size) : input_(input), bits_(size * 8) {}

  bool Read(unsigned count, unsigned& value) {
    if (bits_ - position_ < count) return false;
    value = 0;
    for (unsigned i = 0; i < count; ++i, ++position_) {
      value |= ((input_[position_ >> 3] >> (position_ & 7)) & 1u) << i;
    }
    return true;
  }

  bool SkipBytes(std::size_t count) {
    position_ = (position_ + 7) & ~std::size_t{7};
    if ((bits_ - position_) / 8 < count) return false;
    position_ += count * 8;
    return true;
  }

  bool ReadAlignedWord(unsigned& value) {
    position_ = (position_ + 7) & ~std::size_t{7};
    return Read(16, value);
  }

 private:
  const unsigned char* input_;
  std::size_t bits_;
  std::size_t position_ = 0;
};

// Whether code lengths fill the code space exactly: neither oversubscribed
// nor incomplete (an empty code is incomplete).
bool IsComplete(const std::uint8_t* lengths, unsigned count) {
  std::array<int, kMaxCodeLength + 1> perLength{};
  for (unsigned i = 0; i < count; ++i) ++perLength[lengths[i]];
  int left = 1;
  for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
    left = left * 2 - perLength[length];
    if (left < 0) return false;
  }
  return left == 0;
}

// The code-length code (19 symbols), canonical Huffman read one bit at a
// time; only built from complete codes, so every bit sequence ends in a
// symbol.
class CodeLengthCode {
 public:
  CodeLengthCode(const std::uint8_t* lengths, unsigned count) {
    for (unsigned i = 0; i < count; ++i) ++perLength_[lengths[i]];
    std::array<unsigned, kMaxCodeLength + 1> offset{};
    for (unsigned length = 1; length < kMaxCodeLength; ++length) {
      offset[length + 1] = offset[length] + perLength_[length];
    }
    for (unsigned symbol = 0; symbol < count; ++symbol) {
      if (lengths[symbol] != 0) symbols_[offset[lengths[symbol]]++] = symbol;
    }
  }

  bool Decode(BitReader& bits, unsigned& symbol) const {
    unsigned code = 0, first = 0, index = 0;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
      unsigned bit = 0;
      if (!bits.Read(1, bit)) return false;
      code |= bit;
      const unsigned count = perLength_[length];
      if (code - first < count) {
        symbol = symbols_[index + code - first];
        return true;
      }
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return false;
  }

 private:
  std::array<unsigned, kMaxCodeLength + 1> perLength_{};
  std::array<std::uint16_t, kCodeLengthCodes> symbols_{};
};

// The code lengths of a dynamic block, as zlib reads and checks them.
bool ReadCodeLengths(BitReader& bits, const CodeLengthCode& lengthCode, unsigned total,
                     std::uint8_t* lengths) {
  unsigned have = 0;
  while (have < total) {
    unsigned symbol = 0;
    if (!lengthCode.Decode(bits, symbol)) return false;
    if (symbol < 16) {
      lengths[have++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    unsigned extra = 0;
    std::uint8_t repeated = 0;
    unsigned copies = 0;
    if (symbol == 16) {
      if (have == 0 || !bits.Read(2, extra)) return false;
      repeated = lengths[have - 1];
      copies = 3 + extra;
    } else if (symbol == 17) {
      if (!bits.Read(3, extra)) return false;
      copies = 3 + extra;
    } else {
      if (!bits.Read(7, extra)) return false;
      copies = 11 + extra;
    }
    if (copies > total - have) return false;
    while (copies-- > 0) lengths[have++] = repeated;
  }
  return true;
}

bool DynamicHeaderAgreed(BitReader& bits) {
  unsigned literalCodes = 0, distanceCodes = 0, lengthCodes = 0;
  if (!bits.Read(5, literalCodes) || !bits.Read(5, distanceCodes) || !bits.Read(4, lengthCodes)) {
    return false;
  }
  literalCodes += 257;
  distanceCodes += 1;
  lengthCodes += 4;
  if (literalCodes > kMaxLiteralLengthCodes || distanceCodes > kMaxDistanceCodes) return false;

  std::array<std::uint8_t, kCodeLengthCodes> lengthCodeLengths{};
  for (unsigned i = 0; i < lengthCodes; ++i) {
    unsigned length = 0;
    if (!bits.Read(3, length)) return false;
    lengthCodeLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(length);
  }
  if (!IsComplete(lengthCodeLengths.data(), kCodeLengthCodes)) return false;
  const CodeLengthCode lengthCode(lengthCodeLengths.data(), kCodeLengthCodes);

  std::array<std::uint8_t, kMaxLiteralLengthCodes + kMaxDistanceCodes> lengths{};
  if (!ReadCodeLengths(bits, lengthCode, literalCodes + distanceCodes, lengths.data())) {
    return false;
  }
  return lengths[kEndOfBlock] != 0 && IsComplete(lengths.data(), literalCodes) &&
         IsComplete(lengths.data() + literalCodes, distanceCodes);
}

}  // namespace

bool DecodersAgreeOn(const unsigned char* input, std::size_t inputSize) {
  // Both decoders check the two-byte zlib header alike; blocks follow it.
  constexpr std::size_t kZlibHeader = 2;
  if (inputSize < kZlibHeader) return false;
  BitReader bits(input + kZlibHeader, inputSize - kZlibHeader);
  for (;;) {
    unsigned final = 0, type = 0;
    if (!bits.Read(1, final) || !bits.Read(2, type)) return false;
    if (type == 0) {
      unsigned length = 0, complement = 0;
      if (!bits.ReadAlignedWord(length) || !bits.ReadAlignedWord(complement) ||
          length != (~complement & 0xFFFFu) || !bits.SkipBytes(length)) {
        return false;
      }
      if (final) return true;
      continue;
    }
    return type == 2 && final && DynamicHeaderAgreed(bits);
  }
}

}  // namespace norv
