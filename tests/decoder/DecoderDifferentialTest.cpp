// The fast block decoder must give zlib's result for every input: the same
// bytes and the same failure, whether the block is sound, cut short,
// damaged, or not a zlib stream at all; and so a whole restore, sound or
// damaged, must show the same events, result and files with either decoder.
// fuzz_inflate holds the decoder to the same rule (fuzz/DecoderAgreement.h)
// on inputs it makes up.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "backup/BlockDecoder.h"
#include "backup/BlockEncoder.h"
#include "backup/DeflateHeaderScan.h"
#include "fuzz/CraftedDeflate.h"
#include "fuzz/DecoderAgreement.h"
#include "platform/testing/MemoryFileSystem.h"
#include "platform/testing/ScriptedUserInterface.h"
#include "tests/backup/ArchiveBytes.h"

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

// A zlib stream; negative window bits give bare deflate data.
std::string Compress(const std::string& data, int level, int strategy = Z_DEFAULT_STRATEGY,
                     int windowBits = 15) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, windowBits, 8, strategy);
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

fuzz::DecoderAgreement Compare(const std::string& block, BlockDecoder& fast,
                               BlockDecoder& zlibOnly) {
  return fuzz::CompareWithZlib(reinterpret_cast<const unsigned char*>(block.data()), block.size(),
                               fast, zlibOnly, kOut);
}

TEST(DecoderDifferential, FastPathGivesZlibsResultForSoundAndDamagedBlocks) {
  BlockDecoder fast(BlockDecoder::Path::Fast);
  BlockDecoder zlibOnly(BlockDecoder::Path::ZlibOnly);
  Random random(2);
  std::vector<std::string> blocks;
  for (const std::string& sound : SoundBlocks()) {
    for (std::string& block : Variants(sound, random)) blocks.push_back(std::move(block));
  }
  // Random bytes behind a zlib header: mostly broken from the first code.
  for (int i = 0; i < 3000; ++i)
    blocks.push_back("\x78\xDA" + Noise(random, 1 + random.Below(600)));
  int cases = 0, failures = 0, full = 0, whole = 0;
  for (const std::string& block : blocks) {
    const fuzz::DecoderAgreement agreement = Compare(block, fast, zlibOnly);
    ASSERT_EQ(agreement.difference, "") << "case " << cases;
    // A block taken whole is one zlib leaves without a fault of any kind.
    std::vector<unsigned char> out(kOut);
    std::size_t produced = 0;
    if (fast.InflateWhole(reinterpret_cast<const unsigned char*>(block.data()), block.size(),
                          out.data(), out.size(), produced)) {
      ASSERT_FALSE(agreement.reference.failed) << "case " << cases;
      ASSERT_EQ(agreement.reference.trailing, 0u) << "case " << cases;
      ASSERT_EQ(std::string(out.begin(), out.begin() + produced), agreement.bytes);
      ++whole;
    }
    ++cases;
    failures += agreement.reference.failed;
    full += agreement.reference.produced == kOut;
  }
  // The table reaches every outcome: failures, clean blocks, cut-off output.
  EXPECT_GT(failures, 100);
  EXPECT_GT(full, 50);
  EXPECT_GT(cases - failures, 300);
  EXPECT_EQ(whole > 0, BlockDecoder::FastPathBuiltIn());
}

// Encodings that zlib refuses, each in a stream with a matching Adler-32.
// Most of them a whole-buffer decoder alone would restore; the fast path
// must still end each in zlib's failure.
struct RefusedEncoding {
  const char* name;
  std::string stream;
  std::string decoded;  // what a decoder that accepts it produces
  bool acceptedWithoutCheck;
  std::size_t outputSize = kOut;
};

