#pragma once
// Walks an archive across all its volumes without writing anything. It
// yields every record in archive order with what its entry data part holds,
// and checks each field against what is left of its volume before using it,
// so hostile input costs neither crashes nor large allocations. Compressed
// blocks are inflated as the restore inflates them (a fresh decompressor,
// one call, 16384 bytes of output). Faults are collected as problems; one
// that makes the rest unreadable ends the walk.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/BlockDecoder.h"
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

struct ArchiveHeader {
  std::string title;
  std::int32_t totalBytes = 0;
  std::int32_t value = 0;
};

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
  const std::vector<ArchiveProblem>& Problems() const { return problems_; }
  int VolumesRead() const { return static_cast<int>(visited_.size()); }
  // Bytes that restoring every file entry writes (the file list excluded).
  std::int64_t RestoredBytes() const { return restoredBytes_; }

 private:
  std::optional<ArchiveRecord> ReadRecord();
  std::optional<ArchiveRecord> ReadContinuation();
  bool OpenVolume(const std::string& name);
  // Reads one entry data part into `record`; false after a fatal fault.
  bool ReadDataPart(ArchiveRecord& record);
  bool ReadBlock(ArchiveRecord& record, std::int32_t length, std::int64_t offset);
  bool ReadInt32(std::int32_t& value, const std::string& entry, const char* field);
  bool ReadBytes(std::string& out, std::int64_t count);
  std::int64_t Left() const { return volumeSize_ - position_; }
  void Problem(const std::string& entry, std::int64_t offset, std::string what);
  void Fatal(const std::string& entry, std::int64_t offset, std::string what);

  FileSystem& fs_;
  std::string volumeName_;
  std::unique_ptr<FileStream> in_;
  std::int64_t volumeSize_ = 0;
  std::int64_t position_ = 0;
  int volume_ = 0;
  std::set<std::string> visited_;
  ArchiveHeader header_;
  std::optional<ArchiveRecord> lastEntry_;
  std::string pendingVolume_;  // set by a volume-change record
  bool done_ = false;
  bool complete_ = false;
  std::int64_t restoredBytes_ = 0;
  std::vector<ArchiveProblem> problems_;
  std::vector<unsigned char> inBuffer_;
  std::vector<unsigned char> outBuffer_;
  BlockDecoder decoder_;
  DataSink sink_;
};

}  // namespace norv
