#pragma once
// The journal of an all-or-nothing restore: every change the run makes at
// its destination, written down before the change is made, so that the run
// can be undone, also by a later run after a kill or a power cut.
//
// Where everything lies, for every run into a destination:
// - the journal: the file ".norvjournal" in the working destination
//   (C:\.norvjournal for a restore onto "C:"); while it is made, its
//   temporary file ".norvjournal.norvtmp" beside it;
// - a replaced file's old version: beside its target, the target's name
//   followed by ".norvold" (RH.EXE.norvold), until the run has ended;
// - a file being written: the target's name followed by ".norvtmp".
//
// Format: a sequence of records, each an Int32 payload length, the CRC-32
// of the payload (UInt32), and the payload: a kind byte, then two texts,
// each an Int32 length and its bytes. The first record names the working
// destination and the archive; a journal found at another destination is
// never applied. A record cut short or failing its checksum ends the
// journal: it is the torn tail of a write that a power cut interrupted, and
// the change it announced was never made durable.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace norv::journal {

enum class Kind : std::uint8_t {
  kBegin = 1,         // name: the working destination; other: the archive
  kNewDirectory = 2,  // name: a directory that did not exist
  kNewFile = 3,       // name: a target that did not exist
  kReplacedFile = 4,  // name: a target whose old version is kept
  kCommitted = 5,     // every file is in place; only the clean-up is left
};

struct Record {
  Kind kind = Kind::kBegin;
  std::string name;
  std::string other;
};

inline constexpr const char* kKeptSuffix = ".norvold";

// The journal's name for a working destination.
std::string JournalName(const std::string& workingDestination);
// The name a replaced file's old version is kept under.
std::string KeptName(const std::string& target);

// Appends records to a new journal. Each record is handed to the system as
// it is appended (it survives a kill); Sync makes the records durable.
class Writer {
 public:
  // Makes the journal with its first record, durable before it returns
  // (written beside it, then moved in place). Throws what the file system
  // throws.
  Writer(FileSystem& fs, std::string journalName, const std::string& workingDestination,
         const std::string& archive);
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void Append(Kind kind, const std::string& name);
  void Sync();
  // Lets the journal be read; Append opens it again.
  void Close() { stream_.reset(); }
  const std::string& Name() const { return name_; }

 private:
  void Write(const Record& record);

  FileSystem& fs_;
  const std::string name_;
  std::unique_ptr<FileStream> stream_;
};

// Reads the valid records of a journal, front to back or at offsets, through
// a window of the file: a journal of many thousand records is read in a few
// calls, also backwards.
class Reader {
 public:
  // Throws EFOpenError when there is no journal.
  Reader(FileSystem& fs, const std::string& journalName);
  // The next valid record; false at the end or at a torn record.
  bool Next(Record& record);
  // Where the next record starts.
  std::int64_t Offset() const { return offset_; }
  void Seek(std::int64_t offset) { offset_ = offset; }

 private:
  // Up to `count` bytes from file offset `at` on; fewer at the end.
  std::size_t ReadAt(std::int64_t at, void* out, std::size_t count);
  // Loads the window starting at `start`.
  void Fill(std::int64_t start);

  std::unique_ptr<FileStream> stream_;
  std::int64_t offset_ = 0;
  std::vector<unsigned char> window_;
  std::int64_t windowStart_ = 0;  // the file offset of window_[0]
};

}  // namespace norv::journal
