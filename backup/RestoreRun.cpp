#include "backup/RestoreRun.h"

#include <exception>

#include "backup/BlockDecoder.h"
#include "backup/NameRules.h"
#include "backup/ResourceStrings.h"
#include "backup/RestoreRules.h"
#include "backup/TargetFile.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

namespace {
constexpr const char* kStreamName = ":STREAM";
constexpr const char* kOversizedBlock = "A block is larger than the restore's buffers";

// The system's reason for a failure, or the failure's own message.
std::string ReasonOf(const std::exception& failure) {
  const auto* platform = dynamic_cast<const Exception*>(&failure);
  return platform && !platform->Reason().empty() ? platform->Reason() : failure.what();
}
}  // namespace

TBackupFile::Run::~Run() = default;

TBackupFile::Run::Run(TBackupFile& owner, const std::string& archiveName,
                      const std::string& destination)
    : owner_(owner),
      archiveName_(archiveName),
      workingDestination_(restore::WorkingDestination(destination)),
      streamMode_(archiveName == kStreamName),
      cursor_(owner.fs_),
      decoder_(owner.zlibOnly_ ? BlockDecoder::Path::ZlibOnly : BlockDecoder::Path::Fast) {}

bool TBackupFile::Run::Execute() {
  owner_.errorCode_ = TBackupErrorCode::None;
  owner_.continue_ = true;
  owner_.failedFileName_.clear();
  owner_.failureReason_.clear();
  if (!OpenInput()) return false;
  ReadHeader();
  RecordLoop();
  // The loop ends at the end of the archive with the flag true; otherwise
  // the entry in progress may lack a continuation and is dropped.
  if (owner_.continue_) {
    SettlePending();
  } else {
    pending_.reset();
  }
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
  // A new entry: the one before it has no more continuations.
  SettlePending();
  if (!owner_.continue_) return;
  fileDate_ = fileDate;
  decision_ = false;
  const bool fullPath = owner_.restoreFullPath_;
  owner_.currentFileName_ = restore::DestinationName(workingDestination_, recordName, fullPath);

  const bool fileList = recordName == archive::kFileList;
  const std::string refusal =
      fileList ? std::string() : names::WhyRefused(workingDestination_, recordName, fullPath);
  if (!refusal.empty()) {
    // A name that climbs out of the destination or that Windows cannot
    // write is never written, and no directory is made for it.
    ReadEntryData(nullptr);
    EntryFailed(owner_.currentFileName_, refusal);
    return;
  }

  bool decision = false;
  FileKind target = FileKind::kNone;
  if (!fileList) {
    const FileStatus status = owner_.fs_.Status(owner_.currentFileName_);
    target = status.kind;
    decision = restore::RestoreDecision(owner_.restoreMode_, status.stamp, fileDate_);
    if (owner_.OnRestoreFile) {
      const std::string asked = owner_.currentFileName_;
      owner_.OnRestoreFile(owner_, owner_.currentFileName_, fileDate_, decision);
      // A file the handler renamed is asked about again when it is begun.
      if (owner_.currentFileName_ != asked) target = FileKind::kFile;
    }
  }
  if (decision) {
    std::string dir = ExtractFileDir(owner_.currentFileName_);
    std::string reason;
    if (dir != lastDirectory_ && !owner_.fs_.ForceDirectories(dir, &reason)) {
      // A file that cannot be placed is a failed entry, not a skipped one.
      EntryFailed(owner_.currentFileName_, reason.empty() ? dir : reason);
      return;
    }
    lastDirectory_ = std::move(dir);
  }
  decision_ = decision;
  if (decision_) {
    WriteEntry(target);
  } else {
    ReadEntryData(nullptr);
  }
}

void TBackupFile::Run::WriteEntry(FileKind target) {
  std::unique_ptr<TargetFile> file;
  partDamaged_ = false;
  try {
    file = TargetFile::Begin(owner_.fs_, owner_.currentFileName_, target);
    ReadEntryData(&file->Stream());
  } catch (const std::exception& e) {
    // Any failure while writing the entry's first part is recorded, not raised.
    EntryFailed(owner_.currentFileName_, ReasonOf(e));
  }
  if (file) FinishPart(std::move(file));
}

void TBackupFile::Run::VolumeChange(const std::string& recordName) {
  // The caller's stream has no volume name to follow and is not ours to close.
  if (streamMode_) throw EBackupError("Volume change in a stream archive");
  CloseInput();
  if (!RequestVolume(recordName)) return;
  cursor_.OpenVolume(owner_.nextVolumeName_);

  std::unique_ptr<TargetFile> file;
  std::exception_ptr failure;
  partDamaged_ = false;
  try {
    if (decision_ && pending_) file = ContinueEntry();
    ReadEntryData(file ? &file->Stream() : nullptr);
  } catch (...) {
    failure = std::current_exception();
    partDamaged_ = true;
  }
  if (file) FinishPart(std::move(file));
  if (failure) std::rethrow_exception(failure);
}

