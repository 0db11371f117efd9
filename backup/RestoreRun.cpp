#include "backup/RestoreRun.h"

#include <exception>

#include "backup/BlockDecoder.h"
#include "backup/NameRules.h"
#include "backup/ResourceStrings.h"
#include "backup/RestoreRules.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

namespace {
constexpr const char* kStreamName = ":STREAM";
}  // namespace

TBackupFile::Run::Run(TBackupFile& owner, const std::string& archiveName,
                      const std::string& destination)
    : owner_(owner),
      archiveName_(archiveName),
      workingDestination_(restore::WorkingDestination(destination)),
      streamMode_(archiveName == kStreamName),
      cursor_(owner.fs_),
      decoder_(owner.zlibOnly_ ? BlockDecoder::Path::ZlibOnly : BlockDecoder::Path::Fast) {}

bool TBackupFile::Run::Execute() {
  owner_.errorCode_ = 0;
  owner_.continue_ = true;
  if (!OpenInput()) return false;
  ReadHeader();
  RecordLoop();
  return FinishRun();
}

bool TBackupFile::Run::OpenInput() {
  if (streamMode_) {
    if (owner_.sourceStream_ == nullptr) throw EBackupError(SReadArchiveError);
    cursor_.AttachStream(owner_.sourceStream_);
    return true;
  }
  try {
    return cursor_.OpenFirst(archiveName_);
  } catch (...) {
    throw EBackupError(SReadArchiveError);
  }
}

void TBackupFile::Run::ReadHeader() {
  std::int32_t total = 0;
  try {
    // The header text and value mean nothing to a restore.
    total = cursor_.ReadHeader(false).totalBytes;
  } catch (...) {
    CloseInput();
    throw EBackupError(SReadArchiveError);
  }
  owner_.totalBytes_ = total;
  owner_.bytesDone_ = 0;
}

void TBackupFile::Run::RecordLoop() {
  Record record;
  do {
    record = cursor_.NextRecord();
    if (record.type == RecordType::NextDisk) {
      VolumeChange(record.name);
    } else if (record.type == RecordType::Entry) {
      FileEntry(record.name, record.date);
    }
  } while (record.type != RecordType::End && owner_.continue_);
}

void TBackupFile::Run::FileEntry(const std::string& recordName, std::int32_t fileDate) {
  fileDate_ = fileDate;
  decision_ = false;
  const bool fullPath = owner_.restoreFullPath_;
  owner_.currentFileName_ = restore::DestinationName(workingDestination_, recordName, fullPath);

  const bool fileList = recordName == archive::kFileList;
  if (!fileList && !names::WhyRefused(workingDestination_, recordName, fullPath).empty()) {
    // A name that climbs out of the destination or that Windows cannot
    // write is never written, and no directory is made for it.
    ReadEntryData(nullptr);
    EntryFailed();
    return;
  }

  bool decision = false;
  if (!fileList) {
    const std::int32_t stamp = owner_.fs_.FileStamp(owner_.currentFileName_);
    decision = restore::RestoreDecision(owner_.restoreMode_, stamp, fileDate_);
    if (owner_.OnRestoreFile) {
      owner_.OnRestoreFile(owner_, owner_.currentFileName_, fileDate_, decision);
    }
  }
  if (decision) {
    const std::string dir = ExtractFileDir(owner_.currentFileName_);
    decision = owner_.fs_.ForceDirectories(dir);
  }
  decision_ = decision;
  if (decision_) {
    WriteEntry();
  } else {
    ReadEntryData(nullptr);
  }
}

void TBackupFile::Run::WriteEntry() {
  std::unique_ptr<FileStream> file;
  try {
    file = owner_.fs_.CreateWrite(owner_.currentFileName_);
    ReadEntryData(file.get());
  } catch (...) {
    // Any failure while writing the entry's first part is recorded, not raised.
    EntryFailed();
  }
  if (file) FinishFile(std::move(file));
}

void TBackupFile::Run::VolumeChange(const std::string& recordName) {
  // The caller's stream has no volume name to follow and is not ours to close.
  if (streamMode_) throw EBackupError("Volume change in a stream archive");
  CloseInput();
  if (!RequestVolume(recordName)) return;
  cursor_.OpenVolume(owner_.nextVolumeName_);

  std::unique_ptr<FileStream> file;
  std::exception_ptr failure;
  try {
    if (decision_) {
      file = owner_.fs_.OpenWrite(owner_.currentFileName_);
      file->Seek(0, SeekOrigin::End);
    }
    ReadEntryData(file.get());
  } catch (...) {
    failure = std::current_exception();
  }
  if (file) FinishFile(std::move(file));
  if (failure) std::rethrow_exception(failure);
}

