#pragma once
// An in-memory file system for tests, with injectable faults. Names are
// compared exactly as text; "\" and "/" both separate, trailing separators
// are ignored, and a bare drive ("C:", "C:\") always exists as a directory.
// Streams stay valid after their file is removed; the file system must
// outlive them.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace norv {

class MemoryFileSystem : public FileSystem {
 public:
  // The stamp a file gets when it is created or written without a date.
  static constexpr std::int32_t kDefaultNow = 0x50210000;  // 1 January 2020, 00:00

  MemoryFileSystem();
  ~MemoryFileSystem() override;

  // --- Set-up ---
  // Adds or replaces a file; its directory is created with all parents.
  void AddFile(const std::string& name, std::string bytes, std::int32_t stamp = kDefaultNow);
  // Adds a directory and its missing parents.
  void AddDirectory(const std::string& name);
  void RemoveFile(const std::string& name);
  // The stamp given to files as they are created or written.
  void SetNow(std::int32_t stamp) { now_ = stamp; }

  // --- Faults ---
  // CreateWrite of this name throws EFCreateError.
  void FailCreate(const std::string& name);
  // OpenRead and OpenWrite of this name throw EFOpenError.
  void FailOpen(const std::string& name);
  // Creating this directory fails silently.
  void FailDirectory(const std::string& name);
  // A read-only file: CreateWrite and OpenWrite refuse it.
  void SetReadOnly(const std::string& name, bool readOnly = true);
  // Disk full: writes stop short once `totalBytes` bytes have been written
  // in all files from now on.
  void LimitWrites(std::int64_t totalBytes);
  // A read of this file that reaches byte `offset` throws EReadError.
  void FailReadAt(const std::string& name, std::int64_t offset);

  // --- Inspection ---
  bool HasFile(const std::string& name) const;
  // The file's bytes; throws std::out_of_range when there is no such file.
  std::string FileBytes(const std::string& name) const;
  std::int32_t Stamp(const std::string& name) const;
  // Every file and every directory, sorted.
  std::vector<std::string> Files() const;
  std::vector<std::string> Directories() const;
  // Streams not yet destroyed (closed).
  int OpenHandles() const;

  // --- FileSystem ---
  std::int32_t FileStamp(const std::string& name) override;
  bool DirectoryExists(const std::string& name) override;
  std::unique_ptr<FileStream> OpenRead(const std::string& name) override;
  std::unique_ptr<FileStream> CreateWrite(const std::string& name) override;
  std::unique_ptr<FileStream> OpenWrite(const std::string& name) override;
  std::string ExpandFileName(const std::string& name) override;

  // The key a name is stored under.
  static std::string Normalize(const std::string& name);

 protected:
  bool CreateDir(const std::string& name) override;

 public:
  struct Node;
  struct Shared;

 private:
  std::unique_ptr<FileStream> Open(const std::string& name, bool write, bool create);
  std::shared_ptr<Node> Find(const std::string& key) const;
  bool DirExists(const std::string& key) const;

  std::map<std::string, std::shared_ptr<Node>> files_;
  std::set<std::string> directories_;
  std::set<std::string> failCreate_, failOpen_, failDirectory_;
  std::shared_ptr<Shared> shared_;
  std::int32_t now_ = kDefaultNow;
};

}  // namespace norv
