#pragma once
// Walks an archive across all its volumes without writing anything, on the
// same record cursor as the restore. It yields every record in archive
// order with what its entry data part holds, and collects problems: each
// says whether it makes "norvarc extract" (every file, into an empty
// directory) fail, so that the walk is Sound() exactly when such a restore
// succeeds. A problem that makes the rest unreadable ends the walk.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "backup/BlockDecoder.h"
#include "backup/RecordCursor.h"
#include "platform/FileSystem.h"

namespace norv {

enum class RecordKind {
  File,       // a file entry
  FileList,   // the FILE:LIST entry
  Continued,  // the continuation of an entry at the start of a later volume
  NextDisk,   // a volume-change record
  Skip        // a negative record length, passed over
};
// "file", "file-list", "continued", "next-disk", "skip".
const char* RecordKindName(RecordKind kind);

struct ArchiveRecord {
  RecordKind kind = RecordKind::File;
  std::string name;              // stored name; the continued entry's for Continued
  std::int32_t length = 0;       // the record length field (0 for Continued)
  std::int32_t date = 0;         // file date of the entry (File, FileList, Continued)
  std::int64_t dataBytes = 0;    // bytes that its blocks restore to
  std::int64_t packedBytes = 0;  // payload bytes of its blocks
  int blocks = 0;
  int compressedBlocks = 0;
  int storedBlocks = 0;
  int volume = 1;           // from 1
  std::int64_t offset = 0;  // where the record starts in its volume
};

struct ArchiveProblem {
  std::string entry;  // the stored name concerned, or "(archive)"
  int volume = 1;
  std::int64_t offset = 0;
  std::string what;
  // False for what a restore passes over (a header total that differs, a
  // damaged block of an entry that is not written, a zlib stream with
  // bytes after its end ...).
  bool failsRestore = true;
};

class ArchiveReader {
 public:
  // Receives the bytes that each block restores to, as they are read.
  using DataSink =
      std::function<void(const ArchiveRecord& record, const unsigned char* data, std::size_t size)>;

  ArchiveReader(FileSystem& fs, std::string firstVolume);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  void SetDataSink(DataSink sink) { sink_ = std::move(sink); }

  // Opens the first volume and reads the header; false (with a problem)
  // when that fails.
  bool Open();
  const ArchiveHeader& Header() const { return header_; }
  // The next record, or nothing at the end of the archive or after a fault
  // that ends the walk.
  std::optional<ArchiveRecord> Next();

  // True once the end-of-archive record has been read.
  bool Complete() const { return complete_; }
  // Complete, and no problem that fails a restore: extracting every file
  // into an empty directory succeeds.
  bool Sound() const;
  const std::vector<ArchiveProblem>& Problems() const { return problems_; }
  int VolumesRead() const { return cursor_.VolumeNumber(); }
  // Bytes that restoring every file entry writes (the file list excluded).
  std::int64_t RestoredBytes() const { return restoredBytes_; }

 private:
  // Whether a restore can write the entry, given what the entries before it
  // left: a folder that is a file, or a file that is a folder, fails it.
  enum class Placement { Written, BelowAFile, OnADirectory };

  std::optional<ArchiveRecord> ReadRecord();
  std::optional<ArchiveRecord> ReadContinuation();
  std::optional<ArchiveRecord> ReadEntry(ArchiveRecord record);
  bool ReadDataPart(ArchiveRecord& record);
  void ReadBlock(ArchiveRecord& record, const Block& block);
  Placement Place(const std::string& target);
  void Problem(const std::string& entry, std::int64_t offset, std::string what,
               bool failsRestore = true);
  void Fatal(const std::string& entry, std::int64_t offset, std::string what);

  FileSystem& fs_;
  const std::string firstVolume_;
  RecordCursor cursor_;
  ArchiveHeader header_;
  std::optional<ArchiveRecord> lastEntry_;
  bool lastWritten_ = false;   // whether a restore writes the entry read last
  std::string pendingVolume_;  // set by a volume-change record
  std::string faultEntry_;     // the entry a fault is reported for
  bool done_ = false;
  bool complete_ = false;
  std::int64_t restoredBytes_ = 0;
  std::vector<ArchiveProblem> problems_;
  // Hashes of the names that became files and directories so far.
  std::unordered_set<std::uint64_t> files_;
  std::unordered_set<std::uint64_t> directories_;
  std::vector<unsigned char> outBuffer_;
  BlockDecoder decoder_;
  DataSink sink_;
};

}  // namespace norv
