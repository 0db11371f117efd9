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

// Reads a deflate stream's bits, least significant first, through a 32-bit
// buffer filled a byte at a time; every read fails once the input has ended.
class BitReader {
 public:
  BitReader(const unsigned char* input, std::size_t size) : next_(input), end_(input + size) {}

  // Up to 16 bits.
  bool Read(unsigned count, unsigned& value) {
    if (!Ensure(count)) return false;
    value = Peek(count);
    Drop(count);
    return true;
  }

  // Makes `count` bits (at most 25) available; false when the input ends first.
  bool Ensure(unsigned count) {
    while (available_ < count && next_ != end_) {
      buffer_ |= std::uint32_t{*next_++} << available_;
      available_ += 8;
    }
    return available_ >= count;
  }
  // The next `count` bits, of which only the available ones are real.
  unsigned Peek(unsigned count) const { return buffer_ & ((std::uint32_t{1} << count) - 1); }
  unsigned Available() const { return available_; }
  void Drop(unsigned count) {
    buffer_ >>= count;
    available_ -= count;
  }

  bool SkipBytes(std::size_t count) {
    AlignToByte();
    const std::size_t buffered = available_ / 8;
    if (count <= buffered) {
      Drop(static_cast<unsigned>(count * 8));
      return true;
    }
    count -= buffered;
    buffer_ = 0;
    available_ = 0;
    if (static_cast<std::size_t>(end_ - next_) < count) return false;
    next_ += count;
    return true;
  }

  bool ReadAlignedWord(unsigned& value) {
    AlignToByte();
    return Read(16, value);
  }

 private:
  void AlignToByte() { Drop(available_ % 8); }

  const unsigned char* next_;
  const unsigned char* const end_;
  std::uint32_t buffer_ = 0;
  unsigned available_ = 0;
};

// Whether code lengths fill the code space exactly: neither oversubscribed
// nor incomplete (an empty code is incomplete). Each codeword of length L
// takes 2^(15-L) of the 2^15 leaves; a prefix that oversubscribes would push
// the sum past 2^15, as no term is negative, so an exact sum means complete.
bool IsComplete(const std::uint8_t* lengths, unsigned count) {
  constexpr std::uint32_t kLeaves = 1u << kMaxCodeLength;
  std::uint32_t taken = 0;
  for (unsigned i = 0; i < count; ++i) taken += lengths[i] != 0 ? kLeaves >> lengths[i] : 0;
  return taken == kLeaves;
}

// The code-length code (19 symbols, codewords of at most 7 bits), decoded
// through a table indexed by the next 7 bits; only built from complete
// codes, so every bit sequence starts with a codeword.
class CodeLengthCode {
 public:
  CodeLengthCode(const std::uint8_t* lengths, unsigned count) {
    std::array<unsigned, kMaxCodeLengthBits + 1> perLength{};
    for (unsigned i = 0; i < count; ++i) ++perLength[lengths[i]];
    std::array<unsigned, kMaxCodeLengthBits + 1> nextCode{};
    for (unsigned length = 1; length < kMaxCodeLengthBits; ++length) {
      nextCode[length + 1] = (nextCode[length] + perLength[length]) << 1;
    }
    for (unsigned symbol = 0; symbol < count; ++symbol) {
      const unsigned length = lengths[symbol];
      if (length == 0) continue;
      // Codewords go into the stream first bit first: index by the reversed code.
      const unsigned reversed = Reverse(nextCode[length]++, length);
      for (unsigned index = reversed; index < kTableSize; index += 1u << length) {
        table_[index] = {static_cast<std::uint8_t>(symbol), static_cast<std::uint8_t>(length)};
      }
    }
  }

  bool Decode(BitReader& bits, unsigned& symbol) const {
    bits.Ensure(kMaxCodeLengthBits);
    const Entry entry = table_[bits.Peek(kMaxCodeLengthBits)];
    if (entry.length == 0 || entry.length > bits.Available()) return false;
    symbol = entry.symbol;
    bits.Drop(entry.length);
    return true;
  }

 private:
  static constexpr unsigned kMaxCodeLengthBits = 7;
  static constexpr unsigned kTableSize = 1u << kMaxCodeLengthBits;
  struct Entry {
    std::uint8_t symbol = 0;
    std::uint8_t length = 0;
  };

  static unsigned Reverse(unsigned code, unsigned length) {
    unsigned reversed = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1u);
    return reversed;
  }

  std::array<Entry, kTableSize> table_{};
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