bool TBackupFile::Run::RequestVolume(const std::string& recordName) {
  const std::string display = restore::DisplayForm(archive::VolumeNumberText(recordName));
  // Handlers look for exactly this name.
  owner_.nextVolumeName_ = archive::NextVolumeName(cursor_.VolumeName(), recordName);
  // The question comes at least once, even when the volume is already there.
  for (;;) {
    if (owner_.OnNeedDisk) {
      owner_.OnNeedDisk(owner_, restore::DiskID(display), owner_.continue_);
    } else {
      owner_.continue_ =
          owner_.ui_.MessageDialog(restore::DiskPrompt(display), DialogKind::Information,
                                   DialogButtons::OkCancel) == DialogResult::Ok;
    }
    if (owner_.fs_.FileExists(owner_.nextVolumeName_) || !owner_.continue_) break;
  }
  return owner_.continue_;
}

void TBackupFile::Run::FinishFile(std::unique_ptr<FileStream> file) {
  if (owner_.OnFileRestored) owner_.OnFileRestored(owner_, owner_.currentFileName_, *file);
  file->SetDosDate(fileDate_);
}

void TBackupFile::Run::ReadEntryData(FileStream* output) {
  // Only data that is written is read ahead; data passed over is skipped.
  struct ReadAhead {
    RecordCursor& cursor;
    ~ReadAhead() { cursor.SetReadAhead(false); }
  } readAhead{cursor_};
  cursor_.SetReadAhead(output != nullptr);
  cursor_.BeginDataPart();
  std::int32_t length = -1;
  while (length != 0 && owner_.continue_) {
    const Block block = cursor_.NextBlock();
    length = block.length;
    std::size_t written = 0;
    if (length != 0) {
      if (output == nullptr) {
        cursor_.PassOver(block);
      } else {
        // A block larger than the buffers fails the entry like a refused write.
        if (block.Oversized()) {
          EntryFailed();
          return;
        }
        const auto count = static_cast<std::size_t>(block.Size());
        const unsigned char* payload = cursor_.Payload(block);
        if (length > 0) {
          const InflateResult inflated =
              decoder_.Inflate(payload, count, outBuffer_.data(), outBuffer_.size());
          if (inflated.failed) {
            owner_.errorCode_ = 6;
            owner_.continue_ = false;
          }
          if (!WriteOut(*output, outBuffer_.data(), inflated.produced)) return;
          written = inflated.produced;
        } else {
          if (!WriteOut(*output, payload, count)) return;
          written = count;
        }
      }
    }
    owner_.ui_.ServeMessages();
    if (output != nullptr) {
      // Wraps like the 32-bit counter it is rather than overflowing.
      owner_.bytesDone_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(owner_.bytesDone_) +
                                                    static_cast<std::uint32_t>(written));
      if (owner_.OnProgress) {
        owner_.OnProgress(owner_, owner_.currentFileName_,
                          restore::ProgressPercent(owner_.bytesDone_, owner_.totalBytes_),
                          owner_.continue_);
      }
    }
  }
}

bool TBackupFile::Run::WriteOut(FileStream& output, const unsigned char* bytes, std::size_t count) {
  if (count == 0) return true;
  try {
    output.WriteExactly(bytes, count);
  } catch (const EWriteError&) {
    EntryFailed();
    return false;
  }
  return true;
}

void TBackupFile::Run::EntryFailed() {
  owner_.errorCode_ = 1;
  owner_.continue_ = false;
}

bool TBackupFile::Run::FinishRun() {
  CloseInput();
  const bool result = owner_.errorCode_ == 0 && owner_.continue_;
  if (owner_.OnProgress) owner_.OnProgress(owner_, std::string(), 100, owner_.continue_);
  if (owner_.errorCode_ != 0) {
    const std::string text = ErrorText(owner_.errorCode_);
    if (owner_.OnError) {
      owner_.OnError(owner_, owner_.errorCode_, text);
    } else {
      owner_.ui_.MessageDialog(text, DialogKind::Error, DialogButtons::Ok);
    }
  }
  return result;
}

void TBackupFile::Run::CloseInput() {
  cursor_.CloseVolume();
}

}  // namespace norv
