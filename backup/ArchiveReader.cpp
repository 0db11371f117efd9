#include "backup/ArchiveReader.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "backup/ArchiveFormat.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

namespace norv {

namespace {

using archive::kBlockSize;
using archive::kInt32Bytes;

const std::string kArchiveEntry = "(archive)";

struct InflateOutcome {
  std::size_t produced = 0;
  std::string problem;  // empty when the block is a clean zlib stream
};

// Inflates as the restore does: a fresh stream, one inflate call, at most
// kBlockSize bytes of output. Anything short of a clean, complete stream
// that fills no more than the buffer is a problem.
InflateOutcome Inflate(const unsigned char* input, std::size_t size, unsigned char* output) {
  InflateOutcome outcome;
  z_stream zs{};
  int status = inflateInit_(&zs, archive::kZlibVersion, static_cast<int>(sizeof zs));
  if (status != Z_OK) {
    outcome.problem =
        "compression error: the decompressor cannot start (zlib " + std::to_string(status) + ")";
    return outcome;
  }
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = static_cast<uInt>(size);
  zs.next_out = output;
  zs.avail_out = static_cast<uInt>(kBlockSize);
  status = inflate(&zs, Z_NO_FLUSH);
  outcome.produced = kBlockSize - zs.avail_out;
  if (status < 0) {
    outcome.problem =
        std::string("compression error: ") + (zs.msg ? zs.msg : "zlib " + std::to_string(status));
  } else if (status == Z_NEED_DICT) {
    outcome.problem = "the zlib stream needs a preset dictionary";
  } else if (status == Z_STREAM_END) {
    if (zs.avail_in > 0) {
      outcome.problem = std::to_string(zs.avail_in) + " bytes follow the end of the zlib stream";
    }
  } else if (zs.avail_out == 0) {
    outcome.problem = "the block inflates to more than 16384 bytes; the surplus is dropped";
  } else {
    outcome.problem = "the zlib stream ends early";
  }
  inflateEnd(&zs);
  return outcome;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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
    : fs_(fs), volumeName_(std::move(firstVolume)), inBuffer_(kBlockSize), outBuffer_(kBlockSize) {}

ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::Problem(const std::string& entry, std::int64_t offset, std::string what) {
  problems_.push_back({entry, volume_, offset, std::move(what)});
}

void ArchiveReader::Fatal(const std::string& entry, std::int64_t offset, std::string what) {
  Problem(entry, offset, std::move(what));
  done_ = true;
  in_.reset();
}

bool ArchiveReader::OpenVolume(const std::string& name) {
  in_.reset();
  ++volume_;
  if (!visited_.insert(name).second) {
    Fatal(kArchiveEntry, 0, "volume \"" + name + "\" is reached a second time");
    return false;
  }
  volumeName_ = name;
  if (!fs_.FileExists(name)) {
    Fatal(kArchiveEntry, 0, "volume \"" + name + "\" is missing");
    return false;
  }
  in_ = fs_.OpenRead(name);
  volumeSize_ = in_->Size();
  position_ = 0;
  return true;
}

bool ArchiveReader::Open() {
  try {
    if (!OpenVolume(volumeName_)) return false;
    std::int32_t textLength = 0;
    if (!ReadInt32(textLength, kArchiveEntry, "the archive header")) return false;
    if (textLength < 0 || textLength > Left()) {
      Fatal(kArchiveEntry, 0,
            "header text length " + std::to_string(textLength) + " does not fit the volume");
      return false;
    }
    if (!ReadBytes(header_.title, textLength)) return false;
    return ReadInt32(header_.totalBytes, kArchiveEntry, "the archive header") &&
           ReadInt32(header_.value, kArchiveEntry, "the archive header");
  } catch (const Exception& e) {
    Fatal(kArchiveEntry, position_, e.what());
    return false;
  }
}

std::optional<ArchiveRecord> ArchiveReader::Next() {
  if (done_ || !in_) return std::nullopt;
  const std::string entry = lastEntry_ ? lastEntry_->name : kArchiveEntry;
  try {
    if (!pendingVolume_.empty()) return ReadContinuation();
    return ReadRecord();
  } catch (const Exception& e) {
    Fatal(entry, position_, e.what());
    return std::nullopt;
  }
}

std::optional<ArchiveRecord> ArchiveReader::ReadRecord() {
  ArchiveRecord record;
  record.volume = volume_;
  record.offset = position_;
  if (!ReadInt32(record.length, kArchiveEntry, "a record length")) return std::nullopt;
  if (record.length == 0) {
    done_ = true;
    complete_ = true;
    in_.reset();
    if (restoredBytes_ != header_.totalBytes) {
      Problem(kArchiveEntry, record.offset,
              "the header's total bytes " + std::to_string(header_.totalBytes) +
                  " differ from the " + std::to_string(restoredBytes_) +
                  " bytes the entries restore");
    }
    return std::nullopt;
  }
  if (record.length < 0) {
    record.kind = RecordKind::Skip;
    return record;
  }
  if (record.length > Left()) {
    Fatal(kArchiveEntry, record.offset,
          "record length " + std::to_string(record.length) + " exceeds the " +
              std::to_string(Left()) + " bytes left in the volume");
    return std::nullopt;
  }
  if (!ReadBytes(record.name, record.length)) return std::nullopt;

  if (record.name.compare(0, archive::kNextDisk.size(), archive::kNextDisk) == 0) {
    record.kind = RecordKind::NextDisk;
    std::string number = record.name.substr(archive::kNextDisk.size(), 3);
    if (!AllDigits(number)) {
      Fatal(record.name, record.offset, "the volume-change record names no volume number");
      return std::nullopt;
    }
    if (!lastEntry_) {
      Problem(record.name, record.offset, "a volume change comes before any file entry");
    }
    pendingVolume_ = ChangeFileExt(volumeName_, "." + number);
    return record;
  }

  record.kind = record.name == archive::kFileList ? RecordKind::FileList : RecordKind::File;
  if (!ReadInt32(record.date, record.name, "the file date")) return std::nullopt;
  if (!ReadDataPart(record)) return std::nullopt;
  lastEntry_ = record;
  return record;
}

std::optional<ArchiveRecord> ArchiveReader::ReadContinuation() {
  std::string name = std::move(pendingVolume_);
  pendingVolume_.clear();
  if (!OpenVolume(name)) return std::nullopt;
  ArchiveRecord record;
  record.kind = RecordKind::Continued;
  record.volume = volume_;
  record.offset = 0;
  if (lastEntry_) {
    record.name = lastEntry_->name;
    record.date = lastEntry_->date;
  }
  if (!ReadDataPart(record)) return std::nullopt;
  return record;
}

bool ArchiveReader::ReadDataPart(ArchiveRecord& record) {
  const std::int64_t start = position_;
  std::string signature;
  if (Left() < static_cast<std::int64_t>(sizeof archive::kSignature)) {
    Fatal(record.name, start, "the volume ends where an entry data part should begin");
    return false;
  }
  ReadBytes(signature, sizeof archive::kSignature);
  if (std::memcmp(signature.data(), archive::kSignature, sizeof archive::kSignature) != 0) {
    Fatal(record.name, start, "the entry data part does not begin with \"EC2\" and a zero byte");
    return false;
  }
  for (;;) {
    const std::int64_t offset = position_;
    std::int32_t length = 0;
    if (!ReadInt32(length, record.name, "a block length")) return false;
    if (length == archive::kEndMarker) return true;
    if (!ReadBlock(record, length, offset)) return false;
  }
}

bool ArchiveReader::ReadBlock(ArchiveRecord& record, std::int32_t length, std::int64_t offset) {
  const std::int64_t size = std::llabs(static_cast<long long>(length));
  if (size > Left()) {
    Fatal(record.name, offset,
          "block length " + std::to_string(length) + " exceeds the " + std::to_string(Left()) +
              " bytes left in the volume");
    return false;
  }
  ++record.blocks;
  record.packedBytes += size;
  if (size > static_cast<std::int64_t>(kBlockSize)) {
    Problem(record.name, offset, "block length " + std::to_string(length) + " exceeds 16384 bytes");
    in_->Seek(size, SeekOrigin::Current);
    position_ += size;
    return true;
  }
  in_->ReadExactly(inBuffer_.data(), static_cast<std::size_t>(size));
  position_ += size;

  const unsigned char* data = inBuffer_.data();
  std::size_t produced = static_cast<std::size_t>(size);
  if (length < 0) {
    ++record.storedBlocks;
  } else {
    ++record.compressedBlocks;
    // A sound block is taken from the fast decoder; zlib names the faults.
    InflateOutcome outcome;
    if (!decoder_.InflateWhole(inBuffer_.data(), produced, outBuffer_.data(), kBlockSize,
                               outcome.produced)) {
      outcome = Inflate(inBuffer_.data(), produced, outBuffer_.data());
    }
    if (!outcome.problem.empty()) Problem(record.name, offset, outcome.problem);
    data = outBuffer_.data();
    produced = outcome.produced;
  }
  record.dataBytes += static_cast<std::int64_t>(produced);
  if (record.kind != RecordKind::FileList && !(record.kind == RecordKind::Continued && lastEntry_ &&
                                               lastEntry_->kind == RecordKind::FileList)) {
    restoredBytes_ += static_cast<std::int64_t>(produced);
  }
  if (sink_) sink_(record, data, produced);
  return true;
}

bool ArchiveReader::ReadInt32(std::int32_t& value, const std::string& entry, const char* field) {
  if (Left() < kInt32Bytes) {
    Fatal(entry, position_, std::string("the volume ends inside ") + field);
    return false;
  }
  value = norv::ReadInt32(*in_);
  position_ += kInt32Bytes;
  return true;
}

bool ArchiveReader::ReadBytes(std::string& out, std::int64_t count) {
  if (count > Left()) {
    Fatal(kArchiveEntry, position_, "the volume ends early");
    return false;
  }
  out.assign(static_cast<std::size_t>(count), '\0');
  if (count > 0) in_->ReadExactly(out.data(), out.size());
  position_ += count;
  return true;
}

}  // namespace norv
