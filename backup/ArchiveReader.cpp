#include "backup/ArchiveReader.h"

#include <functional>

#include "backup/ArchiveFormat.h"
#include "backup/BackupFile.h"
#include "backup/NameRules.h"
#include "backup/RestoreRules.h"
#include "platform/Paths.h"

namespace norv {

namespace {

using archive::kBlockSize;

const std::string kArchiveEntry = "(archive)";

std::uint64_t Key(const std::string& path) {
  return std::hash<std::string>{}(path);
}

}  // namespace

const char* RecordKindName(RecordKind kind) {
  switch (kind) {
    case RecordKind::File:
      return "file";
    case RecordKind::FileList:
      return "file-list";
    case RecordKind::Continued:
      return "continued";
    case RecordKind::NextDisk:
      return "next-disk";
    case RecordKind::Skip:
      return "skip";
  }
  return "?";
}

ArchiveReader::ArchiveReader(FileSystem& fs, std::string firstVolume)
    : fs_(fs), firstVolume_(std::move(firstVolume)), cursor_(fs), outBuffer_(kBlockSize) {}

ArchiveReader::~ArchiveReader() = default;

bool ArchiveReader::Sound() const {
  if (!complete_) return false;
  for (const auto& p : problems_) {
    if (p.failsRestore) return false;
  }
  return true;
}

void ArchiveReader::Problem(const std::string& entry, std::int64_t offset, std::string what,
                            bool failsRestore) {
  problems_.push_back({entry, cursor_.VolumeNumber(), offset, std::move(what), failsRestore});
}

void ArchiveReader::Fatal(const std::string& entry, std::int64_t offset, std::string what) {
  Problem(entry, offset, std::move(what));
  done_ = true;
  cursor_.CloseVolume();
}

bool ArchiveReader::Open() {
  faultEntry_ = kArchiveEntry;
  try {
    if (!cursor_.OpenFirst(firstVolume_)) {
      problems_.push_back({kArchiveEntry, 1, 0, "volume \"" + firstVolume_ + "\" is missing"});
      done_ = true;
      return false;
    }
    // Every payload is read: a full buffer at a time.
    cursor_.SetReadAhead(true);
    header_ = cursor_.ReadHeader(true);
    return true;
  } catch (const EArchiveFault& e) {
    Fatal(kArchiveEntry, e.Offset(), e.Detail());
  } catch (const std::exception& e) {
    Fatal(kArchiveEntry, cursor_.Offset(), e.what());
  }
  return false;
}

std::optional<ArchiveRecord> ArchiveReader::Next() {
  if (done_) return std::nullopt;
  try {
    if (!pendingVolume_.empty()) return ReadContinuation();
    return ReadRecord();
  } catch (const EArchiveFault& e) {
    Fatal(faultEntry_, e.Offset(), e.Detail());
  } catch (const std::exception& e) {
    Fatal(faultEntry_, cursor_.Offset(), e.what());
  }
  return std::nullopt;
}

std::optional<ArchiveRecord> ArchiveReader::ReadRecord() {
  faultEntry_ = kArchiveEntry;
  const Record r = cursor_.NextRecord();
  ArchiveRecord record;
  record.volume = cursor_.VolumeNumber();
  record.offset = r.offset;
  record.length = r.length;
  record.name = r.name;
  switch (r.type) {
    case RecordType::End:
      done_ = true;
      complete_ = true;
      cursor_.CloseVolume();
      if (restoredBytes_ != header_.totalBytes) {
        Problem(kArchiveEntry, record.offset,
                "the header's total bytes " + std::to_string(header_.totalBytes) +
                    " differ from the " + std::to_string(restoredBytes_) +
                    " bytes the entries restore",
                false);
      }
      return std::nullopt;
    case RecordType::Skip:
      record.kind = RecordKind::Skip;
      return record;
    case RecordType::NextDisk:
      record.kind = RecordKind::NextDisk;
      try {
        // The restore hands this number to its volume handler.
        restore::DiskID(restore::DisplayForm(archive::VolumeNumberText(record.name)));
      } catch (const EBackupError& e) {
        Fatal(record.name, record.offset,
              std::string("the volume-change record names no volume number: ") + e.what());
        return std::nullopt;
      }
      if (!lastEntry_) {
        Problem(record.name, record.offset, "a volume change comes before any file entry", false);
      }
      pendingVolume_ = r.nextVolume;
      return record;
    case RecordType::Entry:
      record.kind = record.name == archive::kFileList ? RecordKind::FileList : RecordKind::File;
      record.date = r.date;
      return ReadEntry(std::move(record));
  }
  return std::nullopt;
}

std::optional<ArchiveRecord> ArchiveReader::ReadEntry(ArchiveRecord record) {
  faultEntry_ = record.name;
  lastWritten_ = false;
  if (record.kind == RecordKind::File) {
    // Checked as "norvarc extract" and the installer restore it.
    const std::string destination = restore::SystemDestination();
    const std::string refused = names::WhyRefused(destination, record.name, true);
    if (!refused.empty()) {
      Problem(record.name, record.offset, "the restore refuses this name: " + refused);
    } else {
      const std::string target = restore::DestinationName(destination, record.name, true);
      switch (Place(target)) {
        case Placement::Written:
          lastWritten_ = true;
          break;
        case Placement::BelowAFile:
          Problem(record.name, record.offset,
                  "an earlier entry made a file of one of its folders; the restore cannot make it");
          break;
        case Placement::OnADirectory:
          Problem(record.name, record.offset,
                  "an earlier entry made a directory of this name; the restore cannot write it");
          break;
      }
    }
  }
  if (!ReadDataPart(record)) return std::nullopt;
  lastEntry_ = record;
  return record;
}

std::optional<ArchiveRecord> ArchiveReader::ReadContinuation() {
  const std::string name = std::move(pendingVolume_);
  pendingVolume_.clear();
  cursor_.CloseVolume();
  faultEntry_ = kArchiveEntry;
  if (!fs_.FileExists(name)) {
    problems_.push_back(
        {kArchiveEntry, cursor_.VolumeNumber() + 1, 0, "volume \"" + name + "\" is missing"});
    done_ = true;
    return std::nullopt;
  }
  cursor_.OpenVolume(name);
  ArchiveRecord record;
  record.kind = RecordKind::Continued;
  record.volume = cursor_.VolumeNumber();
  record.offset = 0;
  if (lastEntry_) {
    record.name = lastEntry_->name;
    record.date = lastEntry_->date;
  } else {
    lastWritten_ = false;
  }
  faultEntry_ = record.name;
  if (!ReadDataPart(record)) return std::nullopt;
  return record;
}

bool ArchiveReader::ReadDataPart(ArchiveRecord& record) {
  const std::int64_t start = cursor_.Offset();
  try {
    cursor_.BeginDataPart();
  } catch (const EBackupError&) {
    Fatal(record.name, start, "the entry data part does not begin with \"EC2\" and a zero byte");
    return false;
  }
  for (;;) {
    const Block block = cursor_.NextBlock();
    if (block.length == archive::kEndMarker) return true;
    ReadBlock(record, block);
  }
}

void ArchiveReader::ReadBlock(ArchiveRecord& record, const Block& block) {
  ++record.blocks;
  record.packedBytes += block.Size();
  // Faults in data that a restore passes over do not fail it.
  const bool written = lastWritten_;
  if (block.Oversized()) {
    Problem(record.name, block.offset,
            "block length " + std::to_string(block.length) + " exceeds 16384 bytes", written);
    cursor_.PassOver(block);
    return;
  }
  const auto size = static_cast<std::size_t>(block.Size());
  const unsigned char* data = cursor_.Payload(block);
  std::size_t produced = size;
  if (block.Stored()) {
    ++record.storedBlocks;
  } else {
    ++record.compressedBlocks;
    const InflateResult inflated = decoder_.Inflate(data, size, outBuffer_.data(), kBlockSize);
    if (inflated.failed) {
      Problem(record.name, block.offset, "compression error", written);
    } else if (!inflated.ended && inflated.produced == kBlockSize) {
      Problem(record.name, block.offset,
              "the block inflates to more than 16384 bytes; the surplus is dropped", false);
    } else if (!inflated.ended) {
      Problem(record.name, block.offset, "the zlib stream ends early", false);
    } else if (inflated.trailing > 0) {
      Problem(record.name, block.offset,
              std::to_string(inflated.trailing) + " bytes follow the end of the zlib stream",
              false);
    }
    data = outBuffer_.data();
    produced = inflated.produced;
  }
  record.dataBytes += static_cast<std::int64_t>(produced);
  const bool fileList =
      record.kind == RecordKind::FileList || (record.kind == RecordKind::Continued && lastEntry_ &&
                                              lastEntry_->kind == RecordKind::FileList);
  if (!fileList) restoredBytes_ += static_cast<std::int64_t>(produced);
  if (sink_) sink_(record, data, produced);
}

ArchiveReader::Placement ArchiveReader::Place(const std::string& target) {
  std::string path = target;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  // Every directory of the path below the drive, outermost first.
  std::vector<std::uint64_t> parents;
  for (std::size_t cut = path.find('\\', 3); cut != std::string::npos;
       cut = path.find('\\', cut + 1)) {
    parents.push_back(Key(path.substr(0, cut)));
  }
  for (const std::uint64_t parent : parents) {
    if (files_.count(parent)) return Placement::BelowAFile;
  }
  const std::uint64_t self = Key(path);
  if (directories_.count(self)) return Placement::OnADirectory;
  directories_.insert(parents.begin(), parents.end());
  files_.insert(self);
  return Placement::Written;
}

}  // namespace norv
