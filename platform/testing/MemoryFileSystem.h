#pragma once
// An in-memory file system for tests, behaving like a disk that never fails
// on its own (FaultFileSystem adds faults). Names are compared as Windows
// compares them, ignoring the case of letters (see NameOrder), and keep the
// case they were first given; "\" and "/" both separate, trailing
// separators are ignored, and a bare drive ("C:", "C:\") always exists as a
// directory. A read-only file can be neither written nor replaced. Streams
// stay valid after their file is removed; the file system must outlive them.
//
// It also remembers what a power cut would leave: a file's bytes and date
// as its last Sync (or a MoveOver of it) left them, and the names of a
// directory as its last SyncDirectory (or a MoveOver into it) left them.
// MoveOver is the durable one: it flushes the file, then the directory.
// Files and directories added by the set-up calls are durable at once.
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
  // The stamp given to files as they are created or written.
  void SetNow(std::int32_t stamp) { now_ = stamp; }
  // A read-only file: CreateWrite, OpenWrite and MoveOver refuse it.
  void SetReadOnly(const std::string& name, bool readOnly = true);
  // What FreeSpace answers (by default a terabyte).
  void SetFreeSpace(std::int64_t bytes) { freeSpace_ = bytes; }
  // Forgets everything that was not made durable, as a power cut would.
  void PowerCut();

  // --- Inspection ---
  bool HasFile(const std::string& name) const;
  // The file's bytes; throws std::out_of_range when there is no such file.
  std::string FileBytes(const std::string& name) const;
  std::int32_t Stamp(const std::string& name) const;
  // Every file and every directory, sorted, in the case each was made with.
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
  void MoveOver(const std::string& source, const std::string& target) override;
  bool RemoveFile(const std::string& name) override;
  std::string ExpandFileName(const std::string& name) override;
  bool CreateDir(const std::string& name, std::string& reason) override;
  void Rename(const std::string& source, const std::string& target) override;
  bool RemoveDir(const std::string& name) override;
  void SyncDirectory(const std::string& directory) override;
  std::int64_t FreeSpace(const std::string& path) override;

  // The key a name is looked up by: "\" for "/", no trailing separator.
  static std::string Normalize(const std::string& name);

 public:
  struct Node;
  struct Shared;

 private:
  std::unique_ptr<FileStream> Open(const std::string& name, bool write, bool create);
  std::shared_ptr<Node> Find(const std::string& key) const;
  bool DirExists(const std::string& key) const;
  // The names directly in the directory `key` become durable as they are now.
  void SyncNames(const std::string& key);
  // `key` with its directory part as that directory was made.
  std::string InDirectoryCase(const std::string& key) const;

  // Orders keys by their letters' capitals, as Windows upper-cases names:
  // ASCII a-z, the Windows-1252 accented letters 0xE0-0xFE (not the
  // division sign 0xF7), and the s, z and oe with caron or ligature and the
  // y with diaeresis of 0x9A, 0x9E, 0x9C and 0xFF. Other bytes are compared
  // as they are.
  struct NameOrder {
    static bool Same(const std::string& a, const std::string& b);
    bool operator()(const std::string& a, const std::string& b) const;
  };

  // A key keeps the case of the name that made it, its directory part that
  // of its directory: replacing a file or making a directory that exists
  // leaves the key alone.
  std::map<std::string, std::shared_ptr<Node>, NameOrder> files_;
  std::set<std::string, NameOrder> directories_;
  // What a power cut leaves of the two above.
  std::map<std::string, std::shared_ptr<Node>, NameOrder> durableFiles_;
  std::set<std::string, NameOrder> durableDirectories_;
  std::int64_t freeSpace_ = std::int64_t{1} << 40;
  std::shared_ptr<Shared> shared_;
  std::int32_t now_ = kDefaultNow;
};

}  // namespace norv
