// Archives made on several threads must be the same bytes as those made on
// one: every volume, with splits falling inside entries and between them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backup/ArchiveWriter.h"
#include "backup/ParallelEncoder.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv {
namespace {

// Compressible text and incompressible noise, the same for every run.
std::string Text(std::size_t size, int seed) {
  std::string out;
  while (out.size() < size) out += "linha " + std::to_string(seed++ * 7919 % 100003) + " saldo\r\n";
  out.resize(size);
  return out;
}

std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (auto& c : out) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  return out;
}

// Every volume's bytes, in order, and the summary's counts.
std::vector<std::string> Make(int jobs, std::int32_t maxSize) {
  MemoryFileSystem fs;
  fs.AddDirectory("D:\\OUT");
  const std::vector<std::pair<std::string, std::string>> files = {
      {"/src/A.TXT", Text(300000, 1)},
      {"/src/EMPTY", ""},
      {"/src/B.BIN", Noise(40000, 2)},
      {"/src/C.TXT", Text(16384, 3)},
      {"/src/D.TXT", Text(16385, 4)},
      {"/src/E.MIX", Text(50000, 5) + Noise(30000, 6)},
      // Long enough that batches of two or three threads end inside it.
      {"/src/F.BIG", Text(1200000, 7)}};
  std::vector<ArchiveEntry> entries;
  for (const auto& [path, bytes] : files) {
    fs.AddFile(path, bytes);
    entries.push_back({"C:\\APP\\" + path.substr(5), path});
  }
  ArchiveOptions options;
  options.level = clMax;
  options.maxSize = maxSize;
  options.fileList = true;
  options.jobs = jobs;
  ArchiveSummary summary;
  try {
    summary = WriteArchive(fs, "D:\\OUT\\PACK.001", entries, options);
  } catch (const EArchiveWriteError& e) {
    return {e.what()};
  }
  std::vector<std::string> result = {std::to_string(summary.totalBytes) + " " +
                                     std::to_string(summary.compressedBlocks) + " " +
                                     std::to_string(summary.storedBlocks)};
  for (const auto& volume : summary.volumes) result.push_back(fs.FileBytes(volume.name));
  return result;
}

TEST(ParallelIdentity, ThreadsDoNotChangeTheArchive) {
  // 4096 bytes cannot hold a stored block: the same failure for any count.
  for (std::int32_t maxSize : {0, 4096, 20000, 60000, 600000}) {
    SCOPED_TRACE("max size " + std::to_string(maxSize));
    const auto one = Make(1, maxSize);
    EXPECT_EQ(one.size() > 2, maxSize > 4096 && maxSize < 600000) << "splits where asked";
    for (int jobs : {2, 3, 8}) EXPECT_EQ(Make(jobs, maxSize), one) << jobs << " threads";
  }
}

TEST(ParallelIdentity, EncoderKeepsInputOrder) {
  ParallelEncoder encoder(4);
  std::vector<std::string> chunks;
  for (int i = 0; i < 50; ++i) chunks.push_back(i % 3 ? Text(100 + i * 300, i) : Noise(700, i));
  std::vector<std::string_view> inputs(chunks.begin(), chunks.end());
  for (int round = 0; round < 3; ++round) {
    const auto blocks = encoder.Encode(inputs, clDefault);
    ASSERT_EQ(blocks.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const EncodedBlock expected = EncodeBlock(inputs[i], clDefault);
      EXPECT_EQ(blocks[i].length, expected.length);
      EXPECT_EQ(blocks[i].payload, expected.payload);
    }
  }
  // An empty block is refused by the encoder; the batch reports it.
  inputs.push_back(std::string_view());
  EXPECT_THROW(encoder.Encode(inputs, clMax), std::invalid_argument);
  EXPECT_EQ(encoder.Encode({inputs[0]}, clMax).size(), 1u) << "usable after a failure";
}

}  // namespace
}  // namespace norv
