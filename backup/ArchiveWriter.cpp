#include "backup/ArchiveWriter.h"

#include <limits>
#include <memory>
#include <string_view>

#include "backup/ArchiveFormat.h"
#include "backup/BackupFile.h"
#include "backup/NameRules.h"
#include "backup/ParallelEncoder.h"
#include "backup/RestoreRules.h"
#include "platform/MemoryStream.h"
#include "platform/Paths.h"

namespace norv {

namespace {

using archive::kInt32Bytes;

// What must still fit after anything written inside an entry data part so
// that the volume can be closed: the end marker and a volume-change record.
constexpr std::int64_t kCloseBytes = kInt32Bytes + archive::kNextDiskRecordBytes;
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
// Blocks read ahead per compressing thread: enough that the threads rarely
// wait for each other at the end of a batch.
constexpr std::size_t kBlocksPerJob = 32;

// Reads until `size` bytes are in `buffer` or the stream ends.
std::size_t Fill(Stream& stream, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t got = stream.Read(buffer + done, size - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

void WriteText(VolumeWriter& out, const std::string& text) {
  out.WriteInt32(static_cast<std::int32_t>(text.size()));
  out.Write(text.data(), text.size());
}

std::string FileListText(const std::vector<ArchiveEntry>& entries) {
  std::string text;
  for (const auto& e : entries) text += e.storedName + "\r\n";
  return text;
}

}  // namespace

struct ArchiveWriter::Source {
  const ArchiveEntry* entry;
  std::int32_t date;
};

// An entry to write: a file, or the file list (no source).
struct ArchiveWriter::Item {
  std::string name;
  std::int32_t date;
  const ArchiveEntry* source;
};

ArchiveWriter::ArchiveWriter(FileSystem& fs, std::string archiveName, ArchiveOptions options)
    : fs_(fs), archiveName_(std::move(archiveName)), options_(std::move(options)) {}

void ArchiveWriter::AddFile(std::string storedName, std::string sourcePath) {
  if (!StartsWithDriveRoot(storedName)) {
    throw EArchiveWriteError("Stored name \"" + storedName +
                             "\" does not start with a drive, a colon and a backslash");
  }
  // A name the restore would refuse would stop every restore of the archive.
  const std::string refused = names::WhyRefused(restore::SystemDestination(), storedName, true);
  if (!refused.empty()) {
    throw EArchiveWriteError("Cannot store \"" + sourcePath + "\" as \"" + storedName +
                             "\": a restore refuses the name, as " + refused);
  }
  entries_.push_back({std::move(storedName), std::move(sourcePath)});
}

ArchiveSummary ArchiveWriter::Finish() {
  // Every source is opened once before anything is written, so a missing
  // file fails the run before a volume exists, and the header's total is
  // known up front.
  summary_ = {};
  std::vector<Source> sources;
  std::int64_t total = 0;
  std::int32_t newest = kDosEpoch;
  for (const auto& entry : entries_) {
    total += fs_.OpenRead(entry.sourcePath)->Size();
    std::int32_t date = fs_.FileStamp(entry.sourcePath);
    if (date == -1) date = kDosEpoch;
    if (static_cast<std::uint32_t>(date) > static_cast<std::uint32_t>(newest)) newest = date;
    sources.push_back({&entry, date});
  }
  if (total > kInt32Max) {
    throw EArchiveWriteError("The files hold " + std::to_string(total) +
                             " bytes; an archive holds at most " + std::to_string(kInt32Max));
  }

  const std::int64_t headerBytes =
      3 * kInt32Bytes + static_cast<std::int64_t>(options_.title.size());
  if (options_.maxSize > 0 && headerBytes + kInt32Bytes > options_.maxSize) {
    throw EArchiveWriteError("The maximum volume size of " + std::to_string(options_.maxSize) +
                             " bytes is too small for the archive header");
  }

  wroteEntry_ = false;
  VolumeWriter out(fs_, archiveName_, options_.maxSize);
  std::int64_t written = 0;
  try {
    written = WriteVolumes(out, sources, total, newest);
  } catch (...) {
    summary_.volumes = out.Volumes();
    throw;
  }
  summary_.volumes = out.Volumes();

  // A file that changed size since it was measured: the header must still
  // hold the bytes that restoring writes.
  if (written != total) {
    if (written > kInt32Max) throw EArchiveWriteError("The files grew beyond 2147483647 bytes");
    auto first = fs_.OpenWrite(archiveName_);
    first->Seek(headerBytes - 2 * kInt32Bytes, SeekOrigin::Begin);
    norv::WriteInt32(*first, static_cast<std::int32_t>(written));
    first->FinishWrites();
    total = written;
  }
  summary_.totalBytes = static_cast<std::int32_t>(total);
  return summary_;
}

// The part of an item that one batch holds.
struct ArchiveWriter::Piece {
  const Item* item;
  bool begins = false;
  bool ends = false;
  std::size_t blocks = 0;
};

// Reads the items' data a batch of blocks at a time, across items, into one
// buffer; counts the bytes read from the files.
class ArchiveWriter::ItemReader {
 public:
  ItemReader(FileSystem& fs, const std::vector<Item>& items, const std::string& fileList,
             std::size_t capacity)
      : fs_(fs),
        items_(items),
        fileList_(fileList),
        capacity_(capacity),
        buffer_(capacity * archive::kBlockSize, '\0') {}

  bool Done() const { return current_ >= items_.size(); }
  std::int64_t BytesRead() const { return read_; }

  // Fills `inputs` with up to `capacity` blocks and says which part of
  // which item each run of them is. The views stay valid until the next call.
  void ReadBatch(std::vector<std::string_view>& inputs, std::vector<Piece>& pieces) {
    inputs.clear();
    pieces.clear();
    while (!Done() && inputs.size() < capacity_) {
      pieces.push_back(ReadPiece(inputs));
      if (pieces.back().ends) FinishItem();
    }
  }

 private:
  // The current item's blocks until its end or a full batch.
  Piece ReadPiece(std::vector<std::string_view>& inputs) {
    const Item& item = items_[current_];
    if (!data_) Open(item);
    Piece piece{&item, !begun_};
    begun_ = true;
    while (inputs.size() < capacity_) {
      char* chunk = buffer_.data() + inputs.size() * archive::kBlockSize;
      const std::size_t got = Fill(*data_, chunk, archive::kBlockSize);
      if (got > 0) {
        inputs.emplace_back(chunk, got);
        ++piece.blocks;
      }
      if (got < archive::kBlockSize) {
        piece.ends = true;
        break;
      }
    }
    return piece;
  }

  void Open(const Item& item) {
    if (item.source == nullptr) {
      data_ = std::make_unique<MemoryStream>(fileList_);
    } else {
      data_ = fs_.OpenRead(item.source->sourcePath);
    }
    start_ = data_->Position();
  }

  void FinishItem() {
    if (items_[current_].source != nullptr) read_ += data_->Position() - start_;
    data_.reset();
    begun_ = false;
    ++current_;
  }

  FileSystem& fs_;
  const std::vector<Item>& items_;
  const std::string& fileList_;
  const std::size_t capacity_;
  std::string buffer_;
  std::size_t current_ = 0;  // the item being read
  bool begun_ = false;       // whether a piece of it was taken already
  std::unique_ptr<Stream> data_;
  std::int64_t start_ = 0;
  std::int64_t read_ = 0;
};

std::int64_t ArchiveWriter::WriteVolumes(VolumeWriter& out, const std::vector<Source>& sources,
                                         std::int64_t total, std::int32_t newest) {
  WriteText(out, options_.title);
  out.WriteInt32(static_cast<std::int32_t>(total));
  out.WriteInt32(0);  // header value: not interpreted by readers

  const std::vector<Item> items = ItemsToWrite(sources, newest);
  // Blocks are read a batch at a time, across entries, compressed together
  // (on several threads when asked) and written in order, so the archive
  // does not depend on the number of threads. One thread takes one block
  // at a time, as a plain sequential writer would.
  ParallelEncoder encoder(options_.jobs);
  const std::size_t capacity = encoder.Jobs() > 1 ? kBlocksPerJob * encoder.Jobs() : 1;
  const std::string fileList = options_.fileList ? FileListText(entries_) : std::string();
  ItemReader reader(fs_, items, fileList, capacity);
  std::vector<std::string_view> inputs;
  std::vector<Piece> pieces;
  while (!reader.Done()) {
    reader.ReadBatch(inputs, pieces);
    WriteBatch(out, pieces, encoder.Encode(inputs, options_.level));
  }
  out.WriteInt32(archive::kEndMarker);
  out.Close();
  return reader.BytesRead();
}

std::vector<ArchiveWriter::Item> ArchiveWriter::ItemsToWrite(const std::vector<Source>& sources,
                                                             std::int32_t newest) const {
  std::vector<Item> items;
  if (options_.fileList) items.push_back({std::string(archive::kFileList), newest, nullptr});
  for (const auto& source : sources) {
    items.push_back({source.entry->storedName, source.date, source.entry});
  }
  return items;
}

void ArchiveWriter::WriteBatch(VolumeWriter& out, const std::vector<Piece>& pieces,
                               const std::vector<EncodedBlock>& blocks) {
  auto block = blocks.begin();
  for (const Piece& piece : pieces) {
    if (piece.begins) BeginEntry(out, piece.item->name, piece.item->date);
    for (std::size_t i = 0; i < piece.blocks; ++i) PutBlock(out, *block++);
    if (piece.ends) out.WriteInt32(archive::kEndMarker);
  }
}

void ArchiveWriter::BeginEntry(VolumeWriter& out, const std::string& name, std::int32_t date) {
  const std::int64_t headerBytes = kInt32Bytes + static_cast<std::int64_t>(name.size()) +
                                   kInt32Bytes + sizeof archive::kSignature;
  if (out.Room() < headerBytes + kCloseBytes) {
    // The entry header goes into the next volume, which must begin with a
    // continuation of the previous entry: an empty one.
    if (!wroteEntry_) RequireRoom(out, headerBytes + kCloseBytes);
    SwitchVolume(out);
    out.WriteInt32(archive::kEndMarker);
    RequireRoom(out, headerBytes + kCloseBytes);
  }
  WriteText(out, name);
  out.WriteInt32(date);
  out.Write(archive::kSignature, sizeof archive::kSignature);
  wroteEntry_ = true;
}

void ArchiveWriter::PutBlock(VolumeWriter& out, const EncodedBlock& block) {
  if (out.Room() < block.DiskBytes() + kCloseBytes) {
    out.WriteInt32(archive::kEndMarker);
    SwitchVolume(out);
    RequireRoom(out, block.DiskBytes() + kCloseBytes);
  }
  WriteBlock(out, block);
}

void ArchiveWriter::WriteBlock(VolumeWriter& out, const EncodedBlock& block) {
  out.WriteInt32(block.length);
  out.Write(block.payload.data(), block.payload.size());
  ++(block.Stored() ? summary_.storedBlocks : summary_.compressedBlocks);
}

void ArchiveWriter::SwitchVolume(VolumeWriter& out) {
  out.RequireNextVolume();
  WriteText(out, archive::NextDiskName(out.Number() + 1));
  out.StartNextVolume();
  out.Write(archive::kSignature, sizeof archive::kSignature);
}

void ArchiveWriter::RequireRoom(VolumeWriter& out, std::int64_t bytes) const {
  if (out.Room() >= bytes) return;
  std::int64_t needed = out.Volumes().back().bytes + bytes;
  throw EArchiveWriteError("The maximum volume size of " + std::to_string(options_.maxSize) +
                           " bytes is too small: volume " + std::to_string(out.Number()) +
                           " needs at least " + std::to_string(needed) + " bytes");
}

ArchiveSummary WriteArchive(FileSystem& fs, const std::string& archiveName,
                            const std::vector<ArchiveEntry>& entries,
                            const ArchiveOptions& options) {
  ArchiveWriter writer(fs, archiveName, options);
  for (const auto& e : entries) writer.AddFile(e.storedName, e.sourcePath);
  return writer.Finish();
}

}  // namespace norv
