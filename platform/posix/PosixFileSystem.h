#pragma once
// Files on Linux. Names are Windows-1252 and the host's paths UTF-8: a name
// is converted on its way to the system. A name that starts with a drive
// ("C:") is placed under the root directory given at construction (a host
// path, taken as it is); "\" and "/" both separate; other names are used as
// they are (relative to the current directory). Dates are MS-DOS date-times
// in local time. Unlike on Windows, names that differ only in case name
// different files, as Linux has them; the tests that stand for Windows run
// over the in-memory file system, which ignores case.
#include <string>

#include "platform/FileSystem.h"

namespace norv {

class PosixFileSystem : public FileSystem {
 public:
  // `driveRoot`: the host directory that every drive letter maps to.
  // `durable`: MoveOver flushes the file to the disk before it renames it,
  // and the directory after, so that a power cut cannot leave an empty target.
  explicit PosixFileSystem(std::string driveRoot = "/", bool durable = true);

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

  // The POSIX path that a system name maps to.
  std::string NativePath(const std::string& name) const;

 private:
  std::string driveRoot_;
  bool durable_;
};

}  // namespace norv
