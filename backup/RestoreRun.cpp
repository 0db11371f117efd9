#include "backup/RestoreRun.h"

#include <cstdio>
#include <exception>

#include "backup/BackupFile.h"
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
// Room for the journal and the directories beside the files themselves.
constexpr std::int64_t kSpareBytes = std::int64_t{1} << 20;

// The system's reason for a failure, or the failure's own message.
std::string ReasonOf(const std::exception& failure) {
  const auto* platform = dynamic_cast<const Exception*>(&failure);
  return platform && !platform->Reason().empty() ? platform->Reason() : failure.what();
}

std::string NotEnoughSpace(std::int64_t needed, std::int64_t free) {
  char text[128];
  std::snprintf(text, sizeof text,
                "There is not enough space on the disk: %lld bytes needed, %lld free",
                static_cast<long long>(needed), static_cast<long long>(free));
  return text;
}
}  // namespace

RestoreRun::RestoreRun(FileSystem& fs, const RestoreSettings& settings, RestoreEvents& events,
                       RestoreState state, const std::string& archiveName,
                       const std::string& destination)
    : fs_(fs),
      settings_(settings),
      events_(events),
      state_(std::move(state)),
      archiveName_(archiveName),
      workingDestination_(restore::WorkingDestination(destination)),
      streamMode_(archiveName == kStreamName),
      cursor_(fs),
      decoder_(settings.zlibOnly ? BlockDecoder::Path::ZlibOnly : BlockDecoder::Path::Fast) {}

RestoreRun::~RestoreRun() = default;

bool RestoreRun::Execute() {
  state_.errorCode = TBackupErrorCode::None;
  state_.continueFlag = true;
  state_.failedFileName.clear();
  state_.failureReason.clear();
  state_.undone = false;
  state_.notRestored.clear();
  RecoverFirst();
  if (!OpenInput()) return false;
  ReadHeader();
  if (settings_.allOrNothing && !BeginTransaction()) {
    state_.undone = true;  // nothing was touched
    return FinishRun();
  }
  try {
    RecordLoop();
    // The loop ends at the end of the archive with the flag true; otherwise
    // the entry in progress may lack a continuation and is dropped.
    if (state_.continueFlag) {
      SettlePending();
    } else {
      pending_.reset();
    }
    EndTransaction();
  } catch (const std::exception&) {
    pending_.reset();
    if (transaction_) Undo();
    throw;
  }
  return FinishRun();
}

void RestoreRun::RecoverFirst() {
  const Recovery recovery = RecoverDestination(fs_, workingDestination_);
  if (recovery.failures.empty()) return;
  const NotRestored& first = recovery.failures.front();
  throw EBackupError("An unfinished restore could not be undone: " + first.file + ": " +
                     first.reason);
}

bool RestoreRun::BeginTransaction() {
  // Every new file lies beside its old version until the end.
  const std::int64_t free = fs_.FreeSpace(workingDestination_.empty() ? "." : workingDestination_);
  const std::int64_t needed = static_cast<std::uint32_t>(state_.totalBytes) + kSpareBytes;
  if (free >= 0 && free < needed) {
    RecordError(TBackupErrorCode::ReadFile, workingDestination_, NotEnoughSpace(needed, free));
    return false;
  }
  try {
    transaction_ = std::make_unique<RestoreTransaction>(fs_, workingDestination_, archiveName_);
  } catch (const std::exception& e) {
    RecordError(TBackupErrorCode::ReadFile, journal::JournalName(workingDestination_), ReasonOf(e));
    return false;
  }
  return true;
}

void RestoreRun::EndTransaction() {
  if (!transaction_) return;
  if (state_.errorCode == TBackupErrorCode::None && state_.continueFlag) {
    std::optional<NotRestored> failed;
    try {
      failed = transaction_->Commit();
    } catch (const std::exception& e) {
      // The journal itself refused a write (a full disk).
      failed = NotRestored{journal::JournalName(workingDestination_), ReasonOf(e)};
    }
    if (!failed) {
      transaction_.reset();
      return;
    }
    RecordError(TBackupErrorCode::ReadFile, failed->file, failed->reason);
  }
  Undo();
}

void RestoreRun::Undo() {
  const std::unique_ptr<RestoreTransaction> transaction = std::move(transaction_);
  state_.notRestored = transaction->Undo();
  state_.undone = state_.notRestored.empty();
}

void RestoreRun::Place(TargetFile& file) {
  if (transaction_) {
    file.LeaveInPlace();
  } else {
    file.PutInPlace();
  }
}

bool RestoreRun::OpenInput() {
  if (streamMode_) {
    if (settings_.sourceStream == nullptr) throw EBackupError(SReadArchiveError);
    cursor_.AttachStream(settings_.sourceStream);
    return true;
  }
  try {
    return cursor_.OpenFirst(archiveName_);
  } catch (...) {
    throw EBackupError(SReadArchiveError);
  }
}

