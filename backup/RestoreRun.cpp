#include "backup/RestoreRun.h"

#include <cstring>
#include <exception>

#include "backup/BlockDecoder.h"
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
    input_.Attach(owner_.sourceStream_);
    return true;
  }
  if (!owner_.fs_.FileExists(archiveName_)) return false;
  try {
    volume_ = owner_.fs_.OpenRead(archiveName_);
    volumesRead_.insert(archiveName_);
  } catch (...) {
    throw EBackupError(SReadArchiveError);
  }
  input_.Attach(volume_.get());
  return true;
}

void TBackupFile::Run::ReadHeader() {
  std::int32_t total = 0;
  try {
    const std::int32_t textLength = input_.ReadInt32();
    if (textLength < 0) throw EReadError();
    // The header text means nothing to a restore: step over it.
    input_.RequireLeft(textLength);
    input_.Skip(textLength);
    total = input_.ReadInt32();
    input_.ReadInt32();  // header value, not interpreted
  } catch (...) {
    CloseInput();
    throw EBackupError(SReadArchiveError);
  }
  owner_.totalBytes_ = total;
  owner_.bytesDone_ = 0;
}

void TBackupFile::Run::RecordLoop() {
  std::int32_t length = 0;
  do {
    length = input_.ReadInt32();
    if (length > 0) {
      const std::string name = ReadText(length);
      if (name.starts_with(archive::kNextDisk)) {
        VolumeChange(name);
      } else {
        FileEntry(name);
      }
    }
  } while (length != 0 && owner_.continue_);
}

void TBackupFile::Run::FileEntry(const std::string& recordName) {
  fileDate_ = input_.ReadInt32();
  decision_ = false;
  const bool fullPath = owner_.restoreFullPath_;
  owner_.currentFileName_ = restore::DestinationName(workingDestination_, recordName, fullPath);

  const bool fileList = recordName == archive::kFileList;
  if (!fileList && !restore::StaysInsideDestination(workingDestination_, recordName, fullPath)) {
    // A stored name that climbs out of the destination is never written.
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
  if (!volumesRead_.insert(archiveName_).second) {
    throw EBackupError("Volume \"" + archiveName_ + "\" has been read already");
  }

  volume_ = owner_.fs_.OpenRead(archiveName_);
  input_.Attach(volume_.get());

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
  const std::string number = restore::VolumeNumberText(recordName);
  const std::string display = restore::DisplayForm(number);
  const std::string next = ChangeFileExt(archiveName_, "." + number);
  // The question comes at least once, even when the volume is already there.
  for (;;) {
    if (owner_.OnNeedDisk) {
      owner_.OnNeedDisk(owner_, restore::DiskID(display), owner_.continue_);
    } else {
      owner_.continue_ =
          owner_.ui_.MessageDialog(restore::DiskPrompt(display), DialogKind::Information,
                                   DialogButtons::OkCancel) == DialogResult::Ok;
    }
    archiveName_ = next;
    if (owner_.fs_.FileExists(archiveName_) || !owner_.continue_) break;
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
    InputBuffer& input;
    ~ReadAhead() { input.SetReadAhead(false); }
  } readAhead{input_};
  input_.SetReadAhead(output != nullptr);
  const unsigned char* signature = input_.Take(sizeof archive::kSignature);
  if (std::memcmp(signature, archive::kSignature, sizeof archive::kSignature) != 0) {
    throw EBackupError(SInvalidArchive);
  }
  std::int32_t length = -1;
  while (length != 0 && owner_.continue_) {
    length = input_.ReadInt32();
    std::size_t written = 0;
    if (length != 0) {
      const std::int64_t size = length < 0 ? -static_cast<std::int64_t>(length) : length;
      input_.RequireLeft(size);
      if (output == nullptr) {
        input_.Skip(size);
      } else {
        // A block larger than the buffers fails the entry like a refused write.
        if (size > static_cast<std::int64_t>(archive::kBlockSize)) {
          EntryFailed();
          return;
        }
        const auto count = static_cast<std::size_t>(size);
        const unsigned char* payload = input_.Take(count);
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

std::string TBackupFile::Run::ReadText(std::int32_t length) {
  input_.RequireLeft(length);
  std::string text(static_cast<std::size_t>(length), '\0');
  input_.Read(text.data(), text.size());
  return text;
}

void TBackupFile::Run::CloseInput() {
  try {
    input_.Attach(nullptr);
  } catch (const std::exception&) {
    // Only the caller's stream needs its position back; a volume is closed.
  }
  volume_.reset();
}

}  // namespace norv
