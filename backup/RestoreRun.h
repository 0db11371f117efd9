#pragma once
// One restore: gives the records of every volume, as its record cursor
// reads them, their meaning, writes the chosen entries and fires the
// component's events. It owns its run-time state, the cursor (and with it
// the open volume), the block decoder and the output block buffer for its
// whole duration; the component sees the state through State().
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "backup/ArchiveFormat.h"
#include "backup/BlockDecoder.h"
#include "backup/RecordCursor.h"
#include "backup/RestoreTransaction.h"
#include "backup/RestoreView.h"
#include "platform/FileSystem.h"

namespace norv {

class TargetFile;

class RestoreRun {
 public:
  // `state` is what the last run left: a run that finds no first volume
  // changes only the error code and the continue flag.
  RestoreRun(FileSystem& fs, const RestoreSettings& settings, RestoreEvents& events,
             RestoreState state, const std::string& archiveName, const std::string& destination);
  ~RestoreRun();
  RestoreRun(const RestoreRun&) = delete;
  RestoreRun& operator=(const RestoreRun&) = delete;

  // The whole run, from opening the first volume to the error report: true
  // when it ends with error code 0 and the continue flag true.
  bool Execute();
  const RestoreState& State() const { return state_; }
  RestoreState& State() { return state_; }

 private:
  // Finishes what a killed run left at the destination; raises when
  // something of it could not be put back.
  void RecoverFirst();
  bool OpenInput();
  void ReadHeader();
  // All or nothing: checks the free space and starts the journal; false
  // (an error recorded, nothing touched) when either fails.
  bool BeginTransaction();
  // Commits a run that succeeded, undoes one that did not.
  void EndTransaction();
  void Undo();
  // Puts a finished entry's file in place, or leaves it for the commit.
  void Place(TargetFile& file);
  void RecordLoop();
  void FileEntry(const std::string& recordName, std::int32_t fileDate);
  // Makes the directory of the current file name; false (error 1) when it
  // cannot be made. A name without a directory part raises.
  bool PrepareDirectory();
  // `target`: what the target was when the entry was decided on.
  void WriteEntry(FileKind target);
  void VolumeChange(const Record& record);
  bool RequestVolume(const Record& record);
  // The entry's file for its continuation in a new volume.
  std::unique_ptr<TargetFile> ContinueEntry();
  // Fires OnFileRestored, sets the entry's date, closes the file and keeps
  // it pending until the next record shows whether the entry continues.
  void FinishPart(std::unique_ptr<TargetFile> file);
  // Puts the pending entry's file in place, or drops it when damaged.
  void SettlePending();
  // Reads the blocks of one data part, writing them to `output` or, without
  // one, passing over them.
  void ReadEntryData(FileStream* output);
  // One block into `output`: the bytes written, or none when the entry failed.
  std::optional<std::size_t> WriteBlock(FileStream& output, const Block& block);
  // Adds written bytes to the run's count and reports the progress.
  void CountProgress(std::size_t written);
  // Writes a block's bytes; false (entry failed) when the target refused.
  bool WriteOut(FileStream& output, const unsigned char* bytes, std::size_t count);
  // Error 1 for `file`; the entry being written is not put in place.
  void EntryFailed(const std::string& file, const std::string& reason);
  // Error 6 on a block of the entry being written.
  void BlockFailed();
  void RecordError(TBackupErrorCode code, const std::string& file, const std::string& reason);
  bool FinishRun();

  FileSystem& fs_;
  const RestoreSettings settings_;
  RestoreEvents& events_;
  RestoreState state_;
  const std::string archiveName_;
  const std::string workingDestination_;
  const bool streamMode_;
  // Reads the volumes, or the caller's source stream.
  RecordCursor cursor_;
  std::int32_t fileDate_ = 0;
  bool decision_ = false;
  // The run's transaction while an all-or-nothing run goes on.
  std::unique_ptr<RestoreTransaction> transaction_;
  // The last entry written, until it is put in place or dropped.
  std::unique_ptr<TargetFile> pending_;
  // The part being written failed (a block, a write, a read).
  bool partDamaged_ = false;
  // The directory the previous entry was written into: the next entry in
  // the same directory does not ask the system for it again.
  std::string lastDirectory_;
  BlockDecoder decoder_;
  std::array<unsigned char, archive::kBlockSize> outBuffer_{};
};

}  // namespace norv
