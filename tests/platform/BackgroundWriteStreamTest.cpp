#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/BackgroundWriteStream.h"
#include "platform/Errors.h"
#include "platform/testing/FaultFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv {
namespace {

constexpr std::size_t kChunk = BackgroundWriteStream::kChunk;
const std::string kName = "C:\\F.BIN";

// Bytes that tell their own position, so a lost or doubled piece shows.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// Writes `bytes` in pieces of `piece` bytes.
void WriteInPieces(Stream& stream, const std::string& bytes, std::size_t piece) {
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    stream.WriteExactly(bytes.data() + at, std::min(piece, bytes.size() - at));
  }
}

// The same through the stream's own buffer, as the restore decodes into it:
// room for a whole piece is asked for and only the bytes at hand are
// committed; a piece the stream has no room for is written.
void PutInPieces(FileStream& stream, const std::string& bytes, std::size_t piece) {
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::size_t count = std::min(piece, bytes.size() - at);
    if (unsigned char* room = stream.WriteSpace(piece)) {
      std::memcpy(room, bytes.data() + at, count);
      stream.CommitWrite(count);
    } else {
      stream.WriteExactly(bytes.data() + at, count);
    }
  }
}

using Put = void (*)(FileStream&, const std::string&, std::size_t);
const struct Way {
  const char* name;
  Put put;
} kWays[] = {
    {"written", [](FileStream& s, const std::string& b, std::size_t p) { WriteInPieces(s, b, p); }},
    {"put in the stream's buffer", &PutInPieces}};

TEST(BackgroundWriteStream, EveryByteArrivesInOrder) {
  struct Row {
    std::size_t size, piece;
  } rows[] = {{0, 1},
              {1, 1},
              {kChunk - 1, 65536},
              {kChunk, kChunk},
              {kChunk + 1, 16384},
              {3 * kChunk + kChunk / 2, 40000},
              {2 * kChunk + 3, 3 * kChunk}};
  for (const Way& way : kWays) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::to_string(row.size) + " bytes in pieces of " + std::to_string(row.piece) +
                   ", " + way.name);
      MemoryFileSystem disk;
      const std::string bytes = Pattern(row.size);
      {
        BackgroundWriteStream stream(disk.CreateWrite(kName));
        way.put(stream, bytes, row.piece);
        EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(row.size));
        stream.FinishWrites();
      }
      EXPECT_EQ(disk.FileBytes(kName), bytes);
    }
  }
}

// Pieces put in the stream's buffer and written, mixed, with room asked for
// more than is committed: a chunk with too little room left goes out short.
TEST(BackgroundWriteStream, PutAndWrittenPiecesMix) {
  MemoryFileSystem disk;
  const std::string bytes = Pattern(3 * kChunk);
  std::size_t at = 0;
  {
    BackgroundWriteStream stream(disk.CreateWrite(kName));
    EXPECT_EQ(stream.WriteSpace(kChunk + 1), nullptr);
    for (std::size_t i = 0; at < bytes.size(); ++i) {
      const std::size_t count = std::min<std::size_t>(1000 + i * 977 % 70000, bytes.size() - at);
      if (i % 3 == 0) {
        stream.WriteExactly(bytes.data() + at, count);
      } else {
        unsigned char* room = stream.WriteSpace(count + 4096);
        ASSERT_NE(room, nullptr);
        std::memcpy(room, bytes.data() + at, count);
        stream.CommitWrite(count);
      }
      at += count;
    }
    stream.FinishWrites();
  }
  EXPECT_EQ(disk.FileBytes(kName), bytes);
}

