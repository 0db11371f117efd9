#pragma once
// Files through the Win32 API: names are Windows-1252 text, passed to the
// wide functions, so they mean the same under any ANSI code page. Without a
// drive root they are used as they are (the installer); with one, a name that
// starts with a drive ("C:") is placed under that directory (the archive
// tool's extract destination).
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace norv {

class ChunkStore;

class Win32FileSystem : public FileSystem {
 public:
  // `durable`: files are written on a helper thread (a refused write is
  // reported late, at the latest by FinishWrites), and MoveOver flushes the
  // finished file to the disk first.
  explicit Win32FileSystem(std::string driveRoot = {}, bool durable = true);

  // The Windows path that a system name maps to.
  std::string NativePath(const std::string& name) const;

  std::int32_t FileStamp(const std::string& name) override;
  bool DirectoryExists(const std::string& name) override;
  FileStatus Status(const std::string& name) override;
  std::unique_ptr<FileStream> OpenRead(const std::string& name) override;
  std::unique_ptr<FileStream> CreateWrite(const std::string& name) override;
  std::unique_ptr<FileStream> OpenWrite(const std::string& name) override;
  void MoveOver(const std::string& source, const std::string& target) override;
  void CheckReplaceable(const std::string& target) override;
  bool RemoveFile(const std::string& name) override;
  void Rename(const std::string& source, const std::string& target) override;
  bool RemoveDir(const std::string& name) override;
  void SyncDirectory(const std::string& directory) override;
  std::int64_t FreeSpace(const std::string& path) override;
  std::string ExpandFileName(const std::string& name) override;
  bool CreateDir(const std::string& name, std::string& reason) override;

 private:
  // A file written for keeps is written on a helper thread: an installation
  // decodes on one core while the system takes the bytes on another.
  std::unique_ptr<FileStream> Writable(std::unique_ptr<FileStream> stream);

  std::string driveRoot_;
  bool durable_;
  bool writeBehind_;                    // durable files start their write-out on a helper thread
  std::shared_ptr<ChunkStore> chunks_;  // the helpers' buffers, kept from file to file
};

}  // namespace norv