void RestoreRun::ReadHeader() {
  std::int32_t total = 0;
  try {
    // The header text and value mean nothing to a restore.
    total = cursor_.ReadHeader(false).totalBytes;
  } catch (...) {
    cursor_.CloseVolume();
    throw EBackupError(SReadArchiveError);
  }
  state_.totalBytes = total;
  state_.bytesDone = 0;
}

void RestoreRun::RecordLoop() {
  Record record;
  do {
    record = cursor_.NextRecord();
    if (record.type == RecordType::NextDisk) {
      VolumeChange(record);
    } else if (record.type == RecordType::Entry) {
      FileEntry(record.name, record.date);
    }
  } while (record.type != RecordType::End && state_.continueFlag);
}

void RestoreRun::FileEntry(const std::string& recordName, std::int32_t fileDate) {
  // A new entry: the one before it has no more continuations.
  SettlePending();
  if (!state_.continueFlag) return;
  fileDate_ = fileDate;
  decision_ = false;
  const bool fullPath = settings_.restoreFullPath;
  state_.currentFileName = restore::DestinationName(workingDestination_, recordName, fullPath);

  const bool fileList = recordName == archive::kFileList;
  const std::string refusal =
      fileList ? std::string() : names::WhyRefused(workingDestination_, recordName, fullPath);
  if (!refusal.empty()) {
    // A name that climbs out of the destination or that Windows cannot
    // write is never written, and no directory is made for it.
    ReadEntryData(nullptr);
    EntryFailed(state_.currentFileName, refusal);
    return;
  }

  bool decision = false;
  FileKind target = FileKind::kNone;
  if (!fileList) {
    const FileStatus status = fs_.Status(state_.currentFileName);
    target = status.kind;
    decision = restore::RestoreDecision(settings_.restoreMode, status.stamp, fileDate_);
    const std::string asked = state_.currentFileName;
    events_.RestoreFile(state_.currentFileName, fileDate_, decision);
    // A file the handler renamed is asked about again when it is begun; the
    // journal must know whether it is there.
    if (state_.currentFileName != asked) {
      target = transaction_ ? fs_.Status(state_.currentFileName).kind : FileKind::kFile;
    }
  }
  if (decision && !PrepareDirectory()) return;
  decision_ = decision;
  if (decision_) {
    WriteEntry(target);
  } else {
    ReadEntryData(nullptr);
  }
}

bool RestoreRun::PrepareDirectory() {
  std::string dir = ExtractFileDir(state_.currentFileName);
  // Only a new directory is asked about. An empty one always is, and the
  // file system raises for it: the file would land in whatever the current
  // directory is.
  if (!dir.empty() && dir == lastDirectory_) return true;
  std::string reason;
  try {
    if (transaction_) transaction_->WillMakeDirectories(dir);
  } catch (const std::exception& e) {
    EntryFailed(state_.currentFileName, ReasonOf(e));
    return false;
  }
  if (!fs_.ForceDirectories(dir, &reason)) {
    // A file that cannot be placed is a failed entry, not a skipped one.
    EntryFailed(state_.currentFileName, reason.empty() ? dir : reason);
    return false;
  }
  lastDirectory_ = std::move(dir);
  return true;
}

void RestoreRun::WriteEntry(FileKind target) {
  std::unique_ptr<TargetFile> file;
  partDamaged_ = false;
  try {
    if (transaction_) transaction_->WillWrite(state_.currentFileName, target == FileKind::kFile);
    file = TargetFile::Begin(fs_, state_.currentFileName, target);
    ReadEntryData(&file->Stream());
  } catch (const std::exception& e) {
    // Any failure while writing the entry's first part is recorded, not raised.
    EntryFailed(state_.currentFileName, ReasonOf(e));
  }
  if (file) FinishPart(std::move(file));
}

