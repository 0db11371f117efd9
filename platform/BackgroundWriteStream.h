#pragma once
// A file stream whose writes are done by a helper thread, so that the
// system's share of a write (copying the bytes into its cache, allocating
// the file's space) overlaps with the owner's next piece of work instead of
// following it. Written bytes are gathered into chunks; a full chunk goes to
// the helper while the owner fills the next one, and the owner waits only
// when the helper is kDepth chunks behind (a disk that stalls for a moment
// does not stop the owner at once).
//
// A write the system refuses is therefore reported late: by a later Write,
// by FinishWrites, or by Read, Seek or Size, which first bring the file up to
// date. Bytes written after the refused ones never reach the file. The
// destructor writes what is left and ignores a failure: callers that must
// know the outcome call FinishWrites first.
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Stream.h"

namespace norv {

// Chunks kept from one stream for the next (a restore makes a stream per
// file). The first write to each page of new memory is a page fault, which
// in some virtual machines costs as much as inflating the page; reused
// chunks have their pages already. Shared by the streams of a file system.
class ChunkStore {
 public:
  // A kept chunk, or nullptr when none is kept.
  std::unique_ptr<unsigned char[]> Take();
  // Keeps `bytes` (a chunk of BackgroundWriteStream::kChunk) unless enough are kept.
  void Give(std::unique_ptr<unsigned char[]> bytes);

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<unsigned char[]>> kept_;
};

class BackgroundWriteStream : public FileStream {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  static constexpr std::size_t kDepth = 4;
  static constexpr std::size_t kWakeAt = 2;

  // `store`, when given, provides the chunks and takes them back at the end.
  explicit BackgroundWriteStream(std::unique_ptr<FileStream> inner,
                                 std::shared_ptr<ChunkStore> store = nullptr);
  ~BackgroundWriteStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  // Accepts all `count` bytes, or throws the failure of an earlier write.
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override;
  void SetDosDate(std::int32_t dosDate) override;
  void FinishWrites() override;
  void Sync() override;
  // Room in the chunk being filled (a chunk with less room left goes to
  // the helper first); nullptr for more than a chunk.
  unsigned char* WriteSpace(std::size_t count) override;
  void CommitWrite(std::size_t count) override;

 private:
  struct Chunk {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size = 0;
  };

  // A chunk to fill: a written one when there is one, else a new one.
  void TakeChunk();
  // Gives the chunk being filled to the helper, started on the first one.
  void HandOver();
  // Waits for the helper and writes the rest here; a failure is kept, not thrown.
  void Settle();
  // Writes the gathered bytes on the owner's thread; a failure is kept and thrown.
  void WriteHere();
  void ThrowIfFailed();
  void Serve();

  std::unique_ptr<FileStream> inner_;
  std::shared_ptr<ChunkStore> store_;
  Chunk filling_;  // the owner's; no bytes until the first write
  std::mutex mutex_;
  // Chunks handed over, oldest first; the helper writes the front one and
  // removes it when done, so an empty queue means that every chunk is written.
  std::deque<Chunk> queue_;
  std::vector<Chunk> spare_;  // written chunks, for reuse
  std::condition_variable work_;
  std::condition_variable room_;
  bool stopping_ = false;
  std::exception_ptr failure_;  // the first refused write
  std::thread thread_;
};

}  // namespace norv
