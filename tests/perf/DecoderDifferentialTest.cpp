// The fast block decoder must give zlib's result for every input: the same
// bytes and the same failure, whether the block is sound, cut short,
// damaged, or not a zlib stream at all.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "backup/BlockDecoder.h"

#ifdef NORV_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace norv {
namespace {

constexpr std::size_t kOut = 16384;

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

std::string Compress(const std::string& data, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, 15, 8, strategy);
  std::string out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

std::string Text(Random& random, std::size_t size) {
  static const char* const kWords[] = {"conta ", "folha ", "imposto ", "saldo ", "nota\n", "rh "};
  std::string out;
  while (out.size() < size) out += kWords[random.Below(6)];
  out.resize(size);
  return out;
}

std::string Noise(Random& random, std::size_t size) {
  std::string out(size, '\0');
  for (auto& c : out) c = static_cast<char>(random.Next());
  return out;
}

// Sound blocks of every kind the writer or another encoder may produce.
std::vector<std::string> SoundBlocks() {
  Random random(1);
  std::vector<std::string> blocks;
  for (std::size_t size : {0u, 1u, 100u, 5000u, 16383u, 16384u, 16385u, 40000u}) {
    for (int level : {0, 1, 6, 9}) {
      blocks.push_back(Compress(Text(random, size), level));
      blocks.push_back(Compress(Noise(random, size), level));
    }
    blocks.push_back(Compress(Text(random, size), 9, Z_FIXED));
    blocks.push_back(Compress(Text(random, size), 9, Z_HUFFMAN_ONLY));
    blocks.push_back(Compress(std::string(size, 'a'), 9, Z_RLE));
  }
  return blocks;
}

// What goes wrong with blocks in damaged archives.
std::vector<std::string> Variants(const std::string& sound, Random& random) {
  std::vector<std::string> out = {sound, sound + "trailing bytes"};
  const std::size_t n = sound.size();
  for (std::size_t cut :
       {std::size_t{0}, std::size_t{1}, std::size_t{2}, n / 2, n - 5, n - 4, n - 1}) {
    if (cut < n) out.push_back(sound.substr(0, cut));
  }
  for (int i = 0; i < 12 && n > 0; ++i) {
    std::string flipped = sound;
    flipped[random.Below(static_cast<std::uint32_t>(n))] ^= static_cast<char>(1 << random.Below(8));
    out.push_back(flipped);
  }
  if (n >= 6) {
    std::string check = sound;
    check[n - 1] ^= 0x01;  // Adler-32 off by one
    out.push_back(check);
    std::string dictionary = sound;
    dictionary[1] = static_cast<char>(dictionary[1] | 0x20);  // preset dictionary flag
    out.push_back(dictionary);
    std::string window = sound;
    window[0] = static_cast<char>(0x88);  // a window larger than 32 KiB
    out.push_back(window);
  }
  return out;
}

struct Decoded {
  InflateResult result;
  std::string bytes;
};

template <typename Decoder>
Decoded Decode(const std::string& block, Decoder decode) {
  std::vector<unsigned char> out(kOut, 0xA5);
  const auto* in = reinterpret_cast<const unsigned char*>(block.data());
  Decoded d{decode(in, block.size(), out.data(), out.size()), {}};
  d.bytes.assign(reinterpret_cast<const char*>(out.data()), d.result.produced);
  return d;
}

TEST(DecoderDifferential, FastPathGivesZlibsResultForSoundAndDamagedBlocks) {
  BlockDecoder fast(BlockDecoder::Path::Fast);
  BlockDecoder zlibOnly(BlockDecoder::Path::ZlibOnly);
  Random random(2);
  int cases = 0, failures = 0, full = 0, whole = 0;
  for (const std::string& sound : SoundBlocks()) {
    for (const std::string& block : Variants(sound, random)) {
      const Decoded reference = Decode(block, InflateBlock);
      const Decoded viaFast = Decode(block, [&](auto... a) { return fast.Inflate(a...); });
      const Decoded viaZlib = Decode(block, [&](auto... a) { return zlibOnly.Inflate(a...); });
      ASSERT_EQ(viaFast.result, reference.result) << "case " << cases;
      ASSERT_EQ(viaFast.bytes, reference.bytes) << "case " << cases;
      ASSERT_EQ(viaZlib.result, reference.result) << "case " << cases;
      ASSERT_EQ(viaZlib.bytes, reference.bytes) << "case " << cases;
      // A block taken whole is one zlib leaves without a fault of any kind.
      std::vector<unsigned char> out(kOut);
      std::size_t produced = 0;
      if (fast.InflateWhole(reinterpret_cast<const unsigned char*>(block.data()), block.size(),
                            out.data(), out.size(), produced)) {
        ASSERT_FALSE(reference.result.failed) << "case " << cases;
        ASSERT_EQ(std::string(out.begin(), out.begin() + produced), reference.bytes);
        ASSERT_NE(block, sound + "trailing bytes");
        ++whole;
      }
      ++cases;
      failures += reference.result.failed;
      full += reference.result.produced == kOut;
    }
  }
  // The table reaches every outcome: failures, clean blocks, cut-off output.
  EXPECT_GT(failures, 100);
  EXPECT_GT(full, 50);
  EXPECT_GT(cases - failures, 300);
  EXPECT_EQ(whole > 0, BlockDecoder::FastPathBuiltIn());
}

TEST(DecoderDifferential, RandomBytesBehindAZlibHeader) {
  BlockDecoder fast;
  Random random(3);
  for (int i = 0; i < 3000; ++i) {
    std::string block = "\x78\xDA" + Noise(random, 1 + random.Below(600));
    const Decoded reference = Decode(block, InflateBlock);
    const Decoded viaFast = Decode(block, [&](auto... a) { return fast.Inflate(a...); });
    ASSERT_EQ(viaFast.result, reference.result) << i;
    ASSERT_EQ(viaFast.bytes, reference.bytes) << i;
  }
}

#ifdef NORV_HAVE_LIBDEFLATE
// The comparison above means something only when the fast decoder takes
// most sound blocks itself.
TEST(DecoderDifferential, FastDecoderServesSoundBlocks) {
  ASSERT_TRUE(BlockDecoder::FastPathBuiltIn());
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::vector<unsigned char> out(kOut);
  int taken = 0;
  const auto blocks = SoundBlocks();
  for (const std::string& block : blocks) {
    std::size_t produced = 0;
    taken += libdeflate_zlib_decompress(d, block.data(), block.size(), out.data(), out.size(),
                                        &produced) == LIBDEFLATE_SUCCESS;
  }
  libdeflate_free_decompressor(d);
  EXPECT_GT(taken, static_cast<int>(blocks.size()) * 2 / 3);
}
#endif

}  // namespace
}  // namespace norv
