// ArchiveWriter: what it writes must read back (through ArchiveReader) as
// the files it was given, within the volume size limit.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "backup/ArchiveWriter.h"
#include "platform/DosDate.h"
#include "platform/posix/PosixFileSystem.h"

namespace norv {
namespace {

using testing::kSampleDate;
using testing::NoiseBytes;
using testing::ReadArchive;
using testing::ReadFile;
using testing::TempDir;
using testing::TextBytes;
using testing::WriteFile;

struct Sample {
  std::string stored;
  std::string bytes;
  std::int32_t date;
};

std::vector<Sample> MixedSamples() {
  return {
      // Three full 16384-byte blocks: each must inflate within the restore's buffer.
      {"C:\\APP\\TEXT.TXT", TextBytes(50000), kSampleDate},
      {"C:\\APP\\DATA\\NOISE.BIN", NoiseBytes(40000, 1), kSampleDate + 2},
      {"C:\\APP\\EMPTY.DAT", "", kSampleDate},
      // Dates from 2044 on are negative as Int32.
      {"C:\\APP\\ABC.TXT", "abc", PackDosDate({2050, 6, 30, 23, 59, 58})},
  };
}

class WriterTest : public ::testing::Test {
 protected:
  // Writes the samples' contents as source files; returns the entries.
  std::vector<ArchiveEntry> Sources(const std::vector<Sample>& samples) {
    std::vector<ArchiveEntry> entries;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      std::string path = dir / ("src/" + std::to_string(i));
      WriteFile(path, samples[i].bytes, samples[i].date);
      entries.push_back({samples[i].stored, path});
    }
    return entries;
  }
  std::string Archive() const { return dir / "ARC.001"; }

  TempDir dir;
  PosixFileSystem fs;
};

TEST_F(WriterTest, EveryLevelAndVolumeLimitReadsBackAsTheFiles) {
  struct Case {
    TCompressionLevel level;
    std::int32_t maxSize;
  };
  const Case cases[] = {{clNone, 0},    {clFastest, 0},     {clDefault, 0},
                        {clMax, 0},     {clNone, 20000},    {clFastest, 20000},
                        {clMax, 17000}, {clDefault, 16500}, {clMax, 16412}};
  const auto samples = MixedSamples();
  const auto entries = Sources(samples);
  std::int64_t total = 0;
  for (const auto& s : samples) total += static_cast<std::int64_t>(s.bytes.size());

  for (const auto& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level) + ", max size " + std::to_string(c.maxSize));
    ArchiveOptions options;
    // "Backup do Norv Contábil"
    options.title =
        "Backup do Norv Cont\xE1"
        "bil";
    options.level = c.level;
    options.maxSize = c.maxSize;
    ArchiveSummary summary = WriteArchive(fs, Archive(), entries, options);

    EXPECT_EQ(summary.totalBytes, total);
    for (const auto& v : summary.volumes) {
      EXPECT_EQ(std::filesystem::file_size(v.name), static_cast<std::uintmax_t>(v.bytes));
      if (c.maxSize > 0) {
        EXPECT_LE(v.bytes, c.maxSize) << v.name;
      }
    }
    EXPECT_EQ(summary.volumes.size() > 1, c.maxSize > 0);
    if (c.level == clNone) {
      EXPECT_EQ(summary.compressedBlocks, 0);
    } else {
      EXPECT_GT(summary.compressedBlocks, 0);
      EXPECT_GT(summary.storedBlocks, 0);  // the noise does not compress
    }

    auto back = ReadArchive(Archive());
    ASSERT_TRUE(back.complete);
    EXPECT_TRUE(back.problems.empty()) << back.problems[0].what;
    EXPECT_EQ(back.header.title, options.title);
    EXPECT_EQ(back.header.totalBytes, total);
    EXPECT_EQ(back.header.value, 0);
    for (const auto& s : samples) EXPECT_EQ(back.contents[s.stored], s.bytes) << s.stored;
    std::vector<std::string> order;
    for (const auto& r : back.records) {
      if (r.kind != RecordKind::File) continue;
      order.push_back(r.name);
      for (const auto& s : samples) {
        if (s.stored == r.name) {
          EXPECT_EQ(r.date, s.date) << r.name;
        }
      }
    }
    ASSERT_EQ(order.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(order[i], samples[i].stored);
  }
}

TEST_F(WriterTest, OneStoredFileIsWrittenByteForByte) {
  ArchiveOptions options;
  options.level = clNone;
  WriteArchive(fs, Archive(), Sources({{"C:\\A\\B.TXT", "abc", kSampleDate}}), options);
  const std::string expected(
      "\x00\x00\x00\x00"
      "\x03\x00\x00\x00"
      "\x00\x00\x00\x00"
      "\x0A\x00\x00\x00"
      "C:\\A\\B.TXT"
      "\x8F\x52\x6F\x30"
      "EC2\x00"
      "\xFD\xFF\xFF\xFF"
      "abc"
      "\x00\x00\x00\x00"
      "\x00\x00\x00\x00",
      49);
  EXPECT_EQ(ReadFile(Archive()), expected);
}