// Streams made one after another share their chunks through a store: each
// file gets exactly its own bytes, and the store keeps no more than one
// stream can hold.
TEST(BackgroundWriteStream, ChunksPassFromStreamToStreamThroughAStore) {
  MemoryFileSystem disk;
  auto store = std::make_shared<ChunkStore>();
  const std::size_t sizes[] = {5 * kChunk + 17, kChunk / 2, 2 * kChunk, 3};
  std::vector<std::string> files;
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    std::string bytes = Pattern(sizes[i]);
    for (char& c : bytes) c = static_cast<char>(c ^ (0x55 * (i + 1)));
    const std::string name = "C:\\F" + std::to_string(i) + ".BIN";
    {
      BackgroundWriteStream stream(disk.CreateWrite(name), store);
      kWays[i % 2].put(stream, bytes, 70000);
      stream.FinishWrites();
    }
    EXPECT_EQ(disk.FileBytes(name), bytes) << name;
  }
  std::size_t kept = 0;
  while (store->Take()) ++kept;
  EXPECT_GE(kept, 1u);
  EXPECT_LE(kept, BackgroundWriteStream::kDepth + 2);
}

TEST(BackgroundWriteStream, ReadingAndSeekingSeeTheWrittenBytes) {
  MemoryFileSystem disk;
  const std::string bytes = Pattern(kChunk + 100);
  BackgroundWriteStream stream(disk.CreateWrite(kName));
  WriteInPieces(stream, bytes, 4096);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(bytes.size()));
  stream.Seek(10, SeekOrigin::Begin);
  stream.WriteExactly("xyz", 3);
  stream.Seek(0, SeekOrigin::Begin);
  std::string back(bytes.size(), '\0');
  stream.ReadExactly(back.data(), back.size());
  EXPECT_EQ(back, bytes.substr(0, 10) + "xyz" + bytes.substr(13));
}

TEST(BackgroundWriteStream, ClosingWithoutFinishingWritesTheRest) {
  MemoryFileSystem disk;
  const std::string bytes = Pattern(2 * kChunk + kChunk / 3);
  {
    BackgroundWriteStream stream(disk.CreateWrite(kName));
    WriteInPieces(stream, bytes, 50000);
  }
  EXPECT_EQ(disk.FileBytes(kName), bytes);
}

// A full disk is reported by a later call, never lost: the file keeps the
// bytes that fitted and nothing written after them, and every later write
// and finish fails the same way.
TEST(BackgroundWriteStream, ARefusedWriteIsReportedLateButAlways) {
  const std::string bytes = Pattern(3 * kChunk);
  for (const Way& way : kWays) {
    for (const std::size_t room : {std::size_t{0}, std::size_t{1}, kChunk - 1, kChunk, kChunk + 5,
                                   2 * kChunk + kChunk / 2, 3 * kChunk - 1}) {
      SCOPED_TRACE("room for " + std::to_string(room) + " bytes, " + way.name);
      MemoryFileSystem disk;
      FaultFileSystem faults(disk);
      faults.LimitWrites(static_cast<std::int64_t>(room));
      {
        BackgroundWriteStream stream(faults.CreateWrite(kName));
        std::optional<std::string> reason;
        try {
          way.put(stream, bytes, 65536);
          stream.FinishWrites();
        } catch (const EWriteError& e) {
          reason = e.Reason();
        }
        EXPECT_EQ(reason, FaultFileSystem::kDiskFull);
        EXPECT_THROW(stream.Write("x", 1), EWriteError);
        EXPECT_THROW(stream.WriteSpace(1), EWriteError);
        EXPECT_THROW(stream.FinishWrites(), EWriteError);
        EXPECT_THROW(stream.Size(), EWriteError);
      }
      EXPECT_EQ(disk.FileBytes(kName), bytes.substr(0, room));
    }
  }
}

TEST(BackgroundWriteStream, TheDateIsSetAfterTheLastByte) {
  MemoryFileSystem disk;
  constexpr std::int32_t kDate = 0x3A210000;
  {
    BackgroundWriteStream stream(disk.CreateWrite(kName));
    WriteInPieces(stream, Pattern(kChunk + 1), 8192);
    stream.SetDosDate(kDate);
  }
  EXPECT_EQ(disk.FileStamp(kName), kDate);
}

}  // namespace
}  // namespace norv
