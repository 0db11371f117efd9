#pragma once
// Byte streams: the archive source, restored files, and in-memory buffers.
#include <cstddef>
#include <cstdint>
#include <string>

namespace norv {

enum class SeekOrigin { Begin, Current, End };

class Stream {
 public:
  virtual ~Stream() = default;
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // Reads up to `count` bytes; returns how many were read (0 at the end).
  // Throws EReadError when the system refuses the read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes `count` bytes; returns how many were accepted (fewer on a full disk).
  // Throws EWriteError, with the system's reason, when the system refuses the
  // write before accepting any byte.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position; moving past the end is allowed. Returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size() = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  // Reads exactly `count` bytes or throws EReadError.
  void ReadExactly(void* buffer, std::size_t count);
  // Writes all `count` bytes or throws EWriteError (a short write included).
  // Bytes accepted before the failure stay written.
  void WriteExactly(const void* buffer, std::size_t count);
};

// A stream over an open file. The file is closed when the object is destroyed.
class FileStream : public Stream {
 public:
  // Sets the file's last-write time from an MS-DOS date-time taken as local
  // time. Failures are ignored, as callers never act on them.
  virtual void SetDosDate(std::int32_t dosDate) = 0;
  // Returns once every byte written so far has been handed to the system;
  // throws EWriteError (or what the refused write threw) when some were not.
  // Streams that write on the caller's thread have reported that already.
  virtual void FinishWrites() {}
  // Returns once every byte written so far is on the disk, where the file
  // system flushes at all; a failure only costs durability.
  virtual void Sync() { FinishWrites(); }
  // Room for the next `count` bytes in the stream's own buffer, for a caller
  // that would otherwise fill a buffer of its own and copy it in; nullptr
  // when the stream keeps none. CommitWrite(n) then writes the first n
  // bytes put there, as Write would, with no other call in between. Either
  // may throw what Write throws.
  virtual unsigned char* WriteSpace(std::size_t /*count*/) { return nullptr; }
  virtual void CommitWrite(std::size_t /*count*/) {}
  const std::string& FileName() const { return fileName_; }

 protected:
  explicit FileStream(std::string fileName) : fileName_(std::move(fileName)) {}

 private:
  std::string fileName_;
};

// Little-endian Int32 helpers used by the archive format.
std::int32_t ReadInt32(Stream& s);
void WriteInt32(Stream& s, std::int32_t value);

}  // namespace norv