TEST_F(WriterTest, ASplitFileContinuesBehindANextDiskRecord) {
  ArchiveOptions options;
  options.level = clNone;
  options.maxSize = 16500;
  const std::string bytes = NoiseBytes(20000, 7);
  auto summary = WriteArchive(fs, Archive(), Sources({{"C:\\B.BIN", bytes, kSampleDate}}), options);
  ASSERT_EQ(summary.volumes.size(), 2u);
  EXPECT_EQ(summary.volumes[1].name, dir / "ARC.002");

  const std::string first = ReadFile(dir / "ARC.001");
  const std::string tail("\x00\x00\x00\x00\x0C\x00\x00\x00NEXT:DISK002", 20);
  ASSERT_GE(first.size(), tail.size());
  EXPECT_EQ(first.substr(first.size() - tail.size()), tail);  // end marker, then the record

  const std::string second = ReadFile(dir / "ARC.002");
  EXPECT_EQ(second.substr(0, 8), std::string("EC2\x00\xE0\xF1\xFF\xFF", 8));  // -3616
  EXPECT_EQ(second.substr(8, 3616), bytes.substr(16384));
  EXPECT_EQ(second.substr(8 + 3616), std::string(8, '\0'));  // end marker, end of archive
}

// Every split position of many small entries: each limit either gives a
// sound archive within the limit or is refused, never a broken archive.
TEST_F(WriterTest, EveryVolumeLimitGivesASoundArchiveOrIsRefused) {
  std::vector<Sample> samples;
  for (int i = 0; i < 12; ++i) {
    samples.push_back({"C:\\D\\F" + std::to_string(i), NoiseBytes(i * 7, i), kSampleDate + i});
  }
  const auto entries = Sources(samples);
  bool sawEmptyContinuation = false;
  for (std::int32_t maxSize = 40; maxSize <= 400; ++maxSize) {
    SCOPED_TRACE("max size " + std::to_string(maxSize));
    ArchiveOptions options;
    options.level = clNone;
    options.maxSize = maxSize;
    options.fileList = maxSize % 2 == 0;
    ArchiveSummary summary;
    try {
      summary = WriteArchive(fs, Archive(), entries, options);
    } catch (const EArchiveWriteError& e) {
      EXPECT_NE(std::string(e.what()).find("too small"), std::string::npos) << e.what();
      EXPECT_LT(maxSize, 200);  // the largest need is under 150 bytes
      continue;
    }
    for (const auto& v : summary.volumes) EXPECT_LE(v.bytes, maxSize);
    auto back = ReadArchive(Archive());
    ASSERT_TRUE(back.complete);
    ASSERT_TRUE(back.problems.empty()) << back.problems[0].what;
    for (const auto& s : samples) EXPECT_EQ(back.contents[s.stored], s.bytes) << s.stored;
    for (const auto& r : back.records) {
      if (r.kind == RecordKind::Continued && r.blocks == 0) sawEmptyContinuation = true;
    }
  }
  EXPECT_TRUE(sawEmptyContinuation);
}

TEST_F(WriterTest, FileListEntryComesFirstAndNamesEveryFile) {
  const auto samples = MixedSamples();
  ArchiveOptions options;
  options.fileList = true;
  auto summary = WriteArchive(fs, Archive(), Sources(samples), options);

  auto back = ReadArchive(Archive());
  ASSERT_TRUE(back.complete);
  EXPECT_TRUE(back.problems.empty());
  ASSERT_FALSE(back.records.empty());
  const auto& list = back.records.front();
  EXPECT_EQ(list.kind, RecordKind::FileList);
  EXPECT_EQ(list.name, "FILE:LIST");
  EXPECT_EQ(back.contents["FILE:LIST"],
            "C:\\APP\\TEXT.TXT\r\nC:\\APP\\DATA\\NOISE.BIN\r\nC:\\APP\\EMPTY.DAT\r\n"
            "C:\\APP\\ABC.TXT\r\n");
  // Dated as the newest file (2050 is newest though negative as Int32).
  EXPECT_EQ(list.date, samples[3].date);
  // The list is never restored, so the header's total leaves it out.
  EXPECT_EQ(back.header.totalBytes, 50000 + 40000 + 3);
  EXPECT_EQ(summary.totalBytes, 50000 + 40000 + 3);
}

TEST_F(WriterTest, VolumeCountStopsAt999) {
  std::vector<Sample> samples;
  for (int i = 0; i < 1000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "C:\\F%04d", i);
    samples.push_back({name, "x", kSampleDate});
  }
  const auto all = Sources(samples);
  // At this limit each volume takes exactly one one-byte entry.
  ArchiveOptions options;
  options.level = clNone;
  options.maxSize = 70;

  auto summary = WriteArchive(fs, Archive(), {all.begin(), all.end() - 1}, options);
  ASSERT_EQ(summary.volumes.size(), 999u);
  EXPECT_EQ(summary.volumes.back().name, dir / "ARC.999");
  auto back = ReadArchive(Archive());
  EXPECT_TRUE(back.complete);
  EXPECT_EQ(back.contents["C:\\F0998"], "x");

  try {
    WriteArchive(fs, Archive(), all, options);
    FAIL() << "1000 volumes were written";
  } catch (const EArchiveWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("more than 999 volumes"), std::string::npos);
  }
}

TEST_F(WriterTest, RefusesNamesTheReaderWouldMisread) {
  ArchiveWriter writer(fs, Archive(), {});
  for (const char* name : {"", "FILE:LIST", "NEXT:DISK002", "A.TXT", "C:A.TXT", "C:\\", "1:\\X"}) {
    EXPECT_THROW(writer.AddFile(name, dir / "x"), EArchiveWriteError) << name;
  }
  EXPECT_NO_THROW(writer.AddFile("c:\\x", dir / "x"));
}

TEST_F(WriterTest, MissingSourceFailsBeforeAnyVolumeIsWritten) {
  auto entries = Sources({{"C:\\A.TXT", "a", kSampleDate}});
  entries.push_back({"C:\\B.TXT", dir / "missing"});
  EXPECT_THROW(WriteArchive(fs, Archive(), entries, {}), Exception);
  EXPECT_FALSE(std::filesystem::exists(Archive()));
}

}  // namespace
}  // namespace norv
