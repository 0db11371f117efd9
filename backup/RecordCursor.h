#pragma once
// The one reader of the archive format. It opens volumes (and names the
// next one), frames every field, record and block against what is left of
// its volume before reading or allocating anything, checks the limits and
// refuses a volume that comes round again. The restore run and the
// list/test reader give the records their meaning; nobody else parses an
// archive. A volume-change record carries the next volume's name, formed by
// archive::VolumeFileName as the writer forms it.
//
//   RecordCursor cursor(fs);
//   if (!cursor.OpenFirst(name)) ...;         // no such file
//   cursor.ReadHeader(false);
//   for (Record r = cursor.NextRecord(); r.type != RecordType::End; ...)
//     Entry: cursor.BeginDataPart(); then NextBlock() and Payload/PassOver
//            until a block of length 0;
//     NextDisk: cursor.CloseVolume(); ...; cursor.OpenVolume(r.nextVolume);
//            BeginDataPart() for the continuation.
//
// Faults: a field or block that its volume cannot hold raises EArchiveFault
// (a read error, "Stream read error", whose Detail() says what ended); a
// record name over kMaxRecordName and a volume read a second time raise
// EBackupError; an entry data part without its signature raises
// EBackupError("Invalid archive type").
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "backup/ArchiveFormat.h"
#include "backup/InputBuffer.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace norv {

class EArchiveFault : public EReadError {
 public:
  EArchiveFault(std::int64_t offset, std::string detail)
      : offset_(offset), detail_(std::move(detail)) {}
  // Where the field or block that does not fit starts in its volume.
  std::int64_t Offset() const { return offset_; }
  const std::string& Detail() const { return detail_; }

 private:
  std::int64_t offset_;
  std::string detail_;
};

namespace archive {
// Longest record name that is read: a longer one marks a damaged archive.
inline constexpr std::int32_t kMaxRecordName = 32 * 1024;
// The volume number text of a volume-change record: characters 10 to 12.
std::string VolumeNumberText(const std::string& recordName);
}  // namespace archive

enum class RecordType { End, Skip, NextDisk, Entry };

struct Record {
  RecordType type = RecordType::End;
  std::int32_t length = 0;
  std::string name;
  std::int32_t date = 0;    // entries only
  std::string nextVolume;   // volume-change records only
  std::int64_t offset = 0;  // where the record starts in its volume
};

struct Block {
  std::int32_t length = 0;  // 0: the end marker
  std::int64_t offset = 0;  // where its length field starts
  std::int64_t Size() const { return length < 0 ? -static_cast<std::int64_t>(length) : length; }
  bool Stored() const { return length < 0; }
  // More than the block buffers hold: it can only be passed over.
  bool Oversized() const { return Size() > static_cast<std::int64_t>(archive::kBlockSize); }
};

struct ArchiveHeader {
  std::string title;  // kept only when asked for and not over kMaxRecordName
  std::int32_t totalBytes = 0;
  std::int32_t value = 0;
};

class RecordCursor {
 public:
  explicit RecordCursor(FileSystem& fs);
  ~RecordCursor();
  RecordCursor(const RecordCursor&) = delete;
  RecordCursor& operator=(const RecordCursor&) = delete;

  // Opens the first volume; false when no file of that name exists. An
  // open failure leaves as the file system raised it.
  bool OpenFirst(const std::string& name);
  // Reads the caller's stream from its current position instead of a
  // volume; the stream is not owned and is left after the last byte read.
  void AttachStream(Stream* stream);
  bool StreamMode() const { return streamMode_; }

  ArchiveHeader ReadHeader(bool keepTitle);
  // The next record: its length, and for positive lengths its name (and an
  // entry's date). Negative lengths come back as Skip.
  Record NextRecord();
  // The signature of an entry data part.
  void BeginDataPart();
  // The next block's length, checked against what is left of the volume.
  Block NextBlock();
  // The block's payload, valid until the next read. Not for oversized blocks.
  const unsigned char* Payload(const Block& block);
  // Moves past the block's payload without reading it.
  void PassOver(const Block& block);
  // Reading ahead pays off while an entry is written (see InputBuffer).
  void SetReadAhead(bool on) { input_.SetReadAhead(on); }

  // Closes the open volume (a stream is detached, not closed).
  void CloseVolume();
  // Opens a later volume. A volume read before in this walk raises
  // EBackupError: its records would lead round again.
  void OpenVolume(const std::string& name);

  const std::string& VolumeName() const { return volumeName_; }
  // Volumes opened so far, from 1.
  int VolumeNumber() const { return volumeNumber_; }
  // Bytes into the open volume (or the stream since it was attached).
  std::int64_t Offset() const { return input_.Consumed(); }

 private:
  std::int32_t ReadInt32(const char* field);
  void Attach(std::unique_ptr<FileStream> volume, const std::string& name);

  FileSystem& fs_;
  std::unique_ptr<FileStream> volume_;
  InputBuffer input_;
  std::string volumeName_;
  std::set<std::string> volumesRead_;
  int volumeNumber_ = 0;
  bool streamMode_ = false;
};

}  // namespace norv