std::vector<RefusedEncoding> RefusedEncodings() {
  using namespace crafted;
  // A literal/length code of 258 symbols: 'A', end of block, length 3.
  const auto literals258 = Lengths(254, 8, 4, 9);
  const DataWriter aThenMatch = [](BitWriter& o, const Code& l, const Code& d) {
    l.Write(o, 'A');
    l.Write(o, 257);
    d.Write(o, 0);
    l.Write(o, 256);
  };
  // 'A', a match of length 3 whose distance is the single raw bit `bit`.
  const auto aThenMatchWithDistanceBit = [](unsigned bit) {
    return DataWriter([bit](BitWriter& o, const Code& l, const Code&) {
      l.Write(o, 'A');
      l.Write(o, 257);
      o.Bits(bit, 1);
      l.Write(o, 256);
    });
  };
  const DataWriter reservedLength = [](BitWriter& o, const Code& l, const Code& d) {
    l.Write(o, 'A');
    l.Write(o, 286);
    d.Write(o, 0);
    l.Write(o, 256);
  };
  const DataWriter reservedDistance = [](BitWriter& o, const Code& l, const Code& d) {
    l.Write(o, 'A');
    for (int i = 0; i < 96; ++i) {
      l.Write(o, 285);  // length 258
      d.Write(o, 0);    // distance 1
    }
    l.Write(o, 257);
    d.Write(o, 30);
    o.Bits(0, 13);
    l.Write(o, 256);
  };
  const std::string a4(4, 'A'), a259(259, 'A'), a24772(24772, 'A');

  DynamicHeader tooManyLiterals{Lengths(224, 8, 64, 9), {1, 1}};
  DynamicHeader tooManyDistances{literals258, Lengths(32, 5)};
  DynamicHeader repeatPastEnd{literals258, {1, 1, 0}};
  for (auto l : literals258) repeatPastEnd.lengthSymbols.push_back({l});
  repeatPastEnd.lengthSymbols.insert(repeatPastEnd.lengthSymbols.end(), {{1}, {1}, {17, 0}});
  DynamicHeader emptyDistances{literals258, {0}};
  DynamicHeader oneDistance{literals258, {1}};
  std::vector<std::uint8_t> onlyEndOfBlock(257, 0);
  onlyEndOfBlock[256] = 1;
  DynamicHeader oneLiteral{onlyEndOfBlock, {1}};
  DynamicHeader incompleteLengthCode{literals258, {1, 1}, Lengths(19, 0)};
  incompleteLengthCode.lengthCodeLengths[8] = 1;
  DynamicHeader repeatFirst{literals258, {1, 1}};
  repeatFirst.lengthSymbols = {{16, 0}};

  const DataWriter endOnUnusedCodeword = [](BitWriter& o, const Code&, const Code&) {
    o.Bits(1, 1);
  };
  return {
      {"more than 286 literal/length codes, reserved one used",
       DynamicStream(tooManyLiterals, reservedLength, a259), a259, true},
      {"more than 30 distance codes", DynamicStream(tooManyDistances, aThenMatch, a4), a4, true},
      {"reserved length symbol in a fixed block", FixedStream(reservedLength, a259), a259, true},
      {"reserved distance symbol in a fixed block", FixedStream(reservedDistance, a24772), a24772,
       true, 32768},
      {"length repeat past the last code", DynamicStream(repeatPastEnd, aThenMatch, a4), a4, true},
      {"empty distance code used", DynamicStream(emptyDistances, aThenMatchWithDistanceBit(0), a4),
       a4, true},
      {"unused codeword of an incomplete distance code",
       DynamicStream(oneDistance, aThenMatchWithDistanceBit(1), a4), a4, true},
      {"unused codeword of an incomplete literal/length code",
       DynamicStream(oneLiteral, endOnUnusedCodeword, ""), "", true},
      {"incomplete code-length code", DynamicStream(incompleteLengthCode, aThenMatch, a4), a4,
       false},
      {"length repeat with no length before it", DynamicStream(repeatFirst, aThenMatch, a4), a4,
       false},
  };
}

TEST(DecoderDifferential, EncodingsZlibRefusesFailAsWithZlib) {
  BlockDecoder fast;
  for (const RefusedEncoding& e : RefusedEncodings()) {
    SCOPED_TRACE(e.name);
    const auto* in = reinterpret_cast<const unsigned char*>(e.stream.data());
    std::vector<unsigned char> reference(e.outputSize, 0xA5), quick(e.outputSize, 0xA5);
    const InflateResult expected =
        InflateBlock(in, e.stream.size(), reference.data(), e.outputSize);
    ASSERT_TRUE(expected.failed);
    EXPECT_EQ(fast.Inflate(in, e.stream.size(), quick.data(), e.outputSize), expected);
    EXPECT_EQ(reference, quick);
    std::size_t produced = 0;
    EXPECT_FALSE(fast.InflateWhole(in, e.stream.size(), quick.data(), e.outputSize, produced));
#ifdef NORV_HAVE_LIBDEFLATE
    // The case is made right: the whole-buffer decoder alone takes it.
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    std::vector<unsigned char> out(e.outputSize);
    const bool accepted = libdeflate_zlib_decompress(d, in, e.stream.size(), out.data(), out.size(),
                                                     &produced) == LIBDEFLATE_SUCCESS;
    libdeflate_free_decompressor(d);
    EXPECT_EQ(accepted, e.acceptedWithoutCheck);
    if (accepted) {
      EXPECT_EQ(std::string(out.begin(), out.begin() + produced), e.decoded);
    }
#endif
  }
}

