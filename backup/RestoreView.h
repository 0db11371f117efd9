#pragma once
// What a restore run and the component that starts it exchange: the
// settings the run starts from, the events it fires, and the state it works
// on and hands back. The run sees nothing else of the component.
#include <cstdint>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"
#include "backup/ResourceStrings.h"
#include "platform/Stream.h"

namespace norv {

// Read when a run starts; a handler's later change applies to the next run.
struct RestoreSettings {
  TRestoreMode restoreMode = rmAll;
  bool restoreFullPath = false;
  // Every block on zlib, for comparing it with the fast decoder.
  bool zlibOnly = false;
  // What ":STREAM" reads from its current position; not owned, never closed.
  Stream* sourceStream = nullptr;
  // The whole run as one transaction (RestoreTransaction.h): a run that
  // does not succeed leaves the destination as it was.
  bool allOrNothing = false;
};

// A change of an all-or-nothing run that could not be undone: the name and
// the system's reason.
struct NotRestored {
  std::string file;
  std::string reason;
};

// The run-time state of one run. The run owns it while it goes on; the
// component shows it meanwhile and keeps what the last run left.
struct RestoreState {
  std::string currentFileName;
  // The file opened as the next volume, set at each volume change before
  // the volume is asked for.
  std::string nextVolumeName;
  std::int32_t totalBytes = 0;
  std::int32_t bytesDone = 0;
  bool continueFlag = false;
  TBackupErrorCode errorCode = TBackupErrorCode::None;
  // The file whose failure recorded the error code, and the system's text
  // for the cause; both empty while the code is None.
  std::string failedFileName;
  std::string failureReason;
  // An all-or-nothing run that did not succeed: true once every change was
  // undone (or none made); otherwise what could not be (its journal stays
  // for the next run).
  bool undone = false;
  std::vector<NotRestored> notRestored;
};

// The component's side of a run. Names and flags come by reference: they
// are the run's state, and what a handler leaves in them is the answer.
class RestoreEvents {
 public:
  // Before an entry is written: may rename it and overturn the decision.
  virtual void RestoreFile(std::string& fileName, std::int32_t fileDate, bool& doRestore) = 0;
  // After each block written, and once at the end of a run.
  virtual void Progress(const std::string& fileName, TPercentage percent, bool& continueFlag) = 0;
  // Asks once for the volume whose number has the display form `displayForm`.
  virtual void NeedDisk(const std::string& displayForm, bool& continueFlag) = 0;
  // After each part of an entry written into `file`, which stays the run's.
  virtual void FileRestored(std::string& fileName, FileStream& file) = 0;
  // At the end of a run that recorded an error code.
  virtual void ReportError(TBackupErrorCode code) = 0;
  // Between blocks, so that the window stays responsive.
  virtual void ServeMessages() = 0;

 protected:
  ~RestoreEvents() = default;
};

}  // namespace norv
