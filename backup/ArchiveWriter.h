#pragma once
// Makes archives that TBackupFile restores: the header, an optional file-list
// entry, one file entry per file with its date, the contents in blocks of at
// most 16384 input bytes (zlib-compressed, or stored when that is not
// smaller), split into volumes of at most a given size.
//
//   ArchiveWriter writer(fs, "C:\\UPD\\PACK.001", options);
//   writer.AddFile("C:\\APP\\A.EXE", "/src/A.EXE");
//   ArchiveSummary summary = writer.Finish();
#include <cstdint>
#include <string>
#include <vector>

#include "backup/BackupTypes.h"
#include "backup/BlockEncoder.h"
#include "backup/VolumeWriter.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace norv {

// A request the writer cannot carry out (bad name, size limit, volume count).
class EArchiveWriteError : public Exception {
 public:
  using Exception::Exception;
};

struct ArchiveOptions {
  std::string title;                // the header text
  TCompressionLevel level = clMax;  // clNone stores every block
  std::int32_t maxSize = 0;         // largest volume file in bytes; 0 or less: one volume
  bool fileList = false;            // a FILE:LIST entry naming the files, as the first record
  int jobs = 1;                     // threads that compress blocks; the bytes are the same
};

struct ArchiveEntry {
  std::string storedName;  // "C:\DIR\FILE.EXT": drive, colon, backslash, path
  std::string sourcePath;  // where the contents and the date are read from
};

struct ArchiveSummary {
  std::vector<VolumeInfo> volumes;
  std::int32_t totalBytes = 0;
  int compressedBlocks = 0;
  int storedBlocks = 0;
};

// 1980-01-01 00:00:00, the date given to files whose time has no DOS form.
inline constexpr std::int32_t kDosEpoch = 0x00210000;

class ArchiveWriter {
 public:
  // `archiveName` is the first volume; later ones replace its extension.
  ArchiveWriter(FileSystem& fs, std::string archiveName, ArchiveOptions options);

  // Queues a file. Throws EArchiveWriteError, naming the source file, for a
  // name without a drive part or one that a restore refuses (see
  // names::WhyRefused: device names, characters Windows forbids, a
  // component ending in a dot or a blank, a path too long for Windows).
  void AddFile(std::string storedName, std::string sourcePath);
  // Writes every volume. Files are read a batch of blocks at a time (32
  // blocks per thread), never held whole.
  ArchiveSummary Finish();
  // The volumes that Finish wrote; after a failure, the ones it had begun,
  // so that the caller can remove them.
  const std::vector<VolumeInfo>& Volumes() const { return summary_.volumes; }

 private:
  struct Source;
  struct Item;
  struct Piece;
  class ItemReader;
  // Everything after the measuring: header, entries, end of the archive.
  // Returns the bytes read from the files.
  std::int64_t WriteVolumes(VolumeWriter& out, const std::vector<Source>& sources,
                            std::int64_t total, std::int32_t newest);
  // The file list first when asked for, then the files.
  std::vector<Item> ItemsToWrite(const std::vector<Source>& sources, std::int32_t newest) const;
  // The pieces of one batch with their encoded blocks, in order.
  void WriteBatch(VolumeWriter& out, const std::vector<Piece>& pieces,
                  const std::vector<EncodedBlock>& blocks);
  // An entry's name, date and data signature; in the next volume when they
  // do not fit this one.
  void BeginEntry(VolumeWriter& out, const std::string& name, std::int32_t date);
  // A block of the entry begun last; in the next volume when it does not fit.
  void PutBlock(VolumeWriter& out, const EncodedBlock& block);
  void WriteBlock(VolumeWriter& out, const EncodedBlock& block);
  // Ends the open volume with a volume-change record and starts the next
  // one with a continued entry data part.
  void SwitchVolume(VolumeWriter& out);
  void RequireRoom(VolumeWriter& out, std::int64_t bytes) const;

  FileSystem& fs_;
  std::string archiveName_;
  ArchiveOptions options_;
  std::vector<ArchiveEntry> entries_;
  ArchiveSummary summary_;
  bool wroteEntry_ = false;
};

ArchiveSummary WriteArchive(FileSystem& fs, const std::string& archiveName,
                            const std::vector<ArchiveEntry>& entries,
                            const ArchiveOptions& options);

}  // namespace norv