// Two compressed blocks: the second header lies behind the first block's
// data, which the scan does not decode.
std::string TwoDynamicBlocks(const std::string& first, const std::string& second) {
  z_stream zs{};
  deflateInit(&zs, 9);
  std::string out(deflateBound(&zs, static_cast<uLong>(first.size() + second.size())) + 64, '\0');
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  for (auto [part, flush] : {std::pair{&first, Z_FULL_FLUSH}, std::pair{&second, Z_FINISH}}) {
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part->data()));
    zs.avail_in = static_cast<uInt>(part->size());
    deflate(&zs, flush);
  }
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

TEST(DeflateHeaderScan, AgreesOnlyWhereEveryHeaderIsRead) {
  Random random(5);
  const std::string text = Text(random, 16384);
  const std::string dynamic = Compress(text, 9);
  std::string oversubscribed = crafted::DynamicStream(
      {crafted::Lengths(258, 8), {1, 1}}, [](auto&...) {}, "");
  struct Case {
    const char* name;
    std::string stream;
    bool agreed;
  } cases[] = {
      {"one dynamic block", dynamic, true},
      {"stored blocks", Compress(Noise(random, 70000), 0), true},
      {"fixed block", Compress(text, 9, Z_FIXED), false},
      {"two dynamic blocks", TwoDynamicBlocks(text, text), false},
      {"header cut short", dynamic.substr(0, 12), false},
      {"oversubscribed literal/length code", oversubscribed, false},
      {"no block at all", dynamic.substr(0, 2), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        DecodersAgreeOn(reinterpret_cast<const unsigned char*>(c.stream.data()), c.stream.size()),
        c.agreed)
        << c.name;
  }
}

// A zlib stream of one non-final stored block holding `stored`, then `text`
// compressed into one final dynamic block.
std::string StoredThenDynamic(const std::string& stored, const std::string& text) {
  const auto length = static_cast<unsigned>(stored.size());
  std::string out = "\x78\x01";
  out += '\0';  // not final, stored; the rest of the byte pads to the boundary
  for (unsigned word : {length, ~length & 0xFFFFu}) {
    out += static_cast<char>(word & 0xFF);
    out += static_cast<char>(word >> 8);
  }
  out += stored;
  return out + Compress(text, 9, Z_DEFAULT_STRATEGY, -15);
}

// The scan reads only headers: a stream cut anywhere before the end of its
// last header is refused, and from there on it is agreed, however the cut
// falls against the bytes the scan has buffered.
TEST(DeflateHeaderScan, AgreesFromWhereTheLastHeaderEnds) {
  Random random(6);
  const std::string text = Text(random, 16384);
  const std::string streams[] = {
      Compress(text, 9), StoredThenDynamic("", text), StoredThenDynamic("x", text),
      StoredThenDynamic(Noise(random, 7), text), StoredThenDynamic(Noise(random, 300), text)};
  for (const std::string& stream : streams) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream.data());
    std::size_t firstAgreed = 0;
    while (firstAgreed <= stream.size() && !DecodersAgreeOn(bytes, firstAgreed)) ++firstAgreed;
    ASSERT_LT(firstAgreed, stream.size()) << "size " << stream.size();
    for (std::size_t cut = firstAgreed; cut <= stream.size(); ++cut) {
      ASSERT_TRUE(DecodersAgreeOn(bytes, cut)) << "cut " << cut << " of " << stream.size();
    }
  }
}

// The check must leave the fast path to the blocks the archive writer
// makes: 16 KiB of text or records at every compression level.
TEST(DecoderDifferential, FastDecoderServesTheWritersBlocks) {
  if (!BlockDecoder::FastPathBuiltIn()) GTEST_SKIP() << "no fast decoder in this build";
  BlockDecoder fast;
  Random random(4);
  std::vector<unsigned char> out(kOut);
  for (int level : {1, 6, 9}) {
    for (int i = 0; i < 20; ++i) {
      std::string data = Text(random, kOut);
      if (i % 2 == 1) {  // records: text with binary fields
        for (std::size_t at = 0; at < data.size(); at += 16)
          data[at] = static_cast<char>(random.Next());
      }
      const std::string block = CompressBlock(data, level);
      std::size_t produced = 0;
      ASSERT_TRUE(fast.InflateWhole(reinterpret_cast<const unsigned char*>(block.data()),
                                    block.size(), out.data(), out.size(), produced))
          << "level " << level << ", block " << i;
      EXPECT_EQ(produced, kOut);
    }
  }
}

