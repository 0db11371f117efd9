#pragma once
// The file system as the engine and the installer see it. Paths are the
// system's own text (Windows-1252, "\" separators, a drive such as "C:").
// Implementations: posix/ (a drive maps to a root directory), win32/, and
// testing/ (in memory, with injectable faults).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Stream.h"

namespace norv {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The last-write time of an existing file, in local time, as an MS-DOS
  // date-time; -1 when there is no such file, when the name is a directory,
  // or when the time cannot be expressed in that form.
  virtual std::int32_t FileStamp(const std::string& name) = 0;
  bool FileExists(const std::string& name) { return FileStamp(name) != -1; }
  virtual bool DirectoryExists(const std::string& name) = 0;

  // Creates a directory and its missing parents, outermost first. A path of
  // fewer than three characters once a trailing separator is removed (a bare
  // drive) counts as existing. Throws EInOutError for an empty path; other
  // failures are silent. Returns DirectoryExists(path) as it is afterwards,
  // without asking the system twice when the path was there already.
  bool ForceDirectories(const std::string& path);

  // An existing file, read access, shared for reading and writing.
  // Throws EFOpenError.
  virtual std::unique_ptr<FileStream> OpenRead(const std::string& name) = 0;
  // Creates the file or empties an existing one; read and write access, not
  // shared. Throws EFCreateError.
  virtual std::unique_ptr<FileStream> CreateWrite(const std::string& name) = 0;
  // An existing file, write access, not shared, positioned at offset 0.
  // Throws EFOpenError.
  virtual std::unique_ptr<FileStream> OpenWrite(const std::string& name) = 0;

  // The full path of a name relative to the current directory.
  virtual std::string ExpandFileName(const std::string& name) = 0;

 protected:
  // Creates one directory whose parent exists; false when it could not.
  virtual bool CreateDir(const std::string& name) = 0;
};

}  // namespace norv