void RestoreRun::VolumeChange(const Record& record) {
  // The caller's stream has no volume name to follow and is not ours to close.
  if (streamMode_) throw EBackupError("Volume change in a stream archive");
  cursor_.CloseVolume();
  if (!RequestVolume(record)) return;
  cursor_.OpenVolume(state_.nextVolumeName);

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

std::unique_ptr<TargetFile> RestoreRun::ContinueEntry() {
  std::unique_ptr<TargetFile> file = std::move(pending_);
  if (file->Target() == state_.currentFileName) {
    file->Reopen();
    return file;
  }
  // OnFileRestored renamed the file between two parts: what was written so
  // far goes in place under the old name, and the rest is appended to a
  // copy of the file of the new name, which then replaces it.
  if (!file->Damaged()) {
    try {
      Place(*file);
    } catch (const std::exception& e) {
      EntryFailed(file->Target(), ReasonOf(e));
      return nullptr;
    }
  }
  file.reset();
  if (transaction_) transaction_->WillWrite(state_.currentFileName, true);
  return TargetFile::Extend(fs_, state_.currentFileName);
}

bool RestoreRun::RequestVolume(const Record& record) {
  const std::string display = restore::DisplayForm(archive::VolumeNumberText(record.name));
  // Handlers look for exactly this name.
  state_.nextVolumeName = record.nextVolume;
  // The question comes at least once, even when the volume is already there.
  do {
    events_.NeedDisk(display, state_.continueFlag);
  } while (!fs_.FileExists(state_.nextVolumeName) && state_.continueFlag);
  return state_.continueFlag;
}

void RestoreRun::FinishPart(std::unique_ptr<TargetFile> file) {
  // A file written on a helper thread may report a refused write only now.
  if (!partDamaged_ && state_.continueFlag) {
    try {
      file->Stream().FinishWrites();
    } catch (const std::exception& e) {
      EntryFailed(file->Target(), ReasonOf(e));
    }
  }
  // A part cut short by a failure or a stop leaves the entry incomplete.
  if (partDamaged_ || !state_.continueFlag) file->MarkDamaged();
  events_.FileRestored(state_.currentFileName, file->Stream());
  file->Close(fileDate_);
  pending_ = std::move(file);
}

void RestoreRun::SettlePending() {
  if (!pending_) return;
  const std::unique_ptr<TargetFile> file = std::move(pending_);
  if (file->Damaged()) return;  // the target keeps its old bytes and date
  try {
    Place(*file);
  } catch (const std::exception& e) {
    EntryFailed(file->Target(), ReasonOf(e));
  }
}

void RestoreRun::ReadEntryData(FileStream* output) {
  // Only data that is written is read ahead; data passed over is skipped.
  struct ReadAhead {
    RecordCursor& cursor;
    ~ReadAhead() { cursor.SetReadAhead(false); }
  } readAhead{cursor_};
  cursor_.SetReadAhead(output != nullptr);
  cursor_.BeginDataPart();
  std::int32_t length = -1;
  while (length != 0 && state_.continueFlag) {
    const Block block = cursor_.NextBlock();
    length = block.length;
    std::size_t written = 0;
    if (length != 0 && output == nullptr) cursor_.PassOver(block);
    if (length != 0 && output != nullptr) {
      const std::optional<std::size_t> put = WriteBlock(*output, block);
      if (!put) return;
      written = *put;
    }
    events_.ServeMessages();
    if (output != nullptr) CountProgress(written);
  }
}

std::optional<std::size_t> RestoreRun::WriteBlock(FileStream& output, const Block& block) {
  // A block larger than the buffers fails the entry like a refused write.
  if (block.Oversized()) {
    EntryFailed(state_.currentFileName, kOversizedBlock);
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
    EntryFailed(state_.currentFileName, ReasonOf(e));
    return std::nullopt;
  }
}

void RestoreRun::CountProgress(std::size_t written) {
  // Wraps like the 32-bit counter it is rather than overflowing.
  state_.bytesDone = static_cast<std::int32_t>(static_cast<std::uint32_t>(state_.bytesDone) +
                                               static_cast<std::uint32_t>(written));
  events_.Progress(state_.currentFileName,
                   restore::ProgressPercent(state_.bytesDone, state_.totalBytes),
                   state_.continueFlag);
}

bool RestoreRun::WriteOut(FileStream& output, const unsigned char* bytes, std::size_t count) {
  if (count == 0) return true;
  try {
    output.WriteExactly(bytes, count);
  } catch (const EWriteError& e) {
    EntryFailed(state_.currentFileName, ReasonOf(e));
    return false;
  }
  return true;
}

void RestoreRun::EntryFailed(const std::string& file, const std::string& reason) {
  RecordError(TBackupErrorCode::ReadFile, file, reason);
  partDamaged_ = true;
}

void RestoreRun::BlockFailed() {
  RecordError(TBackupErrorCode::Compression, state_.currentFileName,
              ErrorText(TBackupErrorCode::Compression));
  partDamaged_ = true;
}

void RestoreRun::RecordError(TBackupErrorCode code, const std::string& file,
                             const std::string& reason) {
  state_.errorCode = code;
  state_.continueFlag = false;
  state_.failedFileName = file;
  state_.failureReason = reason;
}

bool RestoreRun::FinishRun() {
  cursor_.CloseVolume();
  const bool result = state_.errorCode == TBackupErrorCode::None && state_.continueFlag;
  events_.Progress(std::string(), 100, state_.continueFlag);
  if (state_.errorCode != TBackupErrorCode::None) events_.ReportError(state_.errorCode);
  return result;
}

}  // namespace norv
