#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "backup/InputBuffer.h"
#include "platform/Errors.h"
#include "platform/MemoryStream.h"
#include "platform/testing/MemoryFileSystem.h"
#include "platform/testing/ScriptedUserInterface.h"
#include "tests/backup/ArchiveBytes.h"

namespace norv {
namespace {

// A memory stream that counts the bytes read and the size queries the
// buffer makes of it, and can refuse one read.
class CountingStream : public MemoryStream {
 public:
  using MemoryStream::MemoryStream;
  std::size_t Read(void* buffer, std::size_t count) override {
    if (failNextRead) {
      failNextRead = false;
      throw EReadError();
    }
    const std::size_t got = MemoryStream::Read(buffer, count);
    bytesRead += got;
    return got;
  }
  std::int64_t Size() override {
    ++sizeQueries;
    return MemoryStream::Size();
  }
  bool failNextRead = false;
  int sizeQueries = 0;
  std::size_t bytesRead = 0;
};

std::string Bytes(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * 7);
  return bytes;
}

// The bytes left stay exact through every way of moving on, with the stream
// asked for its size once.
TEST(InputBufferTest, BytesLeftAreCountedWithoutAskingTheStreamAgain) {
  constexpr std::size_t kTotal = 1'000'000;  // several buffers' worth
  CountingStream stream(Bytes(kTotal));
  InputBuffer input;
  input.Attach(&stream);
  std::int64_t consumed = 0;
  std::vector<char> out(500'000);
  const auto check = [&](const char* step) {
    EXPECT_EQ(input.Left(), static_cast<std::int64_t>(kTotal) - consumed) << step;
    EXPECT_EQ(input.Consumed(), consumed) << step;
  };
  check("attached");
  input.Take(100), consumed += 100;
  check("taken without read-ahead");
  input.SetReadAhead(true);
  input.Take(5000), consumed += 5000;
  check("taken with read-ahead");
  input.Skip(400'000), consumed += 400'000;
  check("skipped past the buffer (a seek)");
  input.Read(out.data(), out.size()), consumed += static_cast<std::int64_t>(out.size());
  check("read beyond the buffer (a direct read)");
  EXPECT_FALSE(input.HasLeft(static_cast<std::int64_t>(kTotal - consumed) + 1));
  EXPECT_TRUE(input.HasLeft(static_cast<std::int64_t>(kTotal - consumed)));
  EXPECT_EQ(stream.sizeQueries, 1);

  // A new stream is asked afresh.
  CountingStream next(Bytes(10));
  input.Attach(&next);
  EXPECT_EQ(input.Left(), 10);
  EXPECT_EQ(next.sizeQueries, 1);
}

// A read ahead that fails may have moved the stream: the count is asked for
// again, and stays exact.
TEST(InputBufferTest, AFailedReadAheadAsksTheStreamAgain) {
  CountingStream stream(Bytes(300'000));
  InputBuffer input;
  input.Attach(&stream);
  input.SetReadAhead(true);
  EXPECT_EQ(input.Left(), 300'000);
  stream.failNextRead = true;
  input.Take(10);  // the retry of only the bytes needed succeeds
  EXPECT_EQ(input.Left(), 300'000 - 10);
  EXPECT_EQ(stream.sizeQueries, 2);
  stream.failNextRead = true;
  input.Skip(input.Left() - 4);
  EXPECT_EQ(input.Left(), 4);
  const std::string tail = Bytes(300'000).substr(300'000 - 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(input.Take(4)), 4), tail);
  EXPECT_EQ(input.Left(), 0);
  EXPECT_THROW(input.Take(1), EReadError);
}

// A restore from the caller's stream must leave it where reading the
// archive record by record leaves it: right after the end of the archive.
TEST(InputBufferTest, RestoreLeavesTheSourceStreamRightAfterTheArchive) {
  using namespace testing;
  const std::string archive = Header(3) + Entry("C:\\A.TXT") + Stored("abc") + kEnd + kEnd;
  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  MemoryStream source("prefix" + archive + std::string(100000, 'z'));
  source.Seek(6, SeekOrigin::Begin);
  backup.SetSourceStream(&source);
  EXPECT_TRUE(backup.Restore(":STREAM", "C:"));
  EXPECT_EQ(source.Position(), static_cast<std::int64_t>(6 + archive.size()));
  EXPECT_EQ(fs.FileBytes("C:\\A.TXT"), "abc");
}

// Passing over an entry seeks past its blocks: of 160 KiB of data only the
// fields around them are read.
TEST(InputBufferTest, PassingOverAnEntryReadsNoData) {
  using namespace testing;
  std::string archive = Header(0) + Entry("C:\\SKIP.DAT");
  for (int i = 0; i < 10; ++i) archive += Stored(Bytes(16384));
  archive += kEnd + kEnd;
  CountingStream source(archive);
  MemoryFileSystem fs;
  ScriptedUserInterface ui;
  TBackupFile backup(fs, ui);
  backup.SetRestoreMode(rmExisting);  // nothing exists: every entry is passed over
  backup.SetSourceStream(&source);
  EXPECT_TRUE(backup.Restore(":STREAM", "C:"));
  EXPECT_LT(source.bytesRead, 1000u);
  EXPECT_EQ(source.Position(), static_cast<std::int64_t>(archive.size()));
}

}  // namespace
}  // namespace norv
