#include "backup/BackupFile.h"

#include <memory>

#include "backup/RestoreRun.h"

namespace norv {

TBackupFile::TBackupFile(FileSystem& fileSystem, UserInterface& userInterface)
    : fs_(fileSystem), ui_(userInterface) {}

void TBackupFile::SetBackupMode(TBackupMode value) {
  if (value == backupMode_) return;
  if (value == bmIncremental) setArchiveFlag_ = true;
  backupMode_ = value;
}

bool TBackupFile::Restore(const std::string& archiveName, const std::string& destination) {
  // One set of run-time state: a handler must not start a second run.
  if (running_) throw EBackupError("Restore is already running");
  running_ = true;
  struct RunningReset {
    bool& flag;
    ~RunningReset() { flag = false; }
  } reset{running_};
  // The run holds two block buffers; keep them off the caller's stack.
  auto run = std::make_unique<Run>(*this, archiveName, destination);
  return run->Execute();
}

}  // namespace norv
