#include "backup/BackupFile.h"

#include <memory>

#include "backup/RestoreRules.h"
#include "backup/RestoreRun.h"

namespace norv {

namespace {

// The run's view of the component: its handlers where they are assigned,
// its built-in dialogs where they are not.
class ComponentEvents final : public RestoreEvents {
 public:
  ComponentEvents(TBackupFile& component, UserInterface& ui) : component_(component), ui_(ui) {}

  void RestoreFile(std::string& fileName, std::int32_t fileDate, bool& doRestore) override {
    if (component_.OnRestoreFile)
      component_.OnRestoreFile(component_, fileName, fileDate, doRestore);
  }
  void Progress(const std::string& fileName, TPercentage percent, bool& continueFlag) override {
    if (component_.OnProgress) component_.OnProgress(component_, fileName, percent, continueFlag);
  }
  void NeedDisk(const std::string& displayForm, bool& continueFlag) override {
    if (component_.OnNeedDisk) {
      component_.OnNeedDisk(component_, restore::DiskID(displayForm), continueFlag);
      return;
    }
    continueFlag = ui_.MessageDialog(restore::DiskPrompt(displayForm), DialogKind::Information,
                                     DialogButtons::OkCancel) == DialogResult::Ok;
  }
  void FileRestored(std::string& fileName, FileStream& file) override {
    if (component_.OnFileRestored) component_.OnFileRestored(component_, fileName, file);
  }
  void ReportError(TBackupErrorCode code) override {
    const std::string text = ErrorText(code);
    if (component_.OnError) {
      component_.OnError(component_, static_cast<std::int32_t>(code), text);
    } else {
      ui_.MessageDialog(text, DialogKind::Error, DialogButtons::Ok);
    }
  }
  void ServeMessages() override { ui_.ServeMessagesWhenDue(); }

 private:
  TBackupFile& component_;
  UserInterface& ui_;
};

}  // namespace

TBackupFile::TBackupFile(FileSystem& fileSystem, UserInterface& userInterface)
    : fs_(fileSystem), ui_(userInterface) {}

void TBackupFile::SetBackupMode(TBackupMode value) {
  if (value == backupMode_) return;
  if (value == bmIncremental) setArchiveFlag_ = true;
  backupMode_ = value;
}

const RestoreState& TBackupFile::State() const {
  return run_ != nullptr ? run_->State() : last_;
}

bool TBackupFile::Restore(const std::string& archiveName, const std::string& destination) {
  // One set of run-time state: a handler must not start a second run.
  if (run_ != nullptr) throw EBackupError("Restore is already running");
  ComponentEvents events(*this, ui_);
  // The run holds two block buffers; keep them off the caller's stack. It
  // starts from what the last run left and hands its state back however it
  // ends.
  auto run = std::make_unique<RestoreRun>(fs_, restore_, events, last_, archiveName, destination);
  struct HandBack {
    TBackupFile& component;
    RestoreRun& run;
    ~HandBack() {
      component.last_ = std::move(run.State());
      component.run_ = nullptr;
    }
  } handBack{*this, *run};
  run_ = run.get();
  return run->Execute();
}

Recovery TBackupFile::Recover(const std::string& destination) {
  if (run_ != nullptr) throw EBackupError("Restore is already running");
  return RecoverDestination(fs_, restore::WorkingDestination(destination));
}

}  // namespace norv
