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

// Reads a deflate stream's bits, least significant first, through a 64-bit
// buffer; every read fails once the input has ended.
class BitReader {
 public:
  BitReader(const unsigned char* input, std::size_t size) : next_(input), end_(input + size) {}

  // count <= 16.
  bool Read(unsigned count, unsigned& value) {
    Refill();
    if (held_ < count) return false;
    value = Peek(count);
    Drop(count);
    return true;
  }

  // The next `count` bits (count <= 16) without consuming them; past the
  // end of the input they read as zeros (Held() tells how many are real).
  unsigned Peek(unsigned count) {
    Refill();
    return static_cast<unsigned>(bits_ & ((std::uint64_t{1} << count) - 1));
  }
  unsigned Held() const { return held_; }
  void Drop(unsigned count) {
    bits_ >>= count;
    held_ -= count;
  }

  bool SkipBytes(std::size_t count) {
    AlignToByte();
    const std::size_t buffered = held_ / 8;
    if (count <= buffered) {
      Drop(static_cast<unsigned>(count * 8));
      return true;
    }
    count -= buffered;
    bits_ = 0;
    held_ = 0;
    if (static_cast<std::size_t>(end_ - next_) < count) return false;
    next_ += count;
    return true;
  }

  bool ReadAlignedWord(unsigned& value) {
    AlignToByte();
    return Read(16, value);
  }

 private:
  // Whole bytes are taken from the input, so the stream's position is at a
  // byte boundary when the bits held are a multiple of eight.
  void AlignToByte() { Drop(held_ % 8); }
  void Refill() {
    while (held_ <= 56 && next_ != end_) {
      bits_ |= std::uint64_t{*next_++} << held_;
      held_ += 8;
    }
  }

  const unsigned char* next_;
  const unsigned char* end_;
  std::uint64_t bits_ = 0;
  unsigned held_ = 0;
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

// The code-length code (19 symbols of at most 7 bits), decoded through a
// table indexed by the next 7 bits; only built from complete codes, so
// every index holds a symbol.
class CodeLengthCode {
 public:
  static constexpr unsigned kMaxLength = 7;

  CodeLengthCode(const std::uint8_t* lengths, unsigned count) {
    std::array<unsigned, kMaxLength + 2> nextCode{};
    std::array<unsigned, kMaxLength + 1> perLength{};
    for (unsigned i = 0; i < count; ++i) ++perLength[lengths[i]];
    perLength[0] = 0;
    for (unsigned length = 1; length <= kMaxLength; ++length) {
      nextCode[length + 1] = (nextCode[length] + perLength[length]) << 1;
    }
    for (unsigned symbol = 0; symbol < count; ++symbol) {
      const unsigned length = lengths[symbol];
      if (length == 0) continue;
      // Huffman codes are sent from their most significant bit: the table
      // is indexed by the code's bits in the order they arrive.
      const unsigned code = nextCode[length]++;
      unsigned reversed = 0;
      for (unsigned bit = 0; bit < length; ++bit)
        reversed |= ((code >> bit) & 1u) << (length - 1 - bit);
      for (unsigned index = reversed; index < table_.size(); index += 1u << length) {
        table_[index] = {static_cast<std::uint8_t>(symbol), static_cast<std::uint8_t>(length)};
      }
    }
  }

  bool Decode(BitReader& bits, unsigned& symbol) const {
    const Entry entry = table_[bits.Peek(kMaxLength)];
    if (entry.length > bits.Held()) return false;
    bits.Drop(entry.length);
    symbol = entry.symbol;
    return true;
  }

 private:
  struct Entry {
    std::uint8_t symbol = 0;
    std::uint8_t length = 0;
  };
  std::array<Entry, 1u << kMaxLength> table_{};
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
