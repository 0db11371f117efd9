#include "backup/RecordCursor.h"

#include <cstring>

#include "backup/BackupFile.h"
#include "backup/ResourceStrings.h"

namespace norv {

namespace archive {

std::string VolumeNumberText(const std::string& recordName) {
  const std::size_t from = kNextDisk.size();
  return recordName.size() > from ? recordName.substr(from, 3) : "";
}

}  // namespace archive

RecordCursor::RecordCursor(FileSystem& fs) : fs_(fs) {}

RecordCursor::~RecordCursor() {
  try {
    CloseVolume();
  } catch (...) {
    // The caller's stream is failing already; nothing more to give back.
  }
}

bool RecordCursor::OpenFirst(const std::string& name) {
  if (!fs_.FileExists(name)) return false;
  OpenVolume(name);
  return true;
}

void RecordCursor::AttachStream(Stream* stream) {
  streamMode_ = true;
  volumeNumber_ = 1;
  input_.Attach(stream);
}

void RecordCursor::OpenVolume(const std::string& name) {
  if (!volumesRead_.insert(name).second)
    throw EBackupError("Volume \"" + name + "\" has been read already");
  volume_ = fs_.OpenRead(name);
  volumeName_ = name;
  ++volumeNumber_;
  input_.Attach(volume_.get());
}

void RecordCursor::CloseVolume() {
  try {
    input_.Attach(nullptr);
  } catch (const std::exception&) {
    // Only the caller's stream needs its position back; a volume is closed.
  }
  volume_.reset();
}

std::int32_t RecordCursor::ReadInt32(const char* field) {
  const std::int64_t offset = Offset();
  try {
    return input_.ReadInt32();
  } catch (const EReadError&) {
    // A read the system refused stays what it was; the end of the volume
    // is told apart only once a read has failed.
    if (input_.HasLeft(archive::kInt32Bytes)) throw;
    throw EArchiveFault(offset, std::string("the volume ends inside ") + field);
  }
}

ArchiveHeader RecordCursor::ReadHeader(bool keepTitle) {
  ArchiveHeader header;
  const std::int32_t textLength = ReadInt32("the archive header");
  if (textLength < 0 || !input_.HasLeft(textLength)) {
    throw EArchiveFault(
        0, "header text length " + std::to_string(textLength) + " does not fit the volume");
  }
  if (keepTitle && textLength <= archive::kMaxRecordName) {
    header.title.resize(static_cast<std::size_t>(textLength));
    input_.Read(header.title.data(), header.title.size());
  } else {
    input_.Skip(textLength);
  }
  header.totalBytes = ReadInt32("the archive header");
  header.value = ReadInt32("the archive header");
  return header;
}

Record RecordCursor::NextRecord() {
  Record record;
  record.offset = Offset();
  record.length = ReadInt32("a record length");
  if (record.length == archive::kEndMarker) return record;
  if (record.length < 0) {
    record.type = RecordType::Skip;
    return record;
  }
  if (!input_.HasLeft(record.length)) {
    throw EArchiveFault(record.offset, "record length " + std::to_string(record.length) +
                                           " exceeds the " + std::to_string(input_.Left()) +
                                           " bytes left in the volume");
  }
  // Checked before anything is allocated for the name.
  if (record.length > archive::kMaxRecordName) {
    throw EBackupError("Damaged archive: a record name of " + std::to_string(record.length) +
                       " bytes (at most " + std::to_string(archive::kMaxRecordName) + ")");
  }
  record.name.resize(static_cast<std::size_t>(record.length));
  input_.Read(record.name.data(), record.name.size());
  if (record.name.starts_with(archive::kNextDisk)) {
    record.type = RecordType::NextDisk;
    // A stream has no name to form the next one from.
    if (!streamMode_) {
      record.nextVolume =
          archive::VolumeFileName(volumeName_, archive::VolumeNumberText(record.name));
    }
    return record;
  }
  record.type = RecordType::Entry;
  record.date = ReadInt32("the file date");
  return record;
}

void RecordCursor::BeginDataPart() {
  const std::int64_t offset = Offset();
  const unsigned char* signature = nullptr;
  try {
    signature = input_.Take(sizeof archive::kSignature);
  } catch (const EReadError&) {
    if (input_.HasLeft(sizeof archive::kSignature)) throw;
    throw EArchiveFault(offset, "the volume ends where an entry data part should begin");
  }
  if (std::memcmp(signature, archive::kSignature, sizeof archive::kSignature) != 0) {
    throw EBackupError(SInvalidArchive);
  }
}

Block RecordCursor::NextBlock() {
  Block block;
  block.offset = Offset();
  block.length = ReadInt32("a block length");
  if (!input_.HasLeft(block.Size())) {
    throw EArchiveFault(block.offset, "block length " + std::to_string(block.length) +
                                          " exceeds the " + std::to_string(input_.Left()) +
                                          " bytes left in the volume");
  }
  return block;
}

const unsigned char* RecordCursor::Payload(const Block& block) {
  return input_.Take(static_cast<std::size_t>(block.Size()));
}

void RecordCursor::PassOver(const Block& block) {
  input_.Skip(block.Size());
}

}  // namespace norv
