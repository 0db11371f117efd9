#pragma once
// TBackupFile: the non-visual archive component. It restores the vendor's
// multi-volume archives (see ArchiveFormat.h) with restore modes, a per-file
// veto, progress, volume requests and an error report. The making side's
// settings are stored and read back; ArchiveWriter acts on them.
#include <cstdint>
#include <string>

#include "backup/BackupTypes.h"
#include "backup/ResourceStrings.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"

namespace norv {

// The component's own exceptions ("Cannot read archive", "Invalid archive
// type", a second Restore during a run).
class EBackupError : public Exception {
 public:
  using Exception::Exception;
};

class TBackupFile {
 public:
  // The file system it reads and writes through, and the window system for
  // its dialogs and for serving messages between blocks. Both outlive it.
  TBackupFile(FileSystem& fileSystem, UserInterface& userInterface);
  TBackupFile(const TBackupFile&) = delete;
  TBackupFile& operator=(const TBackupFile&) = delete;

  // Inherited from the framework's component base.
  std::string Name;
  std::intptr_t Tag = 0;

  // --- Published properties, in declaration order ---
  // Version: reading always yields "5.10"; writing changes nothing.
  std::string Version() const { return "5.10"; }
  void SetVersion(const std::string&) {}
  const std::string& BackupTitle() const { return backupTitle_; }
  void SetBackupTitle(const std::string& value) { backupTitle_ = value; }
  // BackupMode: writing follows the mode rule: a change to bmIncremental sets
  // SetArchiveFlag; going back to bmAll leaves it.
  TBackupMode BackupMode() const { return backupMode_; }
  void SetBackupMode(TBackupMode value);
  TCompressionLevel CompressionLevel() const { return compressionLevel_; }
  void SetCompressionLevel(TCompressionLevel value) { compressionLevel_ = value; }
  TRestoreMode RestoreMode() const { return restoreMode_; }
  void SetRestoreMode(TRestoreMode value) { restoreMode_ = value; }
  std::int32_t MaxSize() const { return maxSize_; }
  void SetMaxSize(std::int32_t value) { maxSize_ = value; }
  bool SetArchiveFlag() const { return setArchiveFlag_; }
  void SetSetArchiveFlag(bool value) { setArchiveFlag_ = value; }
  // Events; an empty function is an unassigned event.
  TProgressEvent OnProgress;
  TNeedDiskEvent OnNeedDisk;
  TRestoreFileEvent OnRestoreFile;
  TFileRestoredEvent OnFileRestored;
  TBackupErrorEvent OnError;
  bool RestoreFullPath() const { return restoreFullPath_; }
  void SetRestoreFullPath(bool value) { restoreFullPath_ = value; }
  bool SaveFileID() const { return saveFileID_; }
  void SetSaveFileID(bool value) { saveFileID_ = value; }

  // The stream that Restore(":STREAM", ...) reads from its current position.
  // Not owned; never closed by the component. nullptr for none.
  void SetSourceStream(Stream* stream) { sourceStream_ = stream; }
  Stream* SourceStream() const { return sourceStream_; }

  // Not published. Restores inflate blocks with a fast decoder where the
  // build has one; the results are zlib's either way. True keeps every
  // block on zlib, for comparing the two.
  bool ZlibOnly() const { return zlibOnly_; }
  void SetZlibOnly(bool value) { zlibOnly_ = value; }

  // Restores the archive whose first volume is `archiveName` (or the source
  // stream for ":STREAM") below `destination`. True when the run ends with
  // error code 0 and the continue flag true.
  bool Restore(const std::string& archiveName, const std::string& destination);

  // --- Run-time state, as the last run left it ---
  const std::string& CurrentFileName() const { return currentFileName_; }
  std::int32_t TotalBytes() const { return totalBytes_; }
  std::int32_t BytesDone() const { return bytesDone_; }
  bool ContinueFlag() const { return continue_; }
  std::int32_t ErrorCode() const { return static_cast<std::int32_t>(errorCode_); }
  // The file whose failure recorded the error code, and the system's text
  // for the cause ("Access is denied"); both empty while the code is 0.
  const std::string& FailedFileName() const { return failedFileName_; }
  const std::string& FailureReason() const { return failureReason_; }
  bool Running() const { return running_; }
  // The file the run opens as its next volume, set at each volume change
  // before OnNeedDisk fires: what a handler must look for.
  const std::string& NextVolumeName() const { return nextVolumeName_; }

 private:
  class Run;
  friend class Run;

  FileSystem& fs_;
  UserInterface& ui_;

  std::string backupTitle_;
  TBackupMode backupMode_ = bmAll;
  TCompressionLevel compressionLevel_ = clFastest;
  TRestoreMode restoreMode_ = rmAll;
  std::int32_t maxSize_ = 0;
  bool setArchiveFlag_ = false;
  bool restoreFullPath_ = false;
  bool saveFileID_ = false;

  std::string currentFileName_;
  std::string nextVolumeName_;
  std::int32_t totalBytes_ = 0;
  std::int32_t bytesDone_ = 0;
  bool continue_ = false;
  TBackupErrorCode errorCode_ = TBackupErrorCode::None;
  std::string failedFileName_;
  std::string failureReason_;
  Stream* sourceStream_ = nullptr;
  bool running_ = false;
  bool zlibOnly_ = false;
};

}  // namespace norv