// Whole restores: everything a restore shows to the outside, with the fast
// decoder or held to zlib.
std::vector<std::string> Restore(const std::vector<std::string>& volumes, bool zlibOnly,
                                 bool keepGoing) {
  constexpr const char* kFirst = "D:\\UPD\\ARC.001";
  MemoryFileSystem fs;
  fs.AddFile(kFirst, volumes[0]);
  if (volumes.size() > 1) fs.AddFile("D:\\UPD\\ARC.002", volumes[1]);
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetZlibOnly(zlibOnly);
  backup.SetRestoreFullPath(true);
  std::vector<std::string> seen;
  backup.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t fa, bool& yes) {
    seen.push_back("restore " + name + " " + std::to_string(fa) + (yes ? " 1" : " 0"));
  };
  backup.OnProgress = [&](TBackupFile&, std::string name, TPercentage percent, bool& go) {
    seen.push_back("progress " + name + " " + std::to_string(percent) + (go ? " 1" : " 0"));
    if (keepGoing) go = true;
  };
  backup.OnFileRestored = [&](TBackupFile&, std::string& name, TFileStream& stream) {
    seen.push_back("restored " + name + " " + std::to_string(stream.Position()));
  };
  backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t id, bool& go) {
    seen.push_back("disk " + std::to_string(id));
    go = true;
  };
  backup.OnError = [&](TBackupFile&, std::int32_t code, std::string text) {
    seen.push_back("error " + std::to_string(code) + " " + text);
  };
  try {
    seen.push_back(backup.Restore(kFirst, "C:") ? "result 1" : "result 0");
  } catch (const std::exception& e) {
    seen.push_back(std::string("exception ") + e.what());
  }
  for (const auto& name : fs.Files()) {
    seen.push_back("file " + name + " " + std::to_string(fs.Stamp(name)) + " " +
                   fs.FileBytes(name));
  }
  seen.push_back("open handles " + std::to_string(fs.OpenHandles()));
  return seen;
}

// An archive with sound blocks of every kind, over two volumes.
std::vector<std::string> SampleArchive() {
  using namespace testing;
  Random random(7);
  std::string first = Header(200000) + Entry("C:\\APP\\TEXT.TXT");
  for (int i = 0; i < 5; ++i) first += Compressed(Text(random, 16384));
  first += Compressed(Text(random, 3000)) + Stored(Noise(random, 16384)) + Stored("x") + kEnd;
  first += Name("FILE:LIST") + I32(kDate) + kSig + Compressed("C:\\APP\\TEXT.TXT\r\n") + kEnd;
  first += Entry("C:\\APP\\EMPTY.DAT") + kEnd;
  first += Entry("C:\\APP\\BIG.DAT") + Compressed(Text(random, 20000)) +  // surplus dropped
           Compressed(Noise(random, 9000)) + Compressed("") + kEnd;
  first += I32(-1);  // a skipped record length
  first += Entry("C:\\DATA\\SPLIT.BIN") + Compressed(Text(random, 16384)) + kEnd + NextDisk("002");
  std::string second = kSig + Compressed(Text(random, 12000)) + Stored("tail") + kEnd;
  second += Entry("C:\\DATA\\LAST.TXT") + Compressed(Text(random, 700)) + kEnd + kEnd;
  return {first, second};
}

TEST(DecoderDifferential, SoundArchiveRestoresTheSameWithEitherDecoder) {
  const auto volumes = SampleArchive();
  const auto reference = Restore(volumes, true, false);
  EXPECT_NE(std::find(reference.begin(), reference.end(), "result 1"), reference.end());
  EXPECT_EQ(Restore(volumes, false, false), reference);
}

// Every byte of the first volume damaged in turn (a stride keeps it quick),
// and the volume cut short at every such offset: bad checksums, broken
// deflate data, wrong lengths, signatures and names.
TEST(DecoderDifferential, DamagedArchivesRestoreTheSameWithEitherDecoder) {
  const auto sound = SampleArchive();
  int compared = 0;
  for (std::size_t at = 0; at < sound[0].size(); at += 131) {
    for (bool keepGoing : {false, true}) {
      auto damaged = sound;
      damaged[0][at] = static_cast<char>(damaged[0][at] ^ 0x5A);
      ASSERT_EQ(Restore(damaged, false, keepGoing), Restore(damaged, true, keepGoing))
          << "byte " << at << " damaged";
      auto cut = sound;
      cut[0].resize(at);
      ASSERT_EQ(Restore(cut, false, keepGoing), Restore(cut, true, keepGoing)) << "cut at " << at;
      compared += 2;
    }
  }
  EXPECT_GT(compared, 500);
}

}  // namespace
}  // namespace norv