std::unique_ptr<TargetFile> TBackupFile::Run::ContinueEntry() {
  std::unique_ptr<TargetFile> file = std::move(pending_);
  if (file->Target() == owner_.currentFileName_) {
    file->Reopen();
    return file;
  }
  // OnFileRestored renamed the file between two parts: what was written so
  // far goes in place under the old name, and the rest is appended to a
  // copy of the file of the new name, which then replaces it.
  if (!file->Damaged()) {
    try {
      file->PutInPlace();
    } catch (const std::exception& e) {
      EntryFailed(file->Target(), ReasonOf(e));
      return nullptr;
    }
  }
  file.reset();
  return TargetFile::Extend(owner_.fs_, owner_.currentFileName_);
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

void TBackupFile::Run::FinishPart(std::unique_ptr<TargetFile> file) {
  // A file written on a helper thread may report a refused write only now.
  if (!partDamaged_ && owner_.continue_) {
    try {
      file->Stream().FinishWrites();
    } catch (const std::exception& e) {
      EntryFailed(file->Target(), ReasonOf(e));
    }
  }
  // A part cut short by a failure or a stop leaves the entry incomplete.
  if (partDamaged_ || !owner_.continue_) file->MarkDamaged();
  if (owner_.OnFileRestored) owner_.OnFileRestored(owner_, owner_.currentFileName_, file->Stream());
  file->Close(fileDate_);
  pending_ = std::move(file);
}

void TBackupFile::Run::SettlePending() {
  if (!pending_) return;
  const std::unique_ptr<TargetFile> file = std::move(pending_);
  if (file->Damaged()) return;  // the target keeps its old bytes and date
  try {
    file->PutInPlace();
  } catch (const std::exception& e) {
    EntryFailed(file->Target(), ReasonOf(e));
  }
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
    if (length != 0 && output == nullptr) cursor_.PassOver(block);
    if (length != 0 && output != nullptr) {
      const std::optional<std::size_t> put = WriteBlock(*output, block);
      if (!put) return;
      written = *put;
    }
    owner_.ui_.ServeMessagesWhenDue();
    if (output != nullptr) CountProgress(written);
  }
}

std::optional<std::size_t> TBackupFile::Run::WriteBlock(FileStream& output, const Block& block) {
  // A block larger than the buffers fails the entry like a refused write.
  if (block.Oversized()) {
    EntryFailed(owner_.currentFileName_, kOversizedBlock);
    return std::nullopt;
  }
  const auto count = static_cast<std::size_t>(block.Size());
  const unsigned char* payload = cursor_.Payload(block);
  if (block.Stored()) {
    if (!WriteOut(output, payload, count)) return std::nullopt;
    return count;
  }
  // Decoded straight into the output's own buffer when it keeps one.
  try {
    unsigned char* const room = output.WriteSpace(outBuffer_.size());
    unsigned char* const target = room != nullptr ? room : outBuffer_.data();
    const InflateResult inflated = decoder_.Inflate(payload, count, target, outBuffer_.size());
    if (inflated.failed) BlockFailed();
    if (room != nullptr) {
      output.CommitWrite(inflated.produced);
    } else {
      output.WriteExactly(target, inflated.produced);
    }
    return inflated.produced;
  } catch (const EWriteError& e) {
    EntryFailed(owner_.currentFileName_, ReasonOf(e));
    return std::nullopt;
  }
}

void TBackupFile::Run::CountProgress(std::size_t written) {
  // Wraps like the 32-bit counter it is rather than overflowing.
  owner_.bytesDone_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(owner_.bytesDone_) +
                                                static_cast<std::uint32_t>(written));
  if (owner_.OnProgress) {
    owner_.OnProgress(owner_, owner_.currentFileName_,
                      restore::ProgressPercent(owner_.bytesDone_, owner_.totalBytes_),
                      owner_.continue_);
  }
}

bool TBackupFile::Run::WriteOut(FileStream& output, const unsigned char* bytes, std::size_t count) {
  if (count == 0) return true;
  try {
    output.WriteExactly(bytes, count);
  } catch (const EWriteError& e) {
    EntryFailed(owner_.currentFileName_, ReasonOf(e));
    return false;
  }
  return true;
}

void TBackupFile::Run::EntryFailed(const std::string& file, const std::string& reason) {
  RecordError(TBackupErrorCode::ReadFile, file, reason);
  partDamaged_ = true;
}

void TBackupFile::Run::BlockFailed() {
  RecordError(TBackupErrorCode::Compression, owner_.currentFileName_,
              ErrorText(TBackupErrorCode::Compression));
  partDamaged_ = true;
}

void TBackupFile::Run::RecordError(TBackupErrorCode code, const std::string& file,
                                   const std::string& reason) {
  owner_.errorCode_ = code;
  owner_.continue_ = false;
  owner_.failedFileName_ = file;
  owner_.failureReason_ = reason;
}

bool TBackupFile::Run::FinishRun() {
  CloseInput();
  const bool result = owner_.errorCode_ == TBackupErrorCode::None && owner_.continue_;
  if (owner_.OnProgress) owner_.OnProgress(owner_, std::string(), 100, owner_.continue_);
  if (owner_.errorCode_ != TBackupErrorCode::None) {
    const std::string text = ErrorText(owner_.errorCode_);
    if (owner_.OnError) {
      owner_.OnError(owner_, owner_.ErrorCode(), text);
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
