#pragma once
// Reads a restore's input through one buffer, so that a block's length and
// payload cost one system read per buffer rather than one read each (plus a
// size and a position query, asked once per stream). What the run sees stays
// as with direct reads:
//  - reading past the end fails with the stream's read error;
//  - passing over data that is not buffered seeks, it does not read, and
//    with read-ahead off (as between entries) only the fields are read;
//  - a failing read ahead is retried for exactly the bytes needed, so a
//    fault surfaces where a direct read would have met it;
//  - when detached, the stream is moved back to the first byte not consumed
//    (the caller's source stream is left where direct reads leave it).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "backup/ArchiveFormat.h"
#include "platform/Stream.h"

namespace norv {

class InputBuffer {
 public:
  InputBuffer();
  ~InputBuffer();
  InputBuffer(const InputBuffer&) = delete;
  InputBuffer& operator=(const InputBuffer&) = delete;

  // Reads `stream` from its current position on; nullptr detaches.
  void Attach(Stream* stream);
  // Reading ahead fills the whole buffer at each read; off (the start),
  // only the bytes asked for are read, so that data which is then passed
  // over is not read at all.
  void SetReadAhead(bool on) { readAhead_ = on; }

  // The next `count` bytes (at most the largest block), valid until the
  // next call. Throws EReadError when the input ends first.
  const unsigned char* Take(std::size_t count);
  std::int32_t ReadInt32();
  // Reads `count` bytes of any size into `out`. Throws EReadError when the
  // input ends first.
  void Read(void* out, std::size_t count);
  // Moves `count` bytes forward without reading what is not yet buffered.
  void Skip(std::int64_t count);
  // Throws EReadError unless `count` more bytes are left in the input.
  void RequireLeft(std::int64_t count);
  // Whether `count` more bytes are left; asks the stream only when fewer
  // are buffered.
  bool HasLeft(std::int64_t count);
  // Bytes left in the input.
  std::int64_t Left();
  // Bytes consumed (taken, read or skipped) since the stream was attached.
  std::int64_t Consumed() const { return consumed_; }

 private:
  // 256 KiB: under Windows every read is a system call with a fixed cost
  // of its own.
  static constexpr std::size_t kCapacity = 16 * archive::kBlockSize;

  std::size_t Buffered() const { return end_ - begin_; }
  void Fill(std::size_t count);
  // Records that the stream has moved `count` bytes forward.
  void Advanced(std::int64_t count) {
    if (streamLeft_) *streamLeft_ -= count;
  }

  Stream* stream_ = nullptr;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool readAhead_ = false;
  std::int64_t consumed_ = 0;
  // The stream's bytes beyond its position, asked of the stream once per
  // attach (a size and a position query: system calls, and under Wine a
  // file information query each) and then counted down; unknown until asked and
  // after a failed read, which may have moved the stream by any amount.
  std::optional<std::int64_t> streamLeft_;
};

}  // namespace norv
