#pragma once
// The file that a restored entry is written into: a temporary file beside
// its target, with a name derived from the target's, that is moved over the
// target in one step once the entry is complete. Until then the target keeps
// its old bytes and date, whatever ends the run; a temporary file left by a
// killed run is reused by the next one.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace norv {

class TargetFile {
 public:
  // A new, empty replacement for `target`. Throws when `target` exists but
  // cannot be replaced (in use, read-only, a directory), or when the
  // temporary file cannot be created. `known` is what the target was when
  // last asked: a target known to be absent is not asked again.
  static std::unique_ptr<TargetFile> Begin(FileSystem& fs, const std::string& target,
                                           FileKind known);
  // A replacement that starts as a copy of the existing file `target`,
  // positioned at its end, for appending to it. Throws when `target` cannot
  // be read or the copy cannot be made.
  static std::unique_ptr<TargetFile> Extend(FileSystem& fs, const std::string& target);
  // Removes the temporary file unless it has been put in place.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // "RH.EXE" is written as "RH.EXE.norvtmp" in the same directory.
  static std::string TemporaryName(const std::string& target);

  const std::string& Target() const { return target_; }
  // The open temporary file, from Begin, Extend or Reopen until Close.
  FileStream& Stream() { return *stream_; }
  // Sets the temporary file's date and closes it.
  void Close(std::int32_t dosDate);
  // Opens the closed temporary file again, positioned at its end.
  void Reopen();

  // A damaged entry is never put in place.
  void MarkDamaged() { damaged_ = true; }
  bool Damaged() const { return damaged_; }
  // Moves the closed temporary file over the target. Throws EFReplaceError.
  void PutInPlace();
  // Leaves the closed temporary file where it is, for a caller that moves
  // it over the target later.
  void LeaveInPlace();

 private:
  TargetFile(FileSystem& fs, std::string target);

  FileSystem& fs_;
  const std::string target_;
  const std::string temporary_;
  std::unique_ptr<FileStream> stream_;
  bool damaged_ = false;
  bool placed_ = false;
};

}  // namespace norv
