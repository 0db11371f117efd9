#pragma once
// Writes the volume files of one archive in sequence: the first under the
// name given, the later ones under the same name with the extension .002,
// .003 and so on. It counts the bytes of the open volume so that its caller
// can keep every volume within the size limit.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace norv {

struct VolumeInfo {
  std::string name;
  std::int64_t bytes = 0;
};

class VolumeWriter {
 public:
  // `maxSize` 0 or less: no limit (one volume).
  VolumeWriter(FileSystem& fs, std::string firstName, std::int64_t maxSize);

  void Write(const void* data, std::size_t size);
  void WriteInt32(std::int32_t value);
  // Bytes that still fit into the open volume.
  std::int64_t Room() const;
  bool Limited() const { return maxSize_ > 0; }
  // The number of the open volume, from 1.
  int Number() const { return static_cast<int>(volumes_.size()); }
  // Throws EArchiveWriteError when the open volume is the last one that a
  // three-digit volume number can name.
  void RequireNextVolume() const;
  // Closes the open volume and creates the next.
  void StartNextVolume();
  void Close();
  const std::vector<VolumeInfo>& Volumes() const { return volumes_; }

 private:
  void Create(const std::string& name);

  FileSystem& fs_;
  std::string firstName_;
  std::int64_t maxSize_;
  std::unique_ptr<FileStream> file_;
  std::vector<VolumeInfo> volumes_;
};

}  // namespace norv
