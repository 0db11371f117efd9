#pragma once
// TBackupFile: the non-visual archive component. It restores the vendor's
// multi-volume archives (see ArchiveFormat.h) with restore modes, a per-file
// veto, progress, volume requests and an error report. The making side's
// settings are stored and read back; ArchiveWriter acts on them. Each
// Restore call is a RestoreRun, which sees the component only through the
// settings, events and state of RestoreView.h.
#include <cstdint>
#include <string>

#include "backup/BackupTypes.h"
#include "backup/ResourceStrings.h"
#include "backup/RestoreTransaction.h"
#include "backup/RestoreView.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "platform/UserInterface.h"

namespace norv {

class RestoreRun;

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
  TRestoreMode RestoreMode() const { return restore_.restoreMode; }
  void SetRestoreMode(TRestoreMode value) { restore_.restoreMode = value; }
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
  bool RestoreFullPath() const { return restore_.restoreFullPath; }
  void SetRestoreFullPath(bool value) { restore_.restoreFullPath = value; }
  bool SaveFileID() const { return saveFileID_; }
  void SetSaveFileID(bool value) { saveFileID_ = value; }

  // The stream that Restore(":STREAM", ...) reads from its current position.
  // Not owned; never closed by the component. nullptr for none.
  void SetSourceStream(Stream* stream) { restore_.sourceStream = stream; }
  Stream* SourceStream() const { return restore_.sourceStream; }

  // Not published. Restores inflate blocks with a fast decoder where the
  // build has one; the results are zlib's either way. True keeps every
  // block on zlib, for comparing the two.
  bool ZlibOnly() const { return restore_.zlibOnly; }
  void SetZlibOnly(bool value) { restore_.zlibOnly = value; }

  // Restores the archive whose first volume is `archiveName` (or the source
  // stream for ":STREAM") below `destination`. True when the run ends with
  // error code 0 and the continue flag true.
  bool Restore(const std::string& archiveName, const std::string& destination);
  // Not published. Every Restore below `destination` as one transaction:
  // a run that does not succeed leaves the destination as it was.
  bool AllOrNothing() const { return restore_.allOrNothing; }
  void SetAllOrNothing(bool value) { restore_.allOrNothing = value; }
  // Finishes what a killed all-or-nothing run left below `destination` (every
  // Restore does so first). Not during a run.
  Recovery Recover(const std::string& destination);

  // --- Run-time state: the run's while it goes on, else as the last run left it ---
  const std::string& CurrentFileName() const { return State().currentFileName; }
  std::int32_t TotalBytes() const { return State().totalBytes; }
  std::int32_t BytesDone() const { return State().bytesDone; }
  bool ContinueFlag() const { return State().continueFlag; }
  std::int32_t ErrorCode() const { return static_cast<std::int32_t>(State().errorCode); }
  // The file whose failure recorded the error code, and the system's text
  // for the cause ("Access is denied"); both empty while the code is 0.
  const std::string& FailedFileName() const { return State().failedFileName; }
  const std::string& FailureReason() const { return State().failureReason; }
  // An all-or-nothing run that did not succeed: whether every change was
  // undone, and what could not be.
  bool Undone() const { return State().undone; }
  const std::vector<NotRestored>& NotRestoredFiles() const { return State().notRestored; }
  bool Running() const { return run_ != nullptr; }
  // The file the run opens as its next volume, set at each volume change
  // before OnNeedDisk fires: what a handler must look for.
  const std::string& NextVolumeName() const { return State().nextVolumeName; }

 private:
  const RestoreState& State() const;

  FileSystem& fs_;
  UserInterface& ui_;

  std::string backupTitle_;
  TBackupMode backupMode_ = bmAll;
  TCompressionLevel compressionLevel_ = clFastest;
  std::int32_t maxSize_ = 0;
  bool setArchiveFlag_ = false;
  bool saveFileID_ = false;
  RestoreSettings restore_;

  // The run in progress, which owns the run-time state; none between runs.
  const RestoreRun* run_ = nullptr;
  // What the last run left.
  RestoreState last_;
};

}  // namespace norv
