#pragma once
// A file system that forwards every call to another one (in memory, POSIX or
// Win32) and fails on request: a file that cannot be created, opened or
// replaced, a directory that cannot be made, a read that fails at a byte, a
// disk that fills up, a date that is not set. The failures carry the texts a
// Windows system gives. It also numbers every operation that changes the
// disk and calls a hook before each, so a test can stop a process at any one.
// Streams it hands out must not outlive it.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/BackgroundWriteStream.h"
#include "platform/FileSystem.h"

namespace norv {

// What a simulated kill throws. It derives from no standard exception, so
// that no handler of the code under test takes it for a failure of its own.
struct SimulatedCrash {};

class FaultFileSystem : public FileSystem {
 public:
  static constexpr const char* kDiskFull = "There is not enough space on the disk";
  static constexpr const char* kInUse =
      "The process cannot access the file because it is being used by another process";

  explicit FaultFileSystem(FileSystem& base);
  ~FaultFileSystem() override;

  // --- Faults, by name ("\" and "/" alike, trailing separators ignored) ---
  // CreateWrite of this name throws EFCreateError (access denied).
  void FailCreate(const std::string& name);
  // OpenRead and OpenWrite of this name throw EFOpenError (not found).
  void FailOpen(const std::string& name);
  // Creating this directory fails (access denied).
  void FailDirectory(const std::string& name);
  // MoveOver onto this target and OpenWrite of it fail: another program
  // holds it open without sharing.
  void Lock(const std::string& name);
  // SetDosDate on streams of this file does nothing.
  void FailSetDate(const std::string& name);
  // A read of this file that reaches byte `offset` throws EReadError.
  void FailReadAt(const std::string& name, std::int64_t offset);
  // Disk full: from now on, all files together take `totalBytes` more
  // bytes; then writes stop short and fail with kDiskFull.
  void LimitWrites(std::int64_t totalBytes);
  // Streams for writing come behind a BackgroundWriteStream, as the Windows
  // program's durable files do, so that a refused write is reported late.
  // Their writes are then counted, and the hook called, on its helper thread.
  void WriteInBackground() { background_ = true; }

  // Called with 1, 2, ... before every operation that changes the disk:
  // create, open for writing, each write, each date, a directory, a
  // removal, and before and after each MoveOver.
  std::function<void(long)> beforeChange;
  // The process dies before change `change`: that change and every later one
  // throw SimulatedCrash and reach nothing, except removals, dates and
  // flushes, which do nothing (a destructor may ask for them).
  void CrashAt(long change) { crashAt_ = change; }
  bool Crashed() const { return crashed_; }
  long Changes() const;
  // Bytes accepted by writes through this wrapper so far.
  std::int64_t BytesWritten() const;

  // --- FileSystem: forwarded unless a fault applies ---
  std::int32_t FileStamp(const std::string& name) override;
  bool DirectoryExists(const std::string& name) override;
  std::unique_ptr<FileStream> OpenRead(const std::string& name) override;
  std::unique_ptr<FileStream> CreateWrite(const std::string& name) override;
  std::unique_ptr<FileStream> OpenWrite(const std::string& name) override;
  void MoveOver(const std::string& source, const std::string& target) override;
  bool RemoveFile(const std::string& name) override;
  void Rename(const std::string& source, const std::string& target) override;
  bool RemoveDir(const std::string& name) override;
  void SyncDirectory(const std::string& directory) override;
  std::int64_t FreeSpace(const std::string& path) override;
  std::string ExpandFileName(const std::string& name) override;
  bool CreateDir(const std::string& name, std::string& reason) override;

 private:
  friend class FaultStream;
  // Counts one change and calls the hook.
  void Change();
  // How many of `count` bytes the disk has room for; throws kDiskFull when none.
  std::size_t Room(std::size_t count);
  // Takes `put` written bytes from the room left.
  void Took(std::size_t put);
  std::unique_ptr<FileStream> Wrap(const std::string& name, std::unique_ptr<FileStream> inner);
  // `stream` behind a BackgroundWriteStream when WriteInBackground asked for it.
  std::unique_ptr<FileStream> Behind(std::unique_ptr<FileStream> stream) const;

  FileSystem& base_;
  std::set<std::string> failCreate_, failOpen_, failDirectory_, locked_, failSetDate_;
  std::map<std::string, std::int64_t> failReadAt_;
  bool background_ = false;
  // Kept from file to file, as the Windows file system keeps them.
  std::shared_ptr<ChunkStore> chunks_ = std::make_shared<ChunkStore>();
  // The counts below may change on a stream's helper thread.
  mutable std::mutex counting_;
  std::int64_t writeBudget_ = -1;  // -1: unlimited
  long changes_ = 0;
  std::int64_t bytesWritten_ = 0;
  long crashAt_ = 0;  // 0: never
  bool crashed_ = false;
};

}  // namespace norv
