#pragma once
// The file system as the engine and the installer see it. Paths are the
// system's own text (Windows-1252, "\" separators, a drive such as "C:").
// Implementations: posix/ (a drive maps to a root directory), win32/, and
// testing/ (in memory; a wrapper that injects faults into any of them).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Stream.h"

namespace norv {

// What a name stands for: nothing, a directory, or a file (anything else).
enum class FileKind { kNone, kFile, kDirectory };

struct FileStatus {
  FileKind kind = FileKind::kNone;
  // FileStamp's answer: -1 unless a file with a time that fits.
  std::int32_t stamp = -1;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The last-write time of an existing file, in local time, as an MS-DOS
  // date-time; -1 when there is no such file, when the name is a directory,
  // or when the time cannot be expressed in that form.
  virtual std::int32_t FileStamp(const std::string& name) = 0;
  bool FileExists(const std::string& name) { return FileStamp(name) != -1; }
  virtual bool DirectoryExists(const std::string& name) = 0;
  // The kind and stamp of a name. By default from FileStamp and
  // DirectoryExists; implementations answer with one question to the system.
  virtual FileStatus Status(const std::string& name);

  // Creates a directory and its missing parents, outermost first. A path of
  // fewer than three characters once a trailing separator is removed (a bare
  // drive) counts as existing. Throws EInOutError for an empty path; other
  // failures are silent. Returns DirectoryExists(path) as it is afterwards,
  // without asking the system twice when the path was there already. When
  // it returns false and `reason` is given, *reason holds the system's text
  // for the first directory that could not be made.
  bool ForceDirectories(const std::string& path, std::string* reason = nullptr);
  // Creates one directory whose parent exists; false, with the system's
  // reason, when it could not.
  virtual bool CreateDir(const std::string& name, std::string& reason) = 0;

  // An existing file, read access, shared for reading and writing.
  // Throws EFOpenError.
  virtual std::unique_ptr<FileStream> OpenRead(const std::string& name) = 0;
  // Creates the file or empties an existing one; read and write access, not
  // shared. Throws EFCreateError.
  virtual std::unique_ptr<FileStream> CreateWrite(const std::string& name) = 0;
  // An existing file, write access, not shared, positioned at offset 0.
  // Throws EFOpenError.
  virtual std::unique_ptr<FileStream> OpenWrite(const std::string& name) = 0;

  // Moves the closed file `source` over `target` in one step: afterwards
  // `target` is either wholly what it was or wholly `source`'s bytes and
  // last-write time, also after a crash or a power cut. An existing target
  // keeps its attributes (Windows) or mode (POSIX). Both names lie in one
  // directory. Throws EFReplaceError when the target cannot be replaced
  // (in use, read-only, a directory); `source` is left as it was then.
  virtual void MoveOver(const std::string& source, const std::string& target) = 0;
  // Throws (with the system's reason) when `target` exists but MoveOver
  // could not replace it now, so that a restore fails before it writes
  // anything; an absent target passes. By default this opens an existing
  // target for writing; implementations may answer with one cheaper question.
  virtual void CheckReplaceable(const std::string& target);
  // Deletes a file; false when there was none or it could not be deleted.
  virtual bool RemoveFile(const std::string& name) = 0;
  // Gives the file `source` the absent name `target` in the same directory,
  // flushing nothing: a later MoveOver or SyncDirectory in that directory
  // makes it durable. Throws EFReplaceError (`target` exists, `source` is
  // held open by another program).
  virtual void Rename(const std::string& source, const std::string& target) = 0;
  // Deletes an empty directory; false when there was none or it could not be.
  virtual bool RemoveDir(const std::string& name) = 0;
  // Makes the creations, renames and removals of names in `directory`
  // durable, where the file system flushes at all.
  virtual void SyncDirectory(const std::string& directory) = 0;
  // The bytes the caller may still write on the volume of `path`, which
  // exists; -1 when the system cannot tell.
  virtual std::int64_t FreeSpace(const std::string& path) = 0;

  // The full path of a name relative to the current directory.
  virtual std::string ExpandFileName(const std::string& name) = 0;
};

}  // namespace norv
